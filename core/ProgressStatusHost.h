#pragma once

#include <QString>

namespace tova {

// A window that hosts the embedded progress panel and shows the run's status text in a label of its
// own (the voice-bank manager does). The host window implements this beside being a QWidget.
class ProgressStatusHost {
public:
    virtual ~ProgressStatusHost() = default;
    virtual void setProgressStatus(const QString& text) = 0;
};

}  // namespace tova
