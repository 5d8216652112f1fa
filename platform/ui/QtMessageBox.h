#pragma once

#include "platform/MessageBoxPort.h"

#include <QString>

namespace tova {

// The real message box behind the message-box port.
class QtMessageBox : public MessageBoxPort {
public:
    MsgResult show(const MessageRequest& request) override;
    // The title of a box or dialog that names none: the program's title as its main window shows it
    // (set once at start-up), else the application's name.
    static QString programTitle();
    static void setProgramTitle(const QString& title);
};

}  // namespace tova
