#pragma once

#include <QString>

namespace tova {

// The system clipboard as plain text: what copy puts there for text editors and other instances.
class ClipboardPort {
public:
    virtual ~ClipboardPort() = default;
    // The clipboard's plain text; empty when it holds none.
    virtual QString text() const = 0;
    // Replaces the clipboard's content by a plain text.
    virtual void setText(const QString& text) = 0;
};

}  // namespace tova
