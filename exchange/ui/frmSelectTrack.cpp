#include "exchange/ui/frmSelectTrack.h"

#include "core/ui/Twips.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>

namespace tova {

frmSelectTrack::frmSelectTrack(const QStringList& entries, qint32 preselected, QWidget* owner)
    : ModelDialogOf<SelectTrackModel>(QStringLiteral("frmSelectTrack"), QStringLiteral("トラックを選択"), owner,
                                      entries, preselected) {
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
    List1->addItems(model().entries());
    // The chosen entry is the selected one, and it is the only row drawn as chosen: no row is current
    // until one is chosen (so the focus does not mark the first row), and the current row follows the
    // choice (the row it opens on, a click, the arrow keys).
    List1->setSelectionMode(QAbstractItemView::SingleSelection);
    List1->setCurrentIndex(QModelIndex());
    connect(List1, &QListWidget::itemSelectionChanged, this, [this] {
        const QList<QListWidgetItem*> items = List1->selectedItems();
        const qint32 row = items.isEmpty() ? -1 : qint32(List1->row(items.first()));
        handle([this, row] { model().select(row); });
    });

    OKButton = new QPushButton(QStringLiteral("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips::rect(1920, 3300, 1320, 420));
    OKButton->setDefault(true);
    connect(OKButton, &QPushButton::clicked, this, [this] { handle([this] { model().OKButton_Click(); }); });

    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(3360, 3300, 1320, 420));
    connect(CancelButton, &QPushButton::clicked, this, [this] { handle([this] { model().CancelButton_Click(); }); });

    finishLoad();
}

void frmSelectTrack::refreshFromModel() {
    const QSignalBlocker block(List1);
    const qint32 row = model().selectedIndex();
    if (row < 0) {
        List1->clearSelection();
        List1->setCurrentIndex(QModelIndex());
    } else {
        List1->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    }
}

qint32 frmSelectTrack::SelectTrack(const QStringList& entries, qint32 preselected, QWidget* owner) {
    frmSelectTrack window(entries, preselected, owner);
    window.showModal();
    return window.model().result();
}

}  // namespace tova
