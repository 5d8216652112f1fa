#include "mainwindow/ui/frmOptions.h"

#include "core/ui/QuietText.h"
#include "core/ui/Twips.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QTabBar>

namespace tova {
namespace {

constexpr int kWidthTwips = 10440;
constexpr int kHeightTwips = 6000;
// A page's place when its tab is selected, and when it is not.
constexpr int kPageLeftTwips = 210;
constexpr int kPageHiddenLeftTwips = -20000;
constexpr int kPageTopTwips = 540;
constexpr int kPageWidthTwips = 10020;
constexpr int kPageHeightTwips = 4740;

void setChecked(QAbstractButton* box, bool checked) {
    const QSignalBlocker block(box);
    box->setChecked(checked);
}

void setItems(QComboBox* box, const QStringList& items, int index, const QString& textWithoutEntry = QString()) {
    const QSignalBlocker block(box);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    if (shown != items) {
        box->clear();
        box->addItems(items);
    }
    box->setCurrentIndex(index);
    if (box->isEditable() && index < 0) box->setEditText(textWithoutEntry);
}

}  // namespace

frmOptions::frmOptions(VoiceBankAccess& voices, std::function<QString()> cacheFolder, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmOptions"), QStringLiteral("ｵﾌﾟｼｮﾝ"), owner, voices, std::move(cacheFolder)) {
    model().owner = this;
    setFixedSize(Twips::size(kWidthTwips, kHeightTwips));

    tbsOptions = new QTabBar(this);
    tbsOptions->setObjectName(QStringLiteral("tbsOptions"));
    tbsOptions->setGeometry(Twips::rect(120, 120, kWidthTwips - 240, 420));
    tbsOptions->setDrawBase(true);
    tbsOptions->setExpanding(false);
    for (const char* caption : {"全般", "原音の登録", "キャッシュ", "パス", "MIDI"})
        tbsOptions->addTab(QString::fromUtf8(caption));

    for (int i = 0; i < OptionsDialog::TabCount; ++i) {
        auto* page = new QWidget(this);
        page->setObjectName(QStringLiteral("picOptions"));
        page->setProperty("index", i);
        page->setGeometry(Twips::rect(kPageLeftTwips, kPageTopTwips, kPageWidthTwips, kPageHeightTwips));
        picOptions << page;
    }

    auto label = [](QWidget* parent, const QString& caption, QRect r, bool wrap = false) {
        auto* l = new QLabel(caption, parent);
        l->setGeometry(r);
        l->setWordWrap(wrap);
        return l;
    };
    int labels = 0;
    auto namedLabel = [&](QWidget* parent, const QString& caption, QRect r, bool wrap = false) {
        QLabel* l = label(parent, caption, r, wrap);
        l->setObjectName(QStringLiteral("Label%1").arg(++labels));
        return l;
    };
    auto check = [](QWidget* parent, const char* name, const QString& caption, QRect r) {
        auto* c = new QCheckBox(caption, parent);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(r);
        return c;
    };
    auto button = [](QWidget* parent, const char* name, const QString& caption, QRect r) {
        auto* b = new QPushButton(caption, parent);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        return b;
    };
    auto edit = [](QWidget* parent, const char* name, QRect r) {
        auto* e = new QLineEdit(parent);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(r);
        return e;
    };
    auto frame = [](QWidget* parent, const char* name, const QString& caption, QRect r) {
        auto* g = new QGroupBox(caption, parent);
        g->setObjectName(QString::fromLatin1(name));
        g->setGeometry(r);
        return g;
    };
    auto option = [](QWidget* parent, const char* name, const QString& caption, QRect r) {
        auto* o = new QRadioButton(caption, parent);
        o->setObjectName(QString::fromLatin1(name));
        o->setGeometry(r);
        return o;
    };
    auto combo = [](QWidget* parent, const char* name, QRect r, bool editable) {
        auto* c = new QComboBox(parent);
        c->setObjectName(QString::fromLatin1(name));
        c->setGeometry(r);
        c->setEditable(editable);
        return c;
    };

    // Page 1: general switches.
    QWidget* p = picOptions[0];
    Frame1 = frame(p, "Frame1", QStringLiteral("編集オプション"), Twips::rect(120, 0, 9780, 1380));
    chkEnterLyric = check(Frame1, "chkEnterLyric", QStringLiteral("エンターで歌詞変更"), Twips::rect(120, 300, 9540, 255));
    chkNoCheckSetLyrics = check(Frame1, "chkNoCheckSetLyrics", QStringLiteral("歌詞流し込み時に選択範囲制限を行わない"),
                                Twips::rect(120, 555, 9540, 255));
    chkNoCopyVoiceParam = check(Frame1, "chkNoCopyVoiceParam",
                                QStringLiteral("歌詞変更時に原音から先行発声・オーバーラップ値をコピーしない"),
                                Twips::rect(120, 810, 9540, 255));
    chkExcludeVowelOnSetParam =
        check(Frame1, "chkExcludeVowelOnSetParam",
              QStringLiteral("母音（あいうえおをん）は先行発声・オーバーラップ値を自動でコピーしない"),
              Twips::rect(360, 1065, 9300, 255));
    Frame2 = frame(p, "Frame2", QStringLiteral("レンダリング"), Twips::rect(120, 1440, 9780, 1650));
    // The in-process renderer is the shared library form of tool 2 here.
    chkUseDLL = check(Frame2, "chkUseDLL", QStringLiteral("レンダリングに vorsa10.so を使用する"), Twips::rect(120, 300, 9540, 255));
    chkNonBatchMode = check(Frame2, "chkNonBatchMode", QStringLiteral("WAV生成時にバッチを使用しない（非推奨）"),
                            Twips::rect(360, 555, 9300, 255));
    chkEncPitchDatas = check(Frame2, "chkEncPitchDatas", QStringLiteral("レンダリング時にピッチデータをbase64エンコードしない"),
                             Twips::rect(120, 810, 9540, 255));
    chkOldTime = check(Frame2, "chkOldTime", QStringLiteral("音符長の計算をGUI側で行う"), Twips::rect(120, 1065, 9540, 255));
    chkCheckVoiceFile = check(
        Frame2, "chkCheckVoiceFile",
        QStringLiteral("レンダリング時にファイルの存在チェックを行い、なるべく音抜けしないようにする。（遅くなります）"),
        Twips::rect(120, 1320, 9540, 255));
    Frame3 = frame(p, "Frame3", QStringLiteral("その他"), Twips::rect(120, 3150, 9780, 1500));
    chkNoOtoReport = check(Frame3, "chkNoOtoReport", QStringLiteral("原音チェックレポートを表示しない"),
                           Twips::rect(120, 300, 9540, 255));
    chkDebugMode = check(Frame3, "chkDebugMode", QStringLiteral("デバッグモード（エラーを捕捉しない）"),
                         Twips::rect(120, 555, 9540, 255));
    cmdExportResource = button(Frame3, "cmdExportResource", QStringLiteral("リソースエクスポート"),
                               Twips::rect(120, 930, 2400, 375));

    // Page 2: registered voice banks.
    p = picOptions[1];
    namedLabel(p, QStringLiteral("原音の登録"), Twips::rect(120, 60, 6780, 255));
    namedLabel(p, QStringLiteral("※voiceフォルダ以外の場所の原音を登録します。"), Twips::rect(120, 330, 6780, 255));
    lstOtoList = new QListWidget(p);
    lstOtoList->setObjectName(QStringLiteral("lstOtoList"));
    lstOtoList->setGeometry(Twips::rect(120, 660, 6780, 2340));
    namedLabel(p, QStringLiteral("名前"), Twips::rect(120, 3120, 900, 255));
    txtOtoName = edit(p, "txtOtoName", Twips::rect(1080, 3060, 5820, 330));
    namedLabel(p, QStringLiteral("場所"), Twips::rect(120, 3540, 900, 255));
    txtOtoPath = edit(p, "txtOtoPath", Twips::rect(1080, 3480, 4620, 330));
    cmdOtoFolder = button(p, "cmdOtoFolder", QStringLiteral("選択..."), Twips::rect(5760, 3480, 1140, 330));
    cmdOtoAdd = button(p, "cmdOtoAdd", QStringLiteral("追加"), Twips::rect(3240, 4020, 1140, 375));
    cmdOtoSet = button(p, "cmdOtoSet", QStringLiteral("セット"), Twips::rect(4500, 4020, 1140, 375));
    cmdOtoDelete = button(p, "cmdOtoDelete", QStringLiteral("削除"), Twips::rect(5760, 4020, 1140, 375));

    // Page 3: cache policy.
    p = picOptions[2];
    namedLabel(p, QStringLiteral("キャッシュの設定"), Twips::rect(120, 60, 6780, 255));
    namedLabel(p,
               QStringLiteral("wavファイル生成時の中間ファイルの扱いを設定します。キャッシュとして残すと生成処理が早くなることが"
                              "ありますが、ディスク容量が多く必要になります。"),
               Twips::rect(120, 330, 6780, 780), true);
    chkCacheTemp = check(p, "chkCacheTemp", QStringLiteral("中間ファイルをキャッシュする"), Twips::rect(120, 1200, 6780, 300));
    optCacheNoDelete = option(p, "optCacheNoDelete", QStringLiteral("キャッシュを削除しない"), Twips::rect(360, 1620, 6540, 300));
    optCacheDeleteByDate = option(p, "optCacheDeleteByDate", QStringLiteral("一定の期間を過ぎたファイルを削除"),
                                  Twips::rect(360, 2040, 3900, 300));
    txtCacheDeleteDays = edit(p, "txtCacheDeleteDays", Twips::rect(4320, 2010, 1200, 330));
    namedLabel(p, QStringLiteral("日"), Twips::rect(5580, 2070, 600, 255));
    optCacheDeleteBySize = option(p, "optCacheDeleteBySize", QStringLiteral("一定の容量を超えたら古いものから削除"),
                                  Twips::rect(360, 2460, 3900, 300));
    txtCacheLimitSize = edit(p, "txtCacheLimitSize", Twips::rect(4320, 2430, 1200, 330));
    namedLabel(p, QStringLiteral("MB"), Twips::rect(5580, 2490, 600, 255));
    optCacheDeleteOnUnload = option(p, "optCacheDeleteOnUnload", QStringLiteral("終了時にキャッシュを削除"),
                                    Twips::rect(360, 2880, 6540, 300));
    cmdDeleteCache = button(p, "cmdDeleteCache", QStringLiteral("キャッシュを削除"), Twips::rect(120, 3480, 2400, 375));

    // Page 4: tool paths and voice root.
    p = picOptions[3];
    namedLabel(p, QStringLiteral("切り張りツールと原音リサンプルツールへのパスを設定します。"), Twips::rect(120, 60, 6780, 255));
    namedLabel(p, QStringLiteral("この設定はプロジェクト新規作成時のデフォルトとなります。"), Twips::rect(120, 330, 6780, 255));
    namedLabel(p, QStringLiteral("ツール１ (append)"), Twips::rect(120, 780, 1800, 255));
    txtTool1Path = edit(p, "txtTool1Path", Twips::rect(1980, 720, 4380, 330));
    cmdBrowsTool1 = button(p, "cmdBrowsTool1", QStringLiteral("..."), Twips::rect(6420, 720, 480, 330));
    namedLabel(p, QStringLiteral("ツール２ (resample)"), Twips::rect(120, 1200, 1800, 255));
    txtTool2Path = edit(p, "txtTool2Path", Twips::rect(1980, 1140, 4380, 330));
    cmdBrowsTool2 = button(p, "cmdBrowsTool2", QStringLiteral("..."), Twips::rect(6420, 1140, 480, 330));
    Command1 = button(p, "Command1", QStringLiteral("リセット"), Twips::rect(1980, 1560, 1440, 375));
    namedLabel(p, QStringLiteral("※インストールパスは省略されます。"), Twips::rect(3540, 1620, 3360, 255));
    chkVoiceRoot = check(p, "chkVoiceRoot", QStringLiteral("原音のルートフォルダを変更する"), Twips::rect(120, 2400, 6780, 300));
    txtVoiceParent = edit(p, "txtVoiceParent", Twips::rect(360, 2820, 6000, 330));
    cmdBrowsVFolder = button(p, "cmdBrowsVFolder", QStringLiteral("..."), Twips::rect(6420, 2820, 480, 330));

    // Page 5: MIDI devices and note names.
    p = picOptions[4];
    namedLabel(p, QStringLiteral("MIDI IN"), Twips::rect(120, 180, 1500, 255));
    cboMidiDev = combo(p, "cboMidiDev", Twips::rect(1680, 120, 5220, 330), true);
    namedLabel(p, QStringLiteral("MIDI OUT"), Twips::rect(120, 600, 1500, 255));
    cboMidiOutDev = combo(p, "cboMidiOutDev", Twips::rect(1680, 540, 5220, 330), true);
    chkMidiSendNote = check(p, "chkMidiSendNote", QStringLiteral("音符を置いた時に音を鳴らす"), Twips::rect(120, 1080, 6780, 300));
    chkMidiSendPC = check(p, "chkMidiSendPC", QStringLiteral("MidiOut接続時にProgramChangeを送る"),
                          Twips::rect(120, 1500, 6780, 300));
    cboMidiProgram = combo(p, "cboMidiProgram", Twips::rect(360, 1860, 6540, 330), false);
    namedLabel(p, QStringLiteral("音階名の表示"), Twips::rect(120, 2520, 1500, 255));
    cboSharpFlat = combo(p, "cboSharpFlat", Twips::rect(1680, 2460, 1500, 330), false);
    cboSharpFlat->addItems(OptionsDialog::SharpFlatEntries());

    cmdOK = button(this, "cmdOK", QStringLiteral("OK"), Twips::rect(7560, 5460, 1335, 375));
    cmdOK->setDefault(true);
    cmdCancel = button(this, "cmdCancel", QStringLiteral("ｷｬﾝｾﾙ"), Twips::rect(8985, 5460, 1335, 375));

    // The handlers.
    connect(tbsOptions, &QTabBar::currentChanged, this, [this](int i) { handle([&] { model().tbsOptions_Click(i + 1); }); });
    const std::pair<QCheckBox*, bool OptionsDialog::*> plainChecks[] = {
        {chkEnterLyric, &OptionsDialog::chkEnterLyric},
        {chkNoCheckSetLyrics, &OptionsDialog::chkNoCheckSetLyrics},
        {chkExcludeVowelOnSetParam, &OptionsDialog::chkExcludeVowelOnSetParam},
        {chkNonBatchMode, &OptionsDialog::chkNonBatchMode},
        {chkEncPitchDatas, &OptionsDialog::chkEncPitchDatas},
        {chkOldTime, &OptionsDialog::chkOldTime},
        {chkCheckVoiceFile, &OptionsDialog::chkCheckVoiceFile},
        {chkNoOtoReport, &OptionsDialog::chkNoOtoReport},
        {chkDebugMode, &OptionsDialog::chkDebugMode},
        {chkMidiSendNote, &OptionsDialog::chkMidiSendNote},
    };
    for (const auto& [box, field] : plainChecks)
        connect(box, &QCheckBox::clicked, this, [this, field = field](bool c) { handle([&] { model().*field = c; }); });
    const std::pair<QCheckBox*, void (OptionsDialog::*)(bool)> checkHandlers[] = {
        {chkUseDLL, &OptionsDialog::chkUseDLL_Click},
        {chkNoCopyVoiceParam, &OptionsDialog::chkNoCopyVoiceParam_Click},
        {chkCacheTemp, &OptionsDialog::chkCacheTemp_Click},
        {chkVoiceRoot, &OptionsDialog::chkVoiceRoot_Click},
        {chkMidiSendPC, &OptionsDialog::chkMidiSendPC_Click},
    };
    for (const auto& [box, handler] : checkHandlers)
        connect(box, &QCheckBox::clicked, this, [this, handler = handler](bool c) { handle([&] { (model().*handler)(c); }); });
    const std::pair<QRadioButton*, OptionsDialog::CacheOption> options[] = {
        {optCacheNoDelete, OptionsDialog::CacheOption::NoDelete},
        {optCacheDeleteByDate, OptionsDialog::CacheOption::DeleteByDate},
        {optCacheDeleteBySize, OptionsDialog::CacheOption::DeleteBySize},
        {optCacheDeleteOnUnload, OptionsDialog::CacheOption::DeleteOnUnload},
    };
    for (const auto& [o, value] : options)
        connect(o, &QRadioButton::clicked, this, [this, value = value] { handle([&] { model().optCache = value; }); });
    const std::pair<QLineEdit*, QString OptionsDialog::*> texts[] = {
        {txtCacheDeleteDays, &OptionsDialog::txtCacheDeleteDays},
        {txtCacheLimitSize, &OptionsDialog::txtCacheLimitSize},
        {txtTool1Path, &OptionsDialog::txtTool1Path},
        {txtTool2Path, &OptionsDialog::txtTool2Path},
        {txtVoiceParent, &OptionsDialog::txtVoiceParent},
    };
    for (const auto& [e, field] : texts)
        connect(e, &QLineEdit::textEdited, this, [this, field = field](const QString& t) { handle([&] { model().*field = t; }); });
    connect(txtOtoName, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtOtoName_Change(t); }); });
    connect(txtOtoPath, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtOtoPath_Change(t); }); });
    connect(lstOtoList, &QListWidget::currentRowChanged, this, [this](int i) { handle([&] { model().lstOtoList_Click(i); }); });
    connect(cboMidiDev, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboMidiDevIndex = i; }); });
    connect(cboMidiDev, &QComboBox::editTextChanged, this, [this](const QString& t) {
        handle([&] {
            OptionsDialog& m = model();
            m.cboMidiDevIndex = int(m.cboMidiDevItems.indexOf(t));
            m.cboMidiDevText = t;
        });
    });
    connect(cboMidiOutDev, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboMidiOutDevIndex = i; }); });
    connect(cboMidiOutDev, &QComboBox::editTextChanged, this, [this](const QString& t) {
        handle([&] {
            OptionsDialog& m = model();
            m.cboMidiOutDevIndex = int(m.cboMidiOutDevItems.indexOf(t));
            m.cboMidiOutDevText = t;
        });
    });
    connect(cboMidiProgram, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboMidiProgramIndex = i; }); });
    connect(cboSharpFlat, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboSharpFlatIndex = i; }); });
    const std::pair<QPushButton*, void (OptionsDialog::*)()> buttons[] = {
        {cmdExportResource, &OptionsDialog::cmdExportResource_Click},
        {cmdOtoFolder, &OptionsDialog::cmdOtoFolder_Click},
        {cmdOtoAdd, &OptionsDialog::cmdOtoAdd_Click},
        {cmdOtoSet, &OptionsDialog::cmdOtoSet_Click},
        {cmdOtoDelete, &OptionsDialog::cmdOtoDelete_Click},
        {cmdDeleteCache, &OptionsDialog::cmdDeleteCache_Click},
        {cmdBrowsTool1, &OptionsDialog::cmdBrowsTool1_Click},
        {cmdBrowsTool2, &OptionsDialog::cmdBrowsTool2_Click},
        {cmdBrowsVFolder, &OptionsDialog::cmdBrowsVFolder_Click},
        {Command1, &OptionsDialog::Command1_Click},
        {cmdOK, &OptionsDialog::cmdOK_Click},
        {cmdCancel, &OptionsDialog::cmdCancel_Click},
    };
    for (const auto& [b, handler] : buttons)
        connect(b, &QPushButton::clicked, this, [this, handler = handler] { handle([&] { (model().*handler)(); }); });

    finishLoad();
}

