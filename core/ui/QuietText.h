#pragma once

#include <QLineEdit>
#include <QSignalBlocker>
#include <QString>

namespace tova {

// Shows a model's text in a box without raising the box's change handlers; a box that already shows
// the text is left alone, so the cursor stays where the user is typing.
inline void setTextKeepingCursor(QLineEdit* edit, const QString& text) {
    if (edit->text() == text) return;
    const QSignalBlocker block(edit);
    edit->setText(text);
}

}  // namespace tova
