#include "mainwindow/ui/Dialog.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "core/ui/Twips.h"
#include "mainwindow/ProgramInfo.h"
#include "platform/EventGuard.h"
#include "platform/Errors.h"
#include "platform/Ports.h"

#include <QLabel>
#include <QPixmap>
#include <QPushButton>

namespace tova {

Dialog::Dialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("Dialog"));
    setWindowTitle(QStringLiteral("TOVAについて"));
    setFixedSize(Twips::size(5400, 2700));
    Picture1_ = new QLabel(this);
    Picture1_->setObjectName(QStringLiteral("Picture1"));
    Picture1_->setGeometry(Twips::rect(240, 240, 960, 960));
    Picture1_->setScaledContents(true);
    Label1_ = new QLabel(ProgramInfo::Title(), this);
    Label1_->setObjectName(QStringLiteral("Label1"));
    Label1_->setGeometry(Twips::rect(1440, 240, 3700, 480));
    QFont f = Label1_->font();
    f.setPointSize(16);
    f.setBold(true);
    Label1_->setFont(f);
    Label2_ = new QLabel(this);
    Label2_->setObjectName(QStringLiteral("Label2"));
    Label2_->setGeometry(Twips::rect(1440, 840, 3700, 300));
    auto* text = new QLabel(QStringLiteral("歌声合成エディタ"), this);
    text->setObjectName(QStringLiteral("Label3"));
    text->setGeometry(Twips::rect(1440, 1200, 3700, 300));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OKButton"));
    ok->setGeometry(Twips::rect(3960, 2040, 1200, 375));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, [this] { EventGuard::runHandler([this] { OKButton_Click(); }); });
    Form_Load();
}

void Dialog::Form_Load() {
    const bool trapped = !EventGuard::debugMode();
    try {
        if (!settings().TransformTitle.isEmpty()) Label1_->setText(settings().TransformTitle);
        Label2_->setText(ProgramInfo::AboutVersionText());
        const QString icon = ProgramInfo::IconFile(settings().FormIcon);
        if (!icon.isEmpty()) Picture1_->setPixmap(QPixmap(icon));
    } catch (const TovaError& e) {
        if (!trapped) throw;
        EventGuard::reportHandlerFailure(e.description());
    }
}

void Dialog::OKButton_Click() { accept(); }

}  // namespace tova
