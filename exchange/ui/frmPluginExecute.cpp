#include "exchange/ui/frmPluginExecute.h"

#include "core/ui/Twips.h"

#include <QLabel>
#include <QTimer>

namespace tova {

frmPluginExecute::frmPluginExecute(QWidget* owner)
    : ModelDialogOf<PluginExecution>(QStringLiteral("frmPluginExecute"), QStringLiteral("TOVA - プラグイン実行中"), owner) {
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);
    setFixedSize(Twips::size(3600, 900));
    Label1 = new QLabel(QStringLiteral("プラグイン実行中です"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(240, 300, 3120, 300));
    Label1->setAlignment(Qt::AlignCenter);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] { handle([this] { model().Timer1_Timer(); }); });
    finishLoad();
}

PluginRun frmPluginExecute::go(const QString& name, const QString& text) {
    model().Begin(name, text);
    Timer1->start(10);
    showModal();
    return model().result;
}

PluginRun QtPluginWait::go(const QString& name, const QString& text) {
    frmPluginExecute window(owner_);
    return window.go(name, text);
}

}  // namespace tova
