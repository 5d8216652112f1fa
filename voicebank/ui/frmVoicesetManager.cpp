#include "voicebank/ui/frmVoicesetManager.h"

#include "core/Processes.h"
#include "core/ui/QuietText.h"
#include "core/ui/Twips.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"
#include "voicebank/ui/SampleListModel.h"

#include <QCloseEvent>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalBlocker>
#include <QTableView>

namespace tova {
namespace {

constexpr int kWidthTwips = 11400;
constexpr int kHeightTwips = 7440;

}  // namespace

frmVoicesetManager::frmVoicesetManager(VoiceBankManagerTools* tools, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmVoicesetManager"), QStringLiteral("原音設定"), owner, tools) {
    buildMenus();
    const int top = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, kWidthTwips / Twips::PerPixel, top);
    setFixedSize(kWidthTwips / Twips::PerPixel, kHeightTwips / Twips::PerPixel + top);
    body_ = new QWidget(this);
    body_->setObjectName(QStringLiteral("body"));
    body_->setGeometry(0, top, kWidthTwips / Twips::PerPixel, kHeightTwips / Twips::PerPixel);
    buildControls(body_);
    finishLoad();
}

frmVoicesetManager::~frmVoicesetManager() = default;

void frmVoicesetManager::buildMenus() {
    menuBar = new QMenuBar(this);
    auto item = [this](QMenu* menu, const char* name, const QString& caption, void (VoiceBankManager::*handler)()) {
        auto* a = menu->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (handler) connect(a, &QAction::triggered, this, [this, handler] { handle([&] { (logic().*handler)(); }); });
        return a;
    };
    auto separator = [](QMenu* menu, const char* name) { menu->addSeparator()->setObjectName(QString::fromLatin1(name)); };

    mnFile = menuBar->addMenu(QStringLiteral("ファイル(&F)"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    item(mnFile, "mnOpen", QStringLiteral("設定を開く(&O)..."), &VoiceBankManager::mnOpen_Click);
    item(mnFile, "mnSaveAs", QStringLiteral("別名で保存(&A)..."), &VoiceBankManager::mnSaveAs_Click);
    separator(mnFile, "mnSepa0");
    item(mnFile, "mnReload", QStringLiteral("リロード(&R)"), &VoiceBankManager::mnReload_Click);
    item(mnFile, "mnOpenFolder", QStringLiteral("フォルダを開く(&O)"), &VoiceBankManager::mnOpenFolder_Click);
    separator(mnFile, "mnSepa1");
    item(mnFile, "mnOpenOther", QStringLiteral("別の音源を開く(&L)..."), &VoiceBankManager::mnOpenOther_Click);
    separator(mnFile, "mnSepa2");
    item(mnFile, "mnQuit", QStringLiteral("保存して終了(&Q)"), &VoiceBankManager::mnQuit_Click);

    mnSettei = menuBar->addMenu(QStringLiteral("編集(&E)"));
    mnSettei->setObjectName(QStringLiteral("mnSettei"));
    item(mnSettei, "mnEdit", QStringLiteral("エディタで値を編集(&E)..."), &VoiceBankManager::mnEdit_Click);
    separator(mnSettei, "mnSepa3");
    item(mnSettei, "mnClear", QStringLiteral("クリア(&C)"), &VoiceBankManager::mnClear_Click);
    separator(mnSettei, "mnSepa4");
    item(mnSettei, "mnDup", QStringLiteral("複製(&P)"), &VoiceBankManager::mnDup_Click);
    item(mnSettei, "mnDel", QStringLiteral("削除(&D)"), &VoiceBankManager::mnDel_Click);
    separator(mnSettei, "mnSepa5");
    item(mnSettei, "mnEditFreq", QStringLiteral("周波数表の編集(&F)..."), &VoiceBankManager::mnEditFreq_Click);
    item(mnSettei, "mnInitFreq", QStringLiteral("周波数表の初期化(&I)"), &VoiceBankManager::mnInitFreq_Click);
    separator(mnSettei, "mnSepa6");
    item(mnSettei, "mnMultiSelect", QStringLiteral("複数選択(&M)"), &VoiceBankManager::mnMultiSelect_Click)->setCheckable(true);
    QAction* all = item(mnSettei, "mnSelectAll", QStringLiteral("全部選択(&A)"), &VoiceBankManager::mnSelectAll_Click);
    all->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_A));
    all->setShortcutContext(Qt::WindowShortcut);
    all->setVisible(false);
    addAction(all);  // a hidden item keeps its shortcut through the window

    mnTools = menuBar->addMenu(QStringLiteral("ツール(&T)"));
    mnTools->setObjectName(QStringLiteral("mnTools"));
    QAction* loop = item(mnTools, "mnExtension", QStringLiteral("ループエディタ(&L)"), nullptr);
    loop->setProperty("index", 0);
    loop->setVisible(false);
    connect(loop, &QAction::triggered, this, [this] { handle([this] { logic().mnExtension_Click(0); }); });
    item(mnTools, "mnReloadEntry", QStringLiteral("選択をリロード(&R)"), &VoiceBankManager::mnReloadEntry_Click);
}

