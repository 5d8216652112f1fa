#pragma once

#include "voicebank/SuffixBrokerPort.h"

namespace tova {

// The suffix dialog of the running program: a frmSurffixBroker made for each opening and unloaded at
// its end.
class QtSuffixBroker : public SuffixBrokerPort {
public:
    bool ShowDialog(qint32 first, qint32 last, QStringList& lyrics, QObject* owner) override;
};

}  // namespace tova
