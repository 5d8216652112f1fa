#pragma once

#include "core/ProgressPanelView.h"

#include <QPointer>

class QProgressBar;
class QWidget;

namespace tova {

// The embedded progress panel on real widgets: a progress bar, the panel that slides from the top edge
// of the host window, and the host's status label when the host is a ProgressStatusHost.
class QtProgressPanelView : public ProgressPanelView {
public:
    QtProgressPanelView(QProgressBar* bar, QWidget* panel, QWidget* host);

    void setBarRange(int minimum, int maximum) override;
    int barMinimum() const override;
    int barMaximum() const override;
    void setBarValue(int value) override;
    int panelHeight() const override;
    void setPanelTop(int top) override;
    void repaintHost() override;
    void setStatusText(const QString& text) override;

private:
    QPointer<QProgressBar> bar_;
    QPointer<QWidget> panel_;
    QPointer<QWidget> host_;
};

}  // namespace tova
