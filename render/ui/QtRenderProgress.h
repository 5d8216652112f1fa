#pragma once

#include "render/RenderProgress.h"

#include <QPointer>

class QWidget;

namespace tova {

// The progress window of in-process renders over the program's `frmProgress`, hanging from the roll
// (`anchor`, the main window's `Picture2`) and owned by the main window (`owner`).
class QtRenderProgress : public RenderProgress {
public:
    QtRenderProgress(QWidget* anchor, QWidget* owner);

    void Start(int minimum, int maximum, int durationMs, bool animate) override;
    void SetStatus(const QString& text, int value) override;
    void SetStatusText(const QString& text) override;
    void SetMaximum(int maximum) override;
    void SetValue(int value) override;
    void Restart() override;
    void SlideIn() override;
    bool IsVisible() const override;
    void Finish() override;

private:
    QPointer<QWidget> anchor_;
    QPointer<QWidget> owner_;
};

}  // namespace tova
