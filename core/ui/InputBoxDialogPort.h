#pragma once

#include "platform/InputBoxPort.h"

namespace tova {

// The input-box port on the program's own one-line input box. The box has no prompt line: the request's
// title is its caption (the prompt when the title is empty). On OK the answer is the typed text; on
// Cancel or a close by the frame the answer is left as it was.
class InputBoxDialogPort : public InputBoxPort {
public:
    bool ask(const InputRequest& request, QString& answer) override;
};

// Makes the program's input box the input-box port for the life of the program.
void installInputBoxDialogPort();

}  // namespace tova
