#include "core/ui/QtProgressPanelView.h"

#include "core/ProgressStatusHost.h"

#include <QProgressBar>
#include <QWidget>

namespace tova {

QtProgressPanelView::QtProgressPanelView(QProgressBar* bar, QWidget* panel, QWidget* host)
    : bar_(bar), panel_(panel), host_(host) {}

void QtProgressPanelView::setBarRange(int minimum, int maximum) {
    if (bar_) bar_->setRange(minimum, maximum);
}

int QtProgressPanelView::barMinimum() const { return bar_ ? bar_->minimum() : 0; }
int QtProgressPanelView::barMaximum() const { return bar_ ? bar_->maximum() : 0; }

void QtProgressPanelView::setBarValue(int value) {
    if (bar_) bar_->setValue(value);
}

int QtProgressPanelView::panelHeight() const { return panel_ ? panel_->height() : 0; }

void QtProgressPanelView::setPanelTop(int top) {
    if (!panel_) return;
    panel_->move(panel_->x(), top);
    panel_->repaint();
}

void QtProgressPanelView::repaintHost() {
    if (host_) host_->repaint();
}

void QtProgressPanelView::setStatusText(const QString& text) {
    if (auto* statusHost = dynamic_cast<ProgressStatusHost*>(host_.data())) statusHost->setProgressStatus(text);
}

}  // namespace tova
