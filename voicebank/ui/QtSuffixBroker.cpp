#include "voicebank/ui/QtSuffixBroker.h"

#include "voicebank/ui/frmSurffixBroker.h"

namespace tova {

bool QtSuffixBroker::ShowDialog(qint32 first, qint32 last, QStringList& lyrics, QObject* owner) {
    frmSurffixBroker form(qobject_cast<QWidget*>(owner));
    return form.ShowDialog(first, last, lyrics);
}

}  // namespace tova