void frmOptions::load(int tab) {
    handle([&] { model().Form_Load(tab); });
}

void frmOptions::refreshFromModel() {
    const OptionsDialog& m = model();
    {
        const QSignalBlocker block(tbsOptions);
        tbsOptions->setCurrentIndex(m.SelectedTab - 1);
    }
    for (int i = 0; i < picOptions.size(); ++i) {
        const bool shown = i == m.SelectedTab - 1;
        QWidget* page = picOptions[i];
        page->move(Twips::rect(shown ? kPageLeftTwips : kPageHiddenLeftTwips, kPageTopTwips, 0, 0).topLeft());
        page->setVisible(shown);
    }

    setChecked(chkEnterLyric, m.chkEnterLyric);
    setChecked(chkNoCheckSetLyrics, m.chkNoCheckSetLyrics);
    setChecked(chkNoCopyVoiceParam, m.chkNoCopyVoiceParam);
    setChecked(chkExcludeVowelOnSetParam, m.chkExcludeVowelOnSetParam);
    chkExcludeVowelOnSetParam->setEnabled(m.chkExcludeVowelOnSetParamEnabled);
    setChecked(chkUseDLL, m.chkUseDLL);
    setChecked(chkNonBatchMode, m.chkNonBatchMode);
    chkNonBatchMode->setEnabled(m.chkNonBatchModeEnabled);
    setChecked(chkEncPitchDatas, m.chkEncPitchDatas);
    setChecked(chkOldTime, m.chkOldTime);
    setChecked(chkCheckVoiceFile, m.chkCheckVoiceFile);
    setChecked(chkNoOtoReport, m.chkNoOtoReport);
    setChecked(chkDebugMode, m.chkDebugMode);

    {
        const QSignalBlocker block(lstOtoList);
        QStringList shown;
        for (int i = 0; i < lstOtoList->count(); ++i) shown << lstOtoList->item(i)->text();
        if (shown != m.lstOtoList) {
            lstOtoList->clear();
            lstOtoList->addItems(m.lstOtoList);
        }
        lstOtoList->setCurrentRow(m.lstOtoListIndex);
    }
    setTextKeepingCursor(txtOtoName, m.txtOtoName);
    setTextKeepingCursor(txtOtoPath, m.txtOtoPath);
    cmdOtoAdd->setEnabled(m.cmdOtoAddEnabled);
    cmdOtoSet->setEnabled(m.cmdOtoSetEnabled);
    cmdOtoDelete->setEnabled(m.cmdOtoDeleteEnabled);

    setChecked(chkCacheTemp, m.chkCacheTemp);
    setChecked(optCacheNoDelete, m.optCache == OptionsDialog::CacheOption::NoDelete);
    setChecked(optCacheDeleteByDate, m.optCache == OptionsDialog::CacheOption::DeleteByDate);
    setChecked(optCacheDeleteBySize, m.optCache == OptionsDialog::CacheOption::DeleteBySize);
    setChecked(optCacheDeleteOnUnload, m.optCache == OptionsDialog::CacheOption::DeleteOnUnload);
    setTextKeepingCursor(txtCacheDeleteDays, m.txtCacheDeleteDays);
    setTextKeepingCursor(txtCacheLimitSize, m.txtCacheLimitSize);
    for (QWidget* w : std::initializer_list<QWidget*>{optCacheNoDelete, optCacheDeleteByDate, optCacheDeleteBySize,
                                                      optCacheDeleteOnUnload, txtCacheDeleteDays, txtCacheLimitSize})
        w->setEnabled(m.cacheControlsEnabled);

    setTextKeepingCursor(txtTool1Path, m.txtTool1Path);
    setTextKeepingCursor(txtTool2Path, m.txtTool2Path);
    setChecked(chkVoiceRoot, m.chkVoiceRoot);
    setTextKeepingCursor(txtVoiceParent, m.txtVoiceParent);
    txtVoiceParent->setEnabled(m.txtVoiceParentEnabled);
    cmdBrowsVFolder->setEnabled(m.txtVoiceParentEnabled);

    setItems(cboMidiDev, m.cboMidiDevItems, m.cboMidiDevIndex, m.cboMidiDevText);
    setItems(cboMidiOutDev, m.cboMidiOutDevItems, m.cboMidiOutDevIndex, m.cboMidiOutDevText);
    setChecked(chkMidiSendNote, m.chkMidiSendNote);
    setChecked(chkMidiSendPC, m.chkMidiSendPC);
    setItems(cboMidiProgram, m.cboMidiProgramItems, m.cboMidiProgramIndex);
    cboMidiProgram->setEnabled(m.cboMidiProgramEnabled);
    {
        const QSignalBlocker block(cboSharpFlat);
        cboSharpFlat->setCurrentIndex(m.cboSharpFlatIndex);
    }

    // A refused OK (or an empty box that Add or Set needs) puts the focus into the box.
    if (!m.FocusControl.isEmpty()) {
        if (auto* box = findChild<QWidget*>(m.FocusControl)) box->setFocus(Qt::OtherFocusReason);
        model().FocusControl.clear();
    }
}

void frmOptions::keyPressEvent(QKeyEvent* event) {
    // Ctrl+Tab (and no other shift key) shows the next tab.
    if (event->key() == Qt::Key_Tab && event->modifiers() == Qt::ControlModifier) {
        handle([&] { model().Form_KeyDown_CtrlTab(); });
        return;
    }
    ModelDialog::keyPressEvent(event);
}

bool frmOptions::ShowDialog(int tab, QWidget* owner, VoiceBankAccess& voices, std::function<QString()> cacheFolder) {
    frmOptions form(voices, std::move(cacheFolder), owner);
    form.load(tab);
    return form.showModal();
}

}  // namespace tova