void frmVoicesetManager::buildControls(QWidget* body) {
    auto label = [body](const char* name, const QString& caption, QRect r) {
        auto* l = new QLabel(caption, body);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        return l;
    };
    auto edit = [this, body](const char* name, QRect r, QString VoiceBankManager::*field) {
        auto* e = new QLineEdit(body);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(r);
        if (field)
            connect(e, &QLineEdit::textEdited, this, [this, field](const QString& t) { logic().*field = t; });
        else
            e->setReadOnly(true);  // the name and folder boxes take no typing
        return e;
    };
    auto button = [this, body](const char* name, const QString& caption, QRect r, void (VoiceBankManager::*handler)()) {
        auto* b = new QPushButton(caption, body);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { handle([&] { (logic().*handler)(); }); });
        return b;
    };

    txtOtoPath = edit("txtOtoPath", Twips::rect(120, 120, 11160, 330), nullptr);
    txtOtoPath->installEventFilter(this);

    ListView1 = new QTableView(body);
    ListView1->setObjectName(QStringLiteral("ListView1"));
    ListView1->setGeometry(Twips::rect(120, 540, 7680, 5460));
    listModel_ = new SampleListModel(logic(), this);
    ListView1->setModel(listModel_);
    ListView1->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
    ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1->setShowGrid(false);
    ListView1->setWordWrap(false);
    ListView1->verticalHeader()->setVisible(false);
    ListView1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    ListView1->verticalHeader()->setDefaultSectionSize(ListView1->fontMetrics().height() + 4);
    ListView1->horizontalHeader()->setHighlightSections(false);
    ListView1->horizontalHeader()->setSectionsClickable(false);  // a header click changes nothing
    ListView1->horizontalHeader()->setMinimumSectionSize(0);
    const int widths[9] = {96, 48, 48, 48, 48, 48, 48, 96, 3};
    for (int c = 0; c < 9; ++c) ListView1->setColumnWidth(c, widths[c]);
    ListView1->installEventFilter(this);
    ListView1->viewport()->installEventFilter(this);
    connect(ListView1->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] { selectionFromView(); });
    connect(ListView1->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] { selectionFromView(); });
    connect(ListView1, &QTableView::pressed, this, [this](const QModelIndex& i) {
        selectionFromView();
        handle([&] { logic().ListView1_MouseDown(i.row()); });
    });
    connect(ListView1, &QTableView::doubleClicked, this, [this] {
        selectionFromView();
        handle([&] { logic().ListView1_DblClick(); });
    });

    const int x = 7920, lx = 7920, bx = 9240, ux = 10560;
    Label2 = label("Label2", QStringLiteral("名前"), Twips::rect(lx, 600, 1260, 255));
    txtName = edit("txtName", Twips::rect(bx, 540, 2040, 330), nullptr);
    txtName->installEventFilter(this);
    Label3 = label("Label3", QStringLiteral("エイリアス"), Twips::rect(lx, 1020, 1260, 255));
    Label3->installEventFilter(this);
    txtAlias = edit("txtAlias", Twips::rect(bx, 960, 2040, 330), &VoiceBankManager::txtAlias);
    txtAlias->installEventFilter(this);
    const struct {
        const char* label;
        const char* caption;
        const char* box;
        QString VoiceBankManager::*field;
        const char* unit;
    } values[] = {
        {"Label4", "オフセット", "txtOffset", &VoiceBankManager::txtOffset, "Label5"},
        {"Label6", "子音部", "txtFixedLen", &VoiceBankManager::txtFixedLen, "Label7"},
        {"Label9", "ブランク", "txtEndBlank", &VoiceBankManager::txtEndBlank, "Label8"},
        {"Label14", "先行発声", "txtOffset2", &VoiceBankManager::txtOffset2, "Label15"},
        {"Label17", "ｵｰﾊﾞｰﾗｯﾌﾟ", "txtOverlap", &VoiceBankManager::txtOverlap, "Label16"},
    };
    QLabel* labels[5];
    QLineEdit* boxes[5];
    QLabel* units[5];
    for (int i = 0; i < 5; ++i) {
        const int y = 1380 + 420 * i;
        labels[i] = label(values[i].label, QString::fromUtf8(values[i].caption), Twips::rect(lx, y + 60, 1260, 255));
        boxes[i] = edit(values[i].box, Twips::rect(bx, y, 1200, 330), values[i].field);
        boxes[i]->setAlignment(Qt::AlignRight);
        units[i] = label(values[i].unit, QStringLiteral("ミリ秒"), Twips::rect(ux, y + 60, 720, 255));
    }
    Label4 = labels[0], txtOffset = boxes[0], Label5 = units[0];
    Label6 = labels[1], txtFixedLen = boxes[1], Label7 = units[1];
    Label9 = labels[2], txtEndBlank = boxes[2], Label8 = units[2];
    Label14 = labels[3], txtOffset2 = boxes[3], Label15 = units[3];
    Label17 = labels[4], txtOverlap = boxes[4], Label16 = units[4];

    cmdSet = button("cmdSet", QStringLiteral("セット"), Twips::rect(x, 3540, 795, 375), &VoiceBankManager::cmdSet_Click);
    cmdSet->setDefault(true);
    cmdClear = button("cmdClear", QStringLiteral("クリア"), Twips::rect(x + 840, 3540, 795, 375), &VoiceBankManager::cmdClear_Click);
    cmdCopy = button("cmdCopy", QStringLiteral("複製"), Twips::rect(x + 1680, 3540, 795, 375), &VoiceBankManager::cmdCopy_Click);
    cmdDel = button("cmdDel", QStringLiteral("削除"), Twips::rect(x + 2520, 3540, 795, 375), &VoiceBankManager::cmdDel_Click);
    cmdEditGUI = button("cmdEditGUI", QStringLiteral("エディタを起動"), Twips::rect(x, 4020, 3315, 375),
                        &VoiceBankManager::cmdEditGUI_Click);
    cmdFreqList = button("cmdFreqList", QStringLiteral("周波数表の編集"), Twips::rect(x, 4500, 1635, 375),
                         &VoiceBankManager::cmdFreqList_Click);
    cmdDeleteFreqList = button("cmdDeleteFreqList", QStringLiteral("周波数表を初期化"), Twips::rect(x + 1680, 4500, 1635, 375),
                               &VoiceBankManager::cmdDeleteFreqList_Click);
    Label1 = label("Label1", QStringLiteral("設定は原音側に保存されます"), Twips::rect(x, 5040, 3315, 255));
    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(x, 6840, 1635, 420), &VoiceBankManager::cmdOK_Click);
    cmdClose = button("cmdClose", QStringLiteral("キャンセル"), Twips::rect(x + 1680, 6840, 1635, 420),
                      &VoiceBankManager::cmdClose_Click);
    Label18 = label("Label18", QStringLiteral("　"), Twips::rect(x, 5400, 3315, 255));
    Label18->installEventFilter(this);

    Label10 = label("Label10", QStringLiteral("「エイリアス」はファイル名を読み替えます。（\"sa.wav\"→\"さ\"等）"),
                    Twips::rect(120, 6060, 7680, 255));
    Label11 = label("Label11", QStringLiteral("「オフセット」は原音ファイルの頭の無音部分を読み飛ばす設定です。"),
                    Twips::rect(120, 6360, 7680, 255));
    Label12 = label("Label12", QStringLiteral("「子音部」には頭の伸縮させない部分の長さを指定します。"), Twips::rect(120, 6660, 7680, 255));
    Label13 = label("Label13", QStringLiteral("「ブランク」は終りの空白部分です。"), Twips::rect(120, 6960, 7680, 255));

    // The progress panel of the frequency-table tools waits just above the visible area.
    Picture1 = new QWidget(body);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    const QRect panel = Twips::rect(120, 0, 7680, 495);
    Picture1->setGeometry(panel.translated(0, -panel.height()));
    ProgressBar1 = new QProgressBar(Picture1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(Twips::rect(2040, 120, 5040, 255));
    lblProgress = new QLabel(QStringLiteral("周波数表作成中..."), Picture1);
    lblProgress->setObjectName(QStringLiteral("lblProgress"));
    lblProgress->setGeometry(Twips::rect(480, 120, 1500, 255));
    lblBreak = new QLabel(QStringLiteral("×"), Picture1);
    lblBreak->setObjectName(QStringLiteral("lblBreak"));
    lblBreak->setGeometry(Twips::rect(7200, 120, 360, 255));
    lblBreak->installEventFilter(this);
    Image1 = new QLabel(Picture1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(60, 60, 360, 360));
    Image1->setVisible(true);
}

