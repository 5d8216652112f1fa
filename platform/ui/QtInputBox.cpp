#include "platform/ui/QtInputBox.h"

#include "platform/ui/DialogOwner.h"
#include "platform/ui/QtMessageBox.h"

#include <QInputDialog>

namespace tova {

bool QtInputBox::ask(const InputRequest& r, QString& answer) {
    bool ok = false;
    // A box asked only by its caption shows that question inside as well: the title bar is not always
    // there (a desktop without a window manager) and is easily overlooked.
    const QString prompt = r.prompt.isEmpty() ? r.title : r.prompt;
    QString text = QInputDialog::getText(dialogOwner(), r.title.isEmpty() ? QtMessageBox::programTitle() : r.title,
                                         prompt, QLineEdit::Normal, r.defaultText, &ok);
    if (ok) answer = text;
    return ok;
}

}  // namespace tova
