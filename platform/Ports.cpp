#include "platform/Ports.h"

#include "platform/Errors.h"

namespace tova {
namespace {
MessageBoxPort* gMessageBox = nullptr;
InputBoxPort* gInputBox = nullptr;
FileDialogPort* gFileDialog = nullptr;
PopupMenuPort* gPopupMenu = nullptr;
ClipboardPort* gClipboard = nullptr;

template <class T>
T& need(T* p, const char* what) {
    if (!p) throw TovaError(91, QStringLiteral("port not installed: ") + QString::fromLatin1(what));
    return *p;
}
}  // namespace

MessageBoxPort& Ports::messageBox() { return need(gMessageBox, "message box"); }
InputBoxPort& Ports::inputBox() { return need(gInputBox, "input box"); }
FileDialogPort& Ports::fileDialog() { return need(gFileDialog, "file dialog"); }
PopupMenuPort& Ports::popupMenu() { return need(gPopupMenu, "pop-up menu"); }
ClipboardPort& Ports::clipboard() { return need(gClipboard, "clipboard"); }

void Ports::setMessageBox(MessageBoxPort* port) { gMessageBox = port; }
void Ports::setInputBox(InputBoxPort* port) { gInputBox = port; }
void Ports::setFileDialog(FileDialogPort* port) { gFileDialog = port; }
void Ports::setPopupMenu(PopupMenuPort* port) { gPopupMenu = port; }
void Ports::setClipboard(ClipboardPort* port) { gClipboard = port; }

MsgResult Ports::msgBox(const QString& text, MsgButtons buttons, MsgIcon icon, const QString& title) {
    MessageRequest r;
    r.text = text;
    r.buttons = buttons;
    r.icon = icon;
    r.title = title;
    return messageBox().show(r);
}

}  // namespace tova
