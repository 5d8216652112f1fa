#include "voicebank/ui/QtPrefixMapEditor.h"

#include "voicebank/ui/frmPrefixmap.h"

namespace tova {

bool QtPrefixMapEditor::ShowDialog(const QString& voiceFolder, QObject* owner) {
    frmPrefixmap form(qobject_cast<QWidget*>(owner));
    return form.ShowDialog(voiceFolder);
}

}  // namespace tova
