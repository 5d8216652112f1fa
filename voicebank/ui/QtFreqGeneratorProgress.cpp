#include "voicebank/ui/QtFreqGeneratorProgress.h"

namespace tova {

void QtFreqGeneratorProgress::open(int total) {
    close();
    dialog_ = new QProgressDialog(QStringLiteral("周波数表作成中..."), QStringLiteral("中止"), 0, qMax(total, 1), owner_);
    dialog_->setObjectName(QStringLiteral("frmFreqGenProgress"));
    dialog_->setWindowTitle(QStringLiteral("周波数表の一括作成"));
    dialog_->setWindowModality(Qt::WindowModal);
    dialog_->setMinimumDuration(0);
    dialog_->setAutoClose(false);
    dialog_->setAutoReset(false);
    dialog_->setValue(0);
    dialog_->show();
}

void QtFreqGeneratorProgress::update(int done) {
    if (!dialog_) return;
    dialog_->setValue(qMin(done, dialog_->maximum()));
    dialog_->setLabelText(QStringLiteral("周波数表作成中... %1 / %2").arg(done).arg(dialog_->maximum()));
}

void QtFreqGeneratorProgress::close() {
    if (dialog_) delete dialog_.data();
}

}  // namespace tova
