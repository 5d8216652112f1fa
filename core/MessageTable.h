#pragma once

#include "core/MessageArg.h"

#include <QString>

namespace tova {

// The message table: every text the program shows at run time passes through GetMessage, keyed by
// its built-in Japanese text. A translator replaces texts by writing "res/message.txt" (UTF-16LE,
// lines of key, TAB, value) under the program folder.

// Looks the key up in the table (the key itself when there is no entry), turns every backslash-n of
// that template into CR LF, then fills "{1}".."{4}" from the arguments that are given. Each
// placeholder of the template is filled once: argument texts are inserted verbatim, so a "\n" or a
// "{2}" inside an argument stays as it is. A placeholder without its argument stays as written.
QString GetMessage(const QString& key, const MessageArg& arg1 = MessageArg(), const MessageArg& arg2 = MessageArg(),
                   const MessageArg& arg3 = MessageArg(), const MessageArg& arg4 = MessageArg());

// The text without its surrounding pair of double quotes: only when it is longer than two characters
// and both its first and last character are '"'; otherwise the text itself.
QString StripQuotes(const QString& text);

}  // namespace tova
