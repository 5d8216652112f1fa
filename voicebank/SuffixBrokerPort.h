#pragma once

#include <QStringList>

class QObject;

namespace tova {

// The suffix dialog as the main window's command opens it, modal over the owner. The form implements
// it (voicebank/ui/QtSuffixBroker.h); tests give a scripted fake.
class SuffixBrokerPort {
public:
    virtual ~SuffixBrokerPort() = default;
    // Rewrites the suffixes of lyrics first..last when the dialog ends with OK; true then. Cancel and
    // the close box change nothing and answer false.
    virtual bool ShowDialog(qint32 first, qint32 last, QStringList& lyrics, QObject* owner) = 0;
};

}  // namespace tova
