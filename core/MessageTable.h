#pragma once

#include "core/MessageArg.h"
#include "core/clsMap.h"

#include <QString>

namespace tova {

// The message table: every text the program shows at run time passes through GetMessage, keyed by
// its built-in Japanese text. A translator replaces texts by writing "res/message.txt" (UTF-16LE,
// lines of key, TAB, value) under the program folder.

// The program-wide message table: built-in text -> translated text. Empty until LoadMessageTable.
clsMap& MessageTable();

// Fills the table from "res/message.txt" under the program folder; an absent file leaves it empty.
// The file is UTF-16LE (a byte-order mark is optional and skipped wherever it stands); CR LF, a lone
// CR and a lone LF each end a line, and a last line without an ending counts. A line is key, TAB,
// value (the first TAB separates; later TABs stay in the value); lines without a TAB, empty lines and
// lines whose first character after leading spaces is "#" are skipped. Key and value lose their
// leading and trailing spaces and then one pair of surrounding double quotes. The first entry of a
// key wins.
void LoadMessageTable();

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
