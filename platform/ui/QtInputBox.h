#pragma once

#include "platform/InputBoxPort.h"

namespace tova {

// The real input box behind the input-box port.
class QtInputBox : public InputBoxPort {
public:
    bool ask(const InputRequest& request, QString& answer) override;
};

}  // namespace tova
