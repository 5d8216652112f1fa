#pragma once

#include <QString>

namespace tova {

struct InputRequest {
    QString prompt;
    QString title;
    QString defaultText;
};

// Asks the user for one line of text. Returns false when cancelled (or closed by the frame).
class InputBoxPort {
public:
    virtual ~InputBoxPort() = default;
    virtual bool ask(const InputRequest& request, QString& answer) = 0;
};

}  // namespace tova
