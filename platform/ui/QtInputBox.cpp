#include "platform/ui/QtInputBox.h"

#include "platform/ui/QtMessageBox.h"

#include <QApplication>
#include <QInputDialog>

namespace tova {

bool QtInputBox::ask(const InputRequest& r, QString& answer) {
    bool ok = false;
    QString text = QInputDialog::getText(QApplication::activeWindow(), r.title.isEmpty() ? QtMessageBox::programTitle() : r.title,
                                         r.prompt, QLineEdit::Normal, r.defaultText, &ok);
    if (ok) answer = text;
    return ok;
}

}  // namespace tova
