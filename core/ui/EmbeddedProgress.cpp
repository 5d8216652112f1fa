#include "core/ui/EmbeddedProgress.h"

#include "core/ProgressPanel.h"
#include "core/ui/QtProgressPanelView.h"

#include <QPushButton>
#include <QWidget>

namespace tova {

void BeginProgress(QProgressBar* bar, QWidget* panel, int minimum, int maximum, int durationMs, QWidget* host) {
    ProgressPanel::instance().begin(std::make_unique<QtProgressPanelView>(bar, panel, host), minimum, maximum,
                                    durationMs);
}

void EnableCommandButtons(QWidget* window, bool enabled) {
    if (!window) return;
    const auto buttons = window->findChildren<QPushButton*>();
    for (QPushButton* b : buttons) b->setEnabled(enabled);
}

}  // namespace tova
