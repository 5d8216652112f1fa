#pragma once

#include "exchange/plugins/PluginRun.h"

#include <QDialog>

class QLabel;
class QTimer;

namespace tova {

// The wait window "TOVA - プラグイン実行中" while a plug-in runs: its timer starts the plug-in 10 ms
// after the window opens and hides the window when the plug-in has ended. Closing it meanwhile asks
// whether to stop waiting; "いいえ" does, and then nothing the plug-in left is applied.
class frmPluginExecute : public QDialog {
    Q_OBJECT
public:
    explicit frmPluginExecute(QWidget* owner = nullptr);

    // Shows the window modally, runs the plug-in and gives back what came of it.
    PluginRun go(const QString& name, const QString& text);

    QLabel* Label1;
    QTimer* Timer1;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    void Timer1_Timer();
    // The question when the user closes the window while the plug-in runs; true when the wait ends.
    bool askToStopWaiting();

    QString name_;
    QString text_;
    PluginRun result_;
    bool done_ = false;
    bool running_ = false;
    bool abandoned_ = false;
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
