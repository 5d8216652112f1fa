#pragma once

#include <QString>

class QObject;

namespace tova {

// The prefix.map editor of a voice bank as the main window opens it. The form implements it
// (voicebank/ui/QtPrefixMapEditor.h); while none is installed, the command says that it is not
// available yet.
class PrefixMapEditorPort {
public:
    virtual ~PrefixMapEditorPort() = default;
    // Shows the editor modally on the voice folder; true when OK saved prefix.map, false after Cancel
    // or the close box (nothing written).
    virtual bool ShowDialog(const QString& voiceFolder, QObject* owner) = 0;
};

}  // namespace tova
