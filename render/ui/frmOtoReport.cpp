#include "render/ui/frmOtoReport.h"

#include "core/Settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QPlainTextEdit>
#include <QPushButton>

namespace tova {
namespace {

// Form geometry in twips (15 twips to the pixel).
QRect twips(int left, int top, int width, int height) { return QRect(left / 15, top / 15, width / 15, height / 15); }

}  // namespace

frmOtoReport::frmOtoReport(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("frmOtoReport"));
    setWindowTitle(QStringLiteral("原音レポート"));
    setFixedSize(twips(0, 0, 7200, 5400).size());

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(twips(120, 120, 6960, 4440));
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);
    // The text is for reading only: every key is discarded, and the edit refuses changes from the
    // mouse (the context menu's paste) as well.
    Text1->setReadOnly(true);
    Text1->installEventFilter(this);

    chkNoThankYou = new QCheckBox(QStringLiteral("表示しない"), this);
    chkNoThankYou->setObjectName(QStringLiteral("chkNoThankYou"));
    chkNoThankYou->setGeometry(twips(120, 4755, 3000, 375));

    OKButton = new QPushButton(QStringLiteral("閉じる"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(twips(5640, 4710, 1440, 450));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);
}

void frmOtoReport::setReportText(const QString& report) { Text1->setPlainText(report); }

void frmOtoReport::ShowReport(const QString& report, QWidget* owner) {
    frmOtoReport window(owner);
    window.setReportText(report);
    window.exec();
}

void frmOtoReport::done(int result) {
    settings().NoOtoReport = chkNoThankYou->isChecked();
    QDialog::done(result);
}

bool frmOtoReport::eventFilter(QObject* watched, QEvent* event) {
    if (watched == Text1 && (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease ||
                             event->type() == QEvent::ShortcutOverride))
        return true;
    return QDialog::eventFilter(watched, event);
}

}  // namespace tova
