#pragma once

#include <QString>

namespace tova {

// Buttons, icon and answer of a message box, after the classic message-box call.
enum class MsgButtons { OK, OKCancel, AbortRetryIgnore, YesNoCancel, YesNo, RetryCancel };
enum class MsgIcon { None, Critical, Question, Exclamation, Information };
enum class MsgResult { OK, Cancel, Abort, Retry, Ignore, Yes, No };

struct MessageRequest {
    QString text;
    QString title;
    MsgButtons buttons = MsgButtons::OK;
    MsgIcon icon = MsgIcon::None;
    int defaultButton = 0;  // 0 first, 1 second, 2 third
};

// Shows a modal message box. The Qt implementation shows a real one; tests use FakeMessageBox.
class MessageBoxPort {
public:
    virtual ~MessageBoxPort() = default;
    virtual MsgResult show(const MessageRequest& request) = 0;
};

}  // namespace tova
