#pragma once

#include <QString>

class QObject;

namespace tova {

// The prefix.map editor of a voice bank. While it is not installed, its command says that it is not
// available yet.
class PrefixMapEditorPort {
public:
    virtual ~PrefixMapEditorPort() = default;
    // Shows the editor modally on the voice folder; true when prefix.map was saved.
    virtual bool ShowDialog(const QString& voiceFolder, QObject* owner) = 0;
};

}  // namespace tova
