#include "render/ui/QtRenderProgress.h"

#include "core/ui/frmProgress.h"

#include <QLabel>
#include <QProgressBar>

namespace tova {

QtRenderProgress::QtRenderProgress(QWidget* anchor, QWidget* owner) : anchor_(anchor), owner_(owner) {}

void QtRenderProgress::Start(int minimum, int maximum, int durationMs, bool animate) {
    frmProgress::form().Start(minimum, maximum, durationMs, anchor_, owner_, animate);
}

void QtRenderProgress::SetStatus(const QString& text, int value) {
    SetValue(value);
    SetStatusText(text);
}

void QtRenderProgress::SetStatusText(const QString& text) {
    frmProgress& f = frmProgress::form();
    f.Label1->setText(text);
    f.repaint();
}

void QtRenderProgress::SetMaximum(int maximum) { frmProgress::form().ProgressBar1->setMaximum(maximum); }

void QtRenderProgress::SetValue(int value) {
    QProgressBar* bar = frmProgress::form().ProgressBar1;
    bar->setValue(qBound(bar->minimum(), value, bar->maximum()));
}

void QtRenderProgress::Restart() { frmProgress::form().Restart(); }

void QtRenderProgress::SlideIn() { frmProgress::form().SlideIn(); }

bool QtRenderProgress::IsVisible() const { return frmProgress::isLoaded() && frmProgress::form().isVisible(); }

void QtRenderProgress::Finish() {
    if (frmProgress::isLoaded()) frmProgress::form().Finish();
}

}  // namespace tova
