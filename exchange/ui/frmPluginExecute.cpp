#include "exchange/ui/frmPluginExecute.h"

#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/ui/Twips.h"
#include "platform/Ports.h"

#include <QCloseEvent>
#include <QLabel>
#include <QTimer>

namespace tova {

frmPluginExecute::frmPluginExecute(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmPluginExecute"));
    setWindowTitle(QStringLiteral("TOVA - プラグイン実行中"));
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(Twips::size(3600, 900));
    Label1 = new QLabel(QStringLiteral("プラグイン実行中です"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(240, 300, 3120, 300));
    Label1->setAlignment(Qt::AlignCenter);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
}

PluginRun frmPluginExecute::go(const QString& name, const QString& text) {
    name_ = name;
    text_ = text;
    StopRequested = 0;
    done_ = false;
    abandoned_ = false;
    result_ = PluginRun();
    if (StopRequested == 0) Timer1->start(10);
    exec();
    done_ = true;
    return result_;
}

void frmPluginExecute::Timer1_Timer() {
    running_ = true;
    PluginRun run = RunPluginByName(name_, text_);
    running_ = false;
    if (abandoned_) {
        run.outcome = PluginRun::Outcome::Abandoned;
        run.text.clear();
    }
    result_ = run;
    hide();
    done(QDialog::Accepted);
}

bool frmPluginExecute::askToStopWaiting() {
    const MsgResult answer = Ports::msgBox(
        GetMessage(QStringLiteral("作業を再開するには実行中のプラグインを終了してください。")) + u'\n' +
            GetMessage(QStringLiteral("「いいえ」をクリックするとプラグインを無視して再開します。")),
        MsgButtons::YesNoCancel, MsgIcon::Exclamation);
    if (answer != MsgResult::No) return false;
    abandoned_ = true;
    StopRequested = -1;  // the wait ends at its next poll; the plug-in keeps running
    return true;
}

void frmPluginExecute::closeEvent(QCloseEvent* event) {
    // While the plug-in runs the window only closes through its timer handler, after the wait ended.
    if (!done_ && (running_ || Timer1->isActive())) {
        event->ignore();
        if (running_) askToStopWaiting();
        return;
    }
    QDialog::closeEvent(event);
}

void frmPluginExecute::reject() {
    if (!done_ && (running_ || Timer1->isActive())) {
        if (running_) askToStopWaiting();
        return;
    }
    QDialog::reject();
}

PluginRun QtPluginWait::go(const QString& name, const QString& text) {
    frmPluginExecute window(owner_);
    return window.go(name, text);
}

}  // namespace tova
