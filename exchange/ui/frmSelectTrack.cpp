#include "exchange/ui/frmSelectTrack.h"

#include "core/ui/Twips.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>

namespace tova {

frmSelectTrack::frmSelectTrack(const QStringList& entries, QWidget* owner) : QDialog(owner), model_(entries) {
    setObjectName(QStringLiteral("frmSelectTrack"));
    setWindowTitle(QStringLiteral("トラックを選択"));
    QFont f = font();
    f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAexGothic"), QStringLiteral("monospace")});
    setFont(f);
    setFixedSize(Twips::size(4800, 3900));

    Label1 = new QLabel(QStringLiteral("取込むトラックを選択してください。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(120, 120, 4560, 300));

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(Twips::rect(120, 480, 4560, 2640));
    // Form_Load: every entry in order.
    List1->addItems(model_.entries());
    // The chosen entry is the selected one; the focus alone (which makes the first row current) chooses
    // nothing.
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> items = List1->selectedItems();
        model_.select(items.isEmpty() ? -1 : List1->row(items.first()));
    });

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips::rect(1920, 3300, 1320, 420));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] {
        model_.OKButton_Click();
        accept();
    });

    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(3360, 3300, 1320, 420));
    connect(CancelButton, &QPushButton::clicked, this, [this] {
        model_.CancelButton_Click();
        reject();
    });
}

qint32 frmSelectTrack::SelectTrack(const QStringList& entries, QWidget* owner) {
    frmSelectTrack window(entries, owner);
    window.exec();
    return window.model().result();
}

}  // namespace tova
