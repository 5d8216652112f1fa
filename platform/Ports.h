#pragma once

#include "platform/ClipboardPort.h"
#include "platform/FileDialogPort.h"
#include "platform/InputBoxPort.h"
#include "platform/MessageBoxPort.h"
#include "platform/PopupMenuPort.h"

namespace tova {

// The one place where the program finds its modal-window ports and the system clipboard. The application installs the Qt
// implementations at start-up; tests install fakes. Setting nullptr removes a port; using a port that
// is not installed raises an error rather than blocking.
class Ports {
public:
    static MessageBoxPort& messageBox();
    static InputBoxPort& inputBox();
    static FileDialogPort& fileDialog();
    static PopupMenuPort& popupMenu();
    static ClipboardPort& clipboard();

    static void setMessageBox(MessageBoxPort* port);
    static void setInputBox(InputBoxPort* port);
    static void setFileDialog(FileDialogPort* port);
    static void setPopupMenu(PopupMenuPort* port);
    static void setClipboard(ClipboardPort* port);

    // Convenience: shows a message box and returns the answer.
    static MsgResult msgBox(const QString& text, MsgButtons buttons = MsgButtons::OK, MsgIcon icon = MsgIcon::None,
                            const QString& title = QString());
};

}  // namespace tova