QAction* frmVoicesetManager::action(const QString& name) const { return findChild<QAction*>(name); }

void frmVoicesetManager::selectionFromView() {
    if (syncing_) return;
    const QItemSelectionModel* s = ListView1->selectionModel();
    for (SampleRow& r : logic().rows) r.selected = false;
    for (const QModelIndex& i : s->selectedRows())
        if (i.row() < logic().rows.size()) logic().rows[i.row()].selected = true;
    const QModelIndex current = s->currentIndex();
    logic().selectedRow = current.isValid() && current.row() < logic().rows.size() && logic().rows[current.row()].selected
                             ? current.row()
                             : (s->selectedRows().isEmpty() ? -1 : s->selectedRows().first().row());
}

void frmVoicesetManager::selectionToView() {
    QItemSelection selection;
    int start = -1;
    for (int i = 0; i <= logic().rows.size(); ++i) {
        const bool on = i < logic().rows.size() && logic().rows[i].selected;
        if (on && start < 0) start = i;
        if (!on && start >= 0) {
            selection.select(listModel_->index(start, 0), listModel_->index(i - 1, 8));
            start = -1;
        }
    }
    QItemSelectionModel* s = ListView1->selectionModel();
    s->select(selection, QItemSelectionModel::ClearAndSelect);
    if (logic().selectedRow >= 0) s->setCurrentIndex(listModel_->index(logic().selectedRow, 0), QItemSelectionModel::NoUpdate);
}

