#include "voicebank/ui/frmFromList.h"

#include "commands/EditContext.h"
#include "core/ui/Twips.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTimer>

namespace tova {

frmFromList::frmFromList(MciPort& mci, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmFromList"), QStringLiteral("リストから挿入"), owner, mci) {
    setFixedSize(Twips::size(3840, 6360));
    setModal(false);

    Label1 = new QLabel(QStringLiteral("クリックで音が出ます。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(120, 120, 3600, 255));
    Label2 = new QLabel(QStringLiteral("ダブルクリックで選択部分の先頭に挿入します"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Twips::rect(120, 420, 3600, 495));
    Label2->setWordWrap(true);

    List1 = new QListWidget(this);
    List1->setObjectName(QStringLiteral("List1"));
    List1->setGeometry(Twips::rect(120, 960, 3600, 4320));
    auto rowOf = [this](QListWidgetItem* item) { return item ? List1->row(item) : -1; };
    connect(List1, &QListWidget::itemClicked, this, [this, rowOf](QListWidgetItem* item) {
        const int row = rowOf(item);
        handle([this, row] {
            model().selected = row;
            model().List1_Click();
        });
    });
    connect(List1, &QListWidget::itemDoubleClicked, this, [this, rowOf](QListWidgetItem* item) {
        const int row = rowOf(item);
        handle([this, row] {
            model().selected = row;
            model().List1_DblClick();
        });
    });

    auto check = [this](const char* name, const QString& caption, QRect r, bool SamplePicker::*field) {
        auto* c = new QCheckBox(caption, this);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(r);
        connect(c, &QCheckBox::toggled, this, [this, field](bool on) { model().*field = on; });
        return c;
    };
    chkReplace = check("chkReplace", QStringLiteral("置換"), Twips::rect(120, 5400, 1200, 330), &SamplePicker::chkReplace);
    chkSilent = check("chkSilent", QStringLiteral("消音"), Twips::rect(1320, 5400, 1200, 330), &SamplePicker::chkSilent);

    CancelButton = new QPushButton(QStringLiteral("閉じる"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(2520, 5820, 1200, 420));
    CancelButton->setAutoDefault(false);
    connect(CancelButton, &QPushButton::clicked, this, [this] { handle([this] { model().CancelButton_Click(); }); });

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, [this] {
        Timer1->stop();
        handle([this] { model().FillList([this] { yieldDuringFill(); }); });
    });
    finishLoad();
}

QString frmFromList::ShowList(const QString& voiceFolder, EditContext& owner) {
    SamplePicker& m = model();
    m.hidden = false;
    bool refill = false;
    handle([&] { refill = m.ShowList(voiceFolder, owner, [] { QCoreApplication::processEvents(); }); });
    show();
    raise();
    if (refill) Timer1->start(100);
    return m.LastText;
}

void frmFromList::yieldDuringFill() {
    refreshFromModel();
    QCoreApplication::processEvents();
}

void frmFromList::refreshFromModel() {
    const SamplePicker& m = model();
    const QSignalBlocker block(List1);
    // The list grows while it fills: only the new rows are added, unless the rows shown are no longer
    // the model's.
    const int shown = List1->count();
    if (shown > m.items.size() || (shown > 0 && List1->item(shown - 1)->text() != m.items[shown - 1])) List1->clear();
    for (int i = List1->count(); i < m.items.size(); ++i) List1->addItem(m.items[i]);
    if (m.selected >= 0 && m.selected < List1->count()) List1->setCurrentRow(m.selected);
    const QSignalBlocker b1(chkReplace), b2(chkSilent);
    chkReplace->setChecked(m.chkReplace);
    chkSilent->setChecked(m.chkSilent);
}

}  // namespace tova
