#pragma once

#include "core/DialogModel.h"
#include "exchange/plugins/PluginRun.h"

#include <QString>

namespace tova {

// The logic of the wait window "TOVA - プラグイン実行中" (frmPluginExecute shows it): its timer runs the
// plug-in and ends the window with what came of it. Closing the window while the plug-in runs asks
// whether to stop waiting: "いいえ" stops the wait at its next poll (the plug-in keeps running) and then
// nothing it left is applied; "はい" and "キャンセル" keep waiting.
class PluginExecution : public DialogModel {
public:
    QString name;
    QString text;
    PluginRun result;
    bool running = false;
    bool started = false;    // the timer has run the plug-in (or is running it)
    bool abandoned = false;

    // Stores the plug-in and the text and clears the wait's stop request.
    void Begin(const QString& pluginName, const QString& exchangeText);
    // The timer: runs the plug-in and waits; ends the window.
    void Timer1_Timer();
    // The close box and Escape.
    void cancelRequested() override;
};

}  // namespace tova
