#include "core/ui/frmShowRunning.h"

#include "core/Processes.h"
#include "core/ui/Twips.h"
#include "platform/EventGuard.h"

#include <QEvent>
#include <QLabel>
#include <QPushButton>

namespace tova {

frmShowRunning::frmShowRunning(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmShowRunning"));
    setWindowTitle(QStringLiteral("wavファイルの作成"));
    setModal(false);
    setFixedSize(Twips::size(4455, 1365));

    Label1 = new QLabel(QStringLiteral("外部プロセス実行中です..."), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(240, 240, 3975, 255));

    Command1 = new QPushButton(QStringLiteral("待機をやめる"), this);
    Command1->setObjectName(QStringLiteral("Command1"));
    Command1->setGeometry(Twips::rect(1320, 720, 1815, 420));
    Command1->setAutoDefault(false);
    connect(Command1, &QPushButton::clicked, this, [this] { EventGuard::run([this] { Command1_Click(); }); });
}

void frmShowRunning::Command1_Click() { WaitAbort = 1; }

void frmShowRunning::changeEvent(QEvent* event) {
    QDialog::changeEvent(event);
    // Disabling the owner disables its owned windows too; this one must stay usable.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) setEnabled(true);
}

}  // namespace tova
