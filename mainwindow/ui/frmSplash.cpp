#include "mainwindow/ui/frmSplash.h"

#include "core/ui/Twips.h"
#include "mainwindow/ProgramInfo.h"

#include <QKeyEvent>
#include <QLabel>

namespace tova {

frmSplash::frmSplash(QWidget* parent) : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmSplash"));
    setFixedSize(Twips::size(6000, 2400));
    setStyleSheet(QStringLiteral("QDialog#frmSplash { background: #2b3a55; } QLabel { color: white; }"));
    lblProductName_ = new QLabel(this);
    lblProductName_->setObjectName(QStringLiteral("lblProductName"));
    lblProductName_->setGeometry(Twips::rect(300, 450, 5400, 900));
    QFont big = lblProductName_->font();
    big.setPointSize(28);
    big.setBold(true);
    lblProductName_->setFont(big);
    lblVersion_ = new QLabel(this);
    lblVersion_->setObjectName(QStringLiteral("lblVersion"));
    lblVersion_->setGeometry(Twips::rect(300, 1650, 5400, 360));
    Form_Load();
}

void frmSplash::Form_Load() {
    lblProductName_->setText(ProgramInfo::Title());
    lblVersion_->setText(ProgramInfo::SplashVersionText());
}

void frmSplash::keyPressEvent(QKeyEvent*) { CloseSplash(); }

void frmSplash::CloseSplash() { close(); }

}  // namespace tova
