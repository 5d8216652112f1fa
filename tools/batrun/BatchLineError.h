#pragma once

#include <QString>

#include <stdexcept>

namespace tova {

// A batch line the runner cannot run. Raised with the reason by the statement that fails; the
// interpreter adds the file, the line number and the line's text as it passes through, so the
// message names the innermost line (inside a called batch, that batch's line).
class BatchLineError : public std::runtime_error {
public:
    explicit BatchLineError(const QString& reason) : std::runtime_error(reason.toStdString()), reason_(reason) {}

    bool located() const { return lineNumber_ > 0; }
    void locate(const QString& file, int lineNumber, const QString& lineText) {
        file_ = file;
        lineNumber_ = lineNumber;
        lineText_ = lineText;
    }

    const QString& reason() const { return reason_; }
    const QString& file() const { return file_; }
    int lineNumber() const { return lineNumber_; }
    const QString& lineText() const { return lineText_; }

    // "<file>, line <n>: cannot run: <line text> (<reason>)"
    QString message() const {
        if (!located()) return reason_;
        return QStringLiteral("%1, line %2: cannot run: %3 (%4)").arg(file_).arg(lineNumber_).arg(lineText_, reason_);
    }

private:
    QString reason_;
    QString file_;
    int lineNumber_ = 0;
    QString lineText_;
};

}  // namespace tova
