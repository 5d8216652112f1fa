#pragma once

#include "core/ui/ModelDialog.h"
#include "exchange/plugins/PluginExecution.h"

class QLabel;
class QTimer;

namespace tova {

// The wait window while a plug-in runs, bound to PluginExecution: its timer starts the plug-in 10 ms
// after the window opens and ends the window when the plug-in has ended.
class frmPluginExecute : public ModelDialogOf<PluginExecution> {
    Q_OBJECT
public:
    explicit frmPluginExecute(QWidget* owner = nullptr);

    // Shows the window modally, runs the plug-in and gives back what came of it.
    PluginRun go(const QString& name, const QString& text);

    QLabel* Label1;
    QTimer* Timer1;

protected:
    void refreshFromModel() override {}
};

// The wait port over this window, owned by the main window.
class QtPluginWait : public PluginWaitPort {
public:
    explicit QtPluginWait(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    PluginRun go(const QString& name, const QString& text) override;

private:
    QWidget* owner_;
};

}  // namespace tova