void frmVoicesetManager::refreshFromModel() {
    syncing_ = true;
    listModel_->refresh();
    ListView1->setSelectionMode(logic().multiSelect ? QAbstractItemView::ExtendedSelection
                                                   : QAbstractItemView::SingleSelection);
    selectionToView();
    if (logic().scrollToSelected && logic().selectedRow >= 0) {
        ListView1->scrollTo(listModel_->index(logic().selectedRow, 0), QAbstractItemView::EnsureVisible);
        logic().scrollToSelected = false;
    }
    syncing_ = false;
    setTextKeepingCursor(txtOtoPath, logic().txtOtoPath);
    setTextKeepingCursor(txtName, logic().txtName);
    setTextKeepingCursor(txtAlias, logic().txtAlias);
    setTextKeepingCursor(txtOffset, logic().txtOffset);
    setTextKeepingCursor(txtFixedLen, logic().txtFixedLen);
    setTextKeepingCursor(txtEndBlank, logic().txtEndBlank);
    setTextKeepingCursor(txtOffset2, logic().txtOffset2);
    setTextKeepingCursor(txtOverlap, logic().txtOverlap);
    cmdFreqList->setEnabled(logic().cmdFreqListEnabled);
    action(QStringLiteral("mnMultiSelect"))->setChecked(logic().multiSelect);
    action(QStringLiteral("mnSelectAll"))->setEnabled(logic().mnSelectAllEnabled);
    const bool idle = !logic().Busy;
    for (QWidget* w : std::initializer_list<QWidget*>{ListView1, cmdSet, cmdClear, cmdCopy, cmdDel, cmdEditGUI, cmdFreqList,
                                                      cmdDeleteFreqList, cmdOK, cmdClose})
        if (!idle) w->setEnabled(false);
        else if (w != cmdFreqList) w->setEnabled(true);
    for (QMenu* m : {mnFile, mnSettei, mnTools}) m->menuAction()->setEnabled(idle);
}

