#include "voicebank/ui/QtVoiceBankManager.h"

#include "voicebank/ui/frmVoicesetManager.h"

#include <QWidget>

namespace tova {

QtVoiceBankManager::~QtVoiceBankManager() { Unload(); }

bool QtVoiceBankManager::ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2,
                                    const QString& cacheFolder, const QString&, bool quickOpen, QObject* owner) {
    auto* ownerWidget = qobject_cast<QWidget*>(owner);
    if (!form_) form_ = new frmVoicesetManager(tools_, ownerWidget);
    return form_->ShowDialog(voiceFolder, name1, name2, cacheFolder, quickOpen, ownerWidget);
}

void QtVoiceBankManager::Unload() {
    if (!form_) return;
    if (form_->isVisible()) {
        // Still showing: its modal display ends first, and the window goes once it has returned.
        form_->done(QDialog::Rejected);
        form_->deleteLater();
        form_ = nullptr;
        return;
    }
    delete form_.data();
}

}  // namespace tova
