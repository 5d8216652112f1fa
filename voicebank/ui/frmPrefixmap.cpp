#include "voicebank/ui/frmPrefixmap.h"

#include "core/CaptionFiles.h"
#include "core/ui/Twips.h"

#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTreeWidget>

namespace tova {
namespace {

void showText(QLineEdit* edit, const QString& text) {
    if (edit->text() == text) return;
    const QSignalBlocker block(edit);
    edit->setText(text);
}

}  // namespace

frmPrefixmap::frmPrefixmap(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmPrefixmap"), QStringLiteral("PrefixMapエディタ"), owner) {
    setFixedSize(Twips::size(6720, 5160));

    ListView1 = new QTreeWidget(this);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(Twips::rect(120, 120, 3480, 4920));
    ListView1->setHeaderLabels({QStringLiteral("キー"), QStringLiteral("前"), QStringLiteral("後")});
    ListView1->setRootIsDecorated(false);
    ListView1->setSortingEnabled(false);
    ListView1->setSelectionMode(QAbstractItemView::ExtendedSelection);
    ListView1->setColumnWidth(0, 64);
    ListView1->setColumnWidth(1, 80);
    ListView1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);  // the last column takes the rest
    ListView1->header()->setSectionsClickable(false);
    connect(ListView1, &QTreeWidget::itemSelectionChanged, this, [this] { selectionFromView(); });
    connect(ListView1, &QTreeWidget::itemClicked, this, [this] {
        selectionFromView();
        handle([this] { model().ListView1_ItemClick(); });
    });

    auto label = [this](const char* name, const QString& caption, QRect r) {
        auto* l = new QLabel(caption, this);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        return l;
    };
    auto edit = [this](const char* name, QRect r, QString PrefixMapEditor::*field) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(r);
        connect(e, &QLineEdit::textEdited, this, [this, field](const QString& t) { model().*field = t; });
        return e;
    };
    auto button = [this](const char* name, const QString& caption, QRect r, void (PrefixMapEditor::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        if (handler) connect(b, &QPushButton::clicked, this, [this, handler] { handle([&] { (model().*handler)(); }); });
        return b;
    };
    const int x = 3720;
    Label1 = label("Label1", QStringLiteral("キー"), Twips::rect(x, 180, 2880, 255));
    txtKey = edit("txtKey", Twips::rect(x, 420, 2880, 330), &PrefixMapEditor::txtKey);
    Label2 = label("Label2", QStringLiteral("前（Prefix）"), Twips::rect(x, 900, 2880, 255));
    txtPrefix = edit("txtPrefix", Twips::rect(x, 1140, 2880, 330), &PrefixMapEditor::txtPrefix);
    Label3 = label("Label3", QStringLiteral("後（Suffix）"), Twips::rect(x, 1620, 2880, 255));
    txtSuffix = edit("txtSuffix", Twips::rect(x, 1860, 2880, 330), &PrefixMapEditor::txtSuffix);
    cmdSet = button("cmdSet", QStringLiteral("セット"), Twips::rect(x, 2400, 1395, 375), &PrefixMapEditor::cmdSet_Click);
    cmdClear = button("cmdClear", QStringLiteral("クリア"), Twips::rect(x + 1485, 2400, 1395, 375),
                      &PrefixMapEditor::cmdClear_Click);
    cmdSelAll = button("cmdSelAll", QStringLiteral("全部選択"), Twips::rect(x, 2880, 1395, 375),
                       &PrefixMapEditor::cmdSelAll_Click);
    // Reloading applies the caption files again, as loading the window does.
    cmdReload = button("cmdReload", QStringLiteral("再読込"), Twips::rect(x + 1485, 2880, 1395, 375), nullptr);
    connect(cmdReload, &QPushButton::clicked, this, [this] {
        handle([this] {
            ApplyLabelButtonStrings(localizable());
            model().cmdReload_Click();
        });
    });
    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(x, 4620, 1395, 375), &PrefixMapEditor::cmdOK_Click);
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("キャンセル"), Twips::rect(x + 1485, 4620, 1395, 375),
                       &PrefixMapEditor::cmdCancel_Click);
    finishLoad();
}

void frmPrefixmap::Load(const QString& voiceFolder) {
    handle([&] { model().Load(voiceFolder); });
}

bool frmPrefixmap::ShowDialog(const QString& voiceFolder) {
    Load(voiceFolder);
    return showModal();
}

void frmPrefixmap::selectionFromView() {
    if (syncing_) return;
    QList<PrefixMapRow>& rows = model().rows;
    for (int i = 0; i < rows.size() && i < ListView1->topLevelItemCount(); ++i)
        rows[i].selected = ListView1->topLevelItem(i)->isSelected();
}

void frmPrefixmap::refreshFromModel() {
    syncing_ = true;
    const QList<PrefixMapRow>& rows = model().rows;
    if (ListView1->topLevelItemCount() != rows.size()) {
        ListView1->clear();
        for (qsizetype i = 0; i < rows.size(); ++i) new QTreeWidgetItem(ListView1);
    }
    for (int i = 0; i < rows.size(); ++i) {
        QTreeWidgetItem* item = ListView1->topLevelItem(i);
        item->setText(0, rows[i].name);
        item->setText(1, rows[i].prefix);
        item->setText(2, rows[i].suffix);
        item->setSelected(rows[i].selected);
    }
    syncing_ = false;
    showText(txtKey, model().txtKey);
    showText(txtPrefix, model().txtPrefix);
    showText(txtSuffix, model().txtSuffix);
}

}  // namespace tova
