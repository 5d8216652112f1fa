#include "core/ui/frmEditBox.h"

#include "core/ui/EditBoxFont.h"
#include "core/ui/Twips.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextCursor>

namespace tova {

namespace {
QString toEditor(const QString& text) {
    QString t = text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    t.replace(u'\r', u'\n');
    return t;
}
QString fromEditor(const QString& text) {
    QString t = text;
    t.replace(u'\n', QStringLiteral("\r\n"));
    return t;
}
}  // namespace

frmEditBox::frmEditBox(QWidget* owner, const QString& text) : QDialog(owner), text_(text) {
    setObjectName(QStringLiteral("frmEditBox"));
    setWindowTitle(QStringLiteral("テキスト入力"));
    setFixedSize(Twips::size(6000, 4170));

    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->setGeometry(Twips::rect(120, 120, 5760, 3375));
    Text1->setFont(editBoxFont());
    Text1->setLineWrapMode(QPlainTextEdit::NoWrap);

    cmdClose = new QPushButton(QStringLiteral("閉じる"), this);
    cmdClose->setObjectName(QStringLiteral("cmdClose"));
    cmdClose->setGeometry(Twips::rect(4560, 3600, 1320, 420));
    cmdClose->setAutoDefault(false);
    connect(cmdClose, &QPushButton::clicked, this, [this] { done(QDialog::Accepted); });

    // Loading: the stored text, all selected.
    Text1->setPlainText(toEditor(text_));
    Text1->selectAll();
}

void frmEditBox::done(int result) {
    // Every way of closing keeps the edit.
    text_ = fromEditor(Text1->toPlainText());
    QDialog::done(result);
}

void frmEditBox::EditText(QString& text, QWidget* owner) {
    frmEditBox box(owner, text);
    box.setModal(true);
    box.exec();
    text = box.text_;
}

}  // namespace tova

namespace tova {

void frmEditBox::ShowText(const QString& caption, const QString& text, QWidget* owner) {
    frmEditBox box(owner, text);
    box.setWindowTitle(caption);
    box.setFixedSize(Twips::size(9000, 6600));
    box.Text1->setGeometry(Twips::rect(120, 120, 8760, 5805));
    box.cmdClose->setGeometry(Twips::rect(7560, 6030, 1320, 420));
    box.Text1->setReadOnly(true);
    // Read with the keyboard too: arrows and Page Up/Down move through the text.
    box.Text1->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    box.Text1->setFocus();
    box.Text1->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    box.Text1->moveCursor(QTextCursor::Start);
    box.setModal(true);
    box.exec();
}

}  // namespace tova
