#include "core/ui/InputBoxDialog.h"

#include "core/ui/EditBoxFont.h"
#include "core/ui/Twips.h"
#include "platform/EventGuard.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace tova {

QString& InputBoxDialog::storedText() {
    static QString text;
    return text;
}

InputBoxDialog::InputBoxDialog(QWidget* owner) : QDialog(owner) {
    setObjectName(QStringLiteral("InputBoxDialog"));
    setWindowTitle(QStringLiteral("値の入力"));
    setFixedSize(Twips::size(6030, 1110));

    // The question stands in the box as well as in the title bar (a desktop without a window manager
    // shows no title bar).
    lblPrompt = new QLabel(this);
    lblPrompt->setObjectName(QStringLiteral("lblPrompt"));
    lblPrompt->setGeometry(Twips::rect(120, 60, 4440, 300));

    txtInput = new QLineEdit(this);
    txtInput->setObjectName(QStringLiteral("txtInput"));
    txtInput->setGeometry(Twips::rect(120, 375, 4440, 360));
    txtInput->setFont(editBoxFont());

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips::rect(4680, 120, 1215, 375));
    OKButton->setDefault(true);

    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(4680, 600, 1215, 375));
    CancelButton->setAutoDefault(false);

    connect(OKButton, &QPushButton::clicked, this, [this] { EventGuard::run([this] { OKButton_Click(); }); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { EventGuard::run([this] { CancelButton_Click(); }); });
}

void InputBoxDialog::OKButton_Click() {
    storedText() = txtInput->text();
    resultFlag_ = true;
    accept();
}

void InputBoxDialog::CancelButton_Click() {
    resultFlag_ = false;
    reject();
}

bool InputBoxDialog::ShowInput(QString& text, QWidget* owner, const QString& caption) {
    InputBoxDialog box(owner);
    box.setWindowTitle(caption);
    box.lblPrompt->setText(caption);
    box.txtInput->setText(text);
    box.txtInput->setSelection(0, int(text.size()));
    box.setModal(true);
    // Every use starts without an answer: closing by the frame (or Escape) then answers false.
    box.resultFlag_ = false;
    box.exec();
    text = storedText();
    return box.resultFlag_;
}

}  // namespace tova
