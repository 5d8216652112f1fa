#pragma once

#include "voicebank/FreqGeneratorProgress.h"

#include <QPointer>
#include <QProgressDialog>

class QWidget;

namespace tova {

// The progress window of a batch frequency-table run: a bar of the tables made and a stop button.
class QtFreqGeneratorProgress : public FreqGeneratorProgress {
public:
    explicit QtFreqGeneratorProgress(QWidget* owner) : owner_(owner) {}
    ~QtFreqGeneratorProgress() override { close(); }
    void open(int total) override;
    void update(int done) override;
    bool stopRequested() override { return dialog_ && dialog_->wasCanceled(); }
    void close() override;

private:
    QWidget* owner_;
    QPointer<QProgressDialog> dialog_;
};

}  // namespace tova