bool frmVoicesetManager::ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2,
                                    const QString& cacheFolder, bool quickOpen, QWidget* owner) {
    if (owner && parentWidget() != owner) setParent(owner, windowFlags());
    bool accepted = false;
    EventGuard::runHandler([&] {
        accepted = logic().ShowDialog(voiceFolder, name1, name2, cacheFolder, quickOpen, [this] {
            refreshFromModel();
            showModal();
        });
    });
    EventGuard::runHandler([this] { refreshFromModel(); });
    return accepted;
}

bool frmVoicesetManager::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (watched == Label3 && type == QEvent::MouseButtonDblClick) {
        handle([this] { logic().Label3_DblClick(); });
        return true;
    }
    if (watched == txtAlias && type == QEvent::MouseButtonDblClick) {
        handle([this] { logic().AliasFromFileName(); });
        return true;
    }
    if (watched == lblBreak && type == QEvent::MouseButtonPress) {
        logic().lblBreak_Click();
        return true;
    }
    if ((watched == txtName || watched == txtOtoPath) && type == QEvent::KeyPress) {
        // The boxes are read-only line edits as well; only keys that would type are passed to the
        // handlers, so that the cursor keys and copying still work.
        const auto* k = static_cast<QKeyEvent*>(event);
        const QString typed = k->text();
        if (typed.isEmpty() || !typed.at(0).isPrint()) return false;
        int code = k->key(), ascii = typed.at(0).unicode();
        handle([&] {
            if (watched == txtName) {
                logic().txtName_KeyDown(code);
                logic().txtName_KeyPress(ascii);
            } else {
                logic().txtOtoPath_KeyDown(code);
                logic().txtOtoPath_KeyPress(ascii);
            }
        });
        return true;
    }
    if (watched == Label18 && type == QEvent::MouseButtonDblClick) {
        handle([this] { logic().Label18_DblClick(); });
        return true;
    }
    if (watched == ListView1 && type == QEvent::KeyPress) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (k->key() == Qt::Key_A && (k->modifiers() & Qt::ControlModifier)) {
            selectionFromView();
            handle([this] { logic().ListView1_KeyDown(VoiceBankManager::kKeyA, true); });
            return true;
        }
    }
    if (watched == ListView1 && type == QEvent::KeyRelease) {
        const auto* k = static_cast<QKeyEvent*>(event);
        if (!k->isAutoRepeat() && (k->key() == Qt::Key_Up || k->key() == Qt::Key_Down)) {
            selectionFromView();
            const int key = k->key() == Qt::Key_Up ? VoiceBankManager::kKeyUp : VoiceBankManager::kKeyDown;
            handle([this, key] { logic().ListView1_KeyUp(key); });
        }
    }
    if (watched == ListView1->viewport() && type == QEvent::MouseButtonRelease) {
        const auto* m = static_cast<QMouseEvent*>(event);
        if (m->button() == Qt::RightButton) {
            const int row = ListView1->indexAt(m->position().toPoint()).row();
            bool popup = false;
            handle([&] { popup = logic().ListView1_MouseUp(row, true); });
            if (popup) {
                if (row >= 0) {
                    logic().selectRow(row);
                    refreshFromModel();
                }
                QString chosen;
                EventGuard::runHandler([&] { chosen = Ports::popupMenu().popup(mnSettei, m->globalPosition().toPoint()); });
                if (QAction* a = chosen.isEmpty() ? nullptr : action(chosen)) a->trigger();
            }
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmVoicesetManager::mouseDoubleClickEvent(QMouseEvent* event) {
    // Only the window's own background, not a control on it.
    QWidget* under = childAt(event->position().toPoint());
    if (under == nullptr || under == body_) handle([this] { logic().Form_DblClick(); });
    QDialog::mouseDoubleClickEvent(event);
}

void frmVoicesetManager::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ListView1->setFocus();
}

}  // namespace tova
