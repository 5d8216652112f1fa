#include "core/ui/InputBoxDialogPort.h"

#include "core/ui/InputBoxDialog.h"
#include "platform/Ports.h"
#include "platform/ui/DialogOwner.h"

namespace tova {

bool InputBoxDialogPort::ask(const InputRequest& request, QString& answer) {
    QString text = request.defaultText;
    const QString caption = request.title.isEmpty() ? request.prompt : request.title;
    if (!InputBoxDialog::ShowInput(text, dialogOwner(), caption)) return false;
    answer = text;
    return true;
}

void installInputBoxDialogPort() {
    static InputBoxDialogPort port;
    Ports::setInputBox(&port);
}

}  // namespace tova
