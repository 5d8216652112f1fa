#pragma once

#include "tools/batrun/BatchText.h"

#include <stdexcept>

namespace tova {

// A batch line the runner cannot run. Raised with the reason by the statement that fails; the
// interpreter adds the file, the line number and the line's text as it passes through, so the
// message names the innermost line (inside a called batch, that batch's line).
class BatchLineError : public std::runtime_error {
public:
    explicit BatchLineError(const BatchString& reason) : std::runtime_error(batchUtf8(reason)), reason_(reason) {}

    bool located() const { return lineNumber_ > 0; }
    void locate(const BatchString& file, int lineNumber, const BatchString& lineText) {
        file_ = file;
        lineNumber_ = lineNumber;
        lineText_ = lineText;
    }

    const BatchString& reason() const { return reason_; }
    const BatchString& file() const { return file_; }
    int lineNumber() const { return lineNumber_; }
    const BatchString& lineText() const { return lineText_; }

    // "<file>, line <n>: cannot run: <line text> (<reason>)"
    BatchString message() const {
        if (!located()) return reason_;
        return file_ + u", line " + batchNumber(lineNumber_) + u": cannot run: " + lineText_ + u" (" + reason_ + u")";
    }

private:
    BatchString reason_;
    BatchString file_;
    int lineNumber_ = 0;
    BatchString lineText_;
};

}  // namespace tova
