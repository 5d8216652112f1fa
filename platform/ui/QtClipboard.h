#pragma once

#include "platform/ClipboardPort.h"

namespace tova {

// The system clipboard of the running desktop session (through the application's QClipboard).
class QtClipboard : public ClipboardPort {
public:
    QString text() const override;
    void setText(const QString& text) override;
};

}  // namespace tova
