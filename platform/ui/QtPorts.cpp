#include "platform/ui/QtPorts.h"

#include "platform/Ports.h"
#include "platform/ui/QtClipboard.h"
#include "platform/ui/QtFileDialog.h"
#include "platform/ui/QtInputBox.h"
#include "platform/ui/QtMessageBox.h"
#include "platform/ui/QtPopupMenu.h"
#include "platform/ui/QtWheelHook.h"

namespace tova {

void installQtPorts() {
    static QtMessageBox messageBox;
    static QtInputBox inputBox;
    static QtFileDialog fileDialog;
    static QtPopupMenu popupMenu;
    Ports::setMessageBox(&messageBox);
    Ports::setInputBox(&inputBox);
    Ports::setFileDialog(&fileDialog);
    Ports::setPopupMenu(&popupMenu);
    static QtClipboard clipboard;
    Ports::setClipboard(&clipboard);
    static QtWheelHook wheelHook;
    WheelHookPort::install(&wheelHook);
}

}  // namespace tova
