#include "mainwindow/ui/ProgramVoiceTools.h"

#include "voicebank/ui/frmVoiceProperty.h"

#include <QWidget>

namespace tova {

bool ProgramVoiceTools::ShowVoiceProperty(const QString& voiceDir, const QString& caption, bool registerButton,
                                          QObject* owner) {
    return frmVoiceProperty::ShowProfile(voiceDir, caption, registerButton, qobject_cast<QWidget*>(owner));
}

}  // namespace tova
