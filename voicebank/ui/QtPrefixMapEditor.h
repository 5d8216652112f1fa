#pragma once

#include "voicebank/PrefixMapEditorPort.h"

namespace tova {

// The prefix.map editor of the running program: a frmPrefixmap made for each opening and unloaded at
// its end.
class QtPrefixMapEditor : public PrefixMapEditorPort {
public:
    bool ShowDialog(const QString& voiceFolder, QObject* owner) override;
};

}  // namespace tova
