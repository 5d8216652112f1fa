#include "mainwindow/ui/Form3.h"

#include "core/CaptionFiles.h"
#include "core/MessageTable.h"
#include "core/ui/QuietText.h"
#include "core/ui/Twips.h"
#include "core/ui/WidgetWindow.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPushButton>
#include <QSignalBlocker>

namespace tova {
namespace {

constexpr int kWidthTwips = 6600;
constexpr int kHeightTwips = 4680;

void setRed(QWidget* w, QPalette::ColorRole role, bool red) {
    QPalette p = w->palette();
    p.setColor(role, red ? QColor(255, 0, 0) : QColor(0, 0, 0));
    w->setPalette(p);
}

}  // namespace

Form3::Form3(VoiceBankAccess& voices, VoiceToolsPort* profile, OptionsDialogPort* options, QWidget* owner)
    : ModelDialogOf(QStringLiteral("Form3"), QStringLiteral("プロジェクトの設定"), owner, voices, profile, options) {
    model().owner = this;

    menuBar = new QMenuBar(this);
    mnFile = menuBar->addMenu(QStringLiteral("原音(&G)"));
    mnFile->setObjectName(QStringLiteral("mnFile"));
    mnGen = mnFile->addMenu(QStringLiteral("選択(&S)"));
    mnGen->setObjectName(QStringLiteral("mnGen"));
    mnSetDefault = new QAction(QStringLiteral("デフォルトに設定(&D)"), this);
    mnSetDefault->setObjectName(QStringLiteral("mnSetDefault"));
    mnVOpen = new QAction(QStringLiteral("voiceフォルダを開く(&V)"), this);
    mnVOpen->setObjectName(QStringLiteral("mnVOpen"));
    mnSetting = new QAction(QStringLiteral("その他原音登録(&R)..."), this);
    mnSetting->setObjectName(QStringLiteral("mnSetting"));
    mnReloadList = new QAction(QStringLiteral("音源リストリロード(&L)"), this);
    mnReloadList->setObjectName(QStringLiteral("mnReloadList"));
    // The fixed items belong to the form: rebuilding the bank entries empties the menu.
    rebuildVoiceMenu();

    const int top = menuBar->sizeHint().height();
    menuBar->setGeometry(0, 0, kWidthTwips / Twips::PerPixel, top);
    setFixedSize(kWidthTwips / Twips::PerPixel, kHeightTwips / Twips::PerPixel + top);
    auto* body = new QWidget(this);
    body->setGeometry(0, top, kWidthTwips / Twips::PerPixel, kHeightTwips / Twips::PerPixel);

    auto label = [body](const char* name, const QString& caption, QRect r) {
        auto* l = new QLabel(caption, body);
        l->setObjectName(QString::fromLatin1(name));
        l->setGeometry(r);
        return l;
    };
    auto edit = [body](const char* name, QRect r) {
        auto* e = new QLineEdit(body);
        e->setObjectName(QString::fromLatin1(name));
        e->setGeometry(r);
        return e;
    };
    auto button = [body](const char* name, const QString& caption, QRect r) {
        auto* b = new QPushButton(caption, body);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        return b;
    };

    Label1 = label("Label1", QStringLiteral("プロジェクト名"), Twips::rect(120, 180, 1800, 255));
    txtProjectName = edit("txtProjectName", Twips::rect(2040, 120, 4335, 330));
    Label2 = label("Label2", QStringLiteral("出力wavファイル名"), Twips::rect(120, 600, 1800, 255));
    txtOutputWavName = edit("txtOutputWavName", Twips::rect(2040, 540, 4335, 330));
    Label3 = label("Label3", QStringLiteral("原音ファイルセット"), Twips::rect(120, 1020, 1800, 255));
    cboVoiceName = new QComboBox(body);
    cboVoiceName->setObjectName(QStringLiteral("cboVoiceName"));
    cboVoiceName->setGeometry(Twips::rect(2040, 960, 3000, 330));
    cboVoiceName->setEditable(false);
    cmdBrowsOtoDir = button("cmdBrowsOtoDir", QStringLiteral("..."), Twips::rect(5100, 960, 495, 330));
    cmdInfo = button("cmdInfo", QStringLiteral("info"), Twips::rect(5640, 960, 735, 330));
    lbOtoFolder = label("lbOtoFolder", QString(), Twips::rect(2040, 1350, 4335, 255));
    lbOtoFolder->installEventFilter(this);
    Label4 = label("Label4", QStringLiteral("ツール１ (append)"), Twips::rect(120, 1800, 1800, 255));
    txtTool1Path = edit("txtTool1Path", Twips::rect(2040, 1740, 3795, 330));
    cmdBrowsTool1 = button("cmdBrowsTool1", QStringLiteral("..."), Twips::rect(5880, 1740, 495, 330));
    Label5 = label("Label5", QStringLiteral("ツール２ (resample)"), Twips::rect(120, 2220, 1800, 255));
    txtTool2Path = edit("txtTool2Path", Twips::rect(2040, 2160, 3795, 330));
    cmdBrowsTool2 = button("cmdBrowsTool2", QStringLiteral("..."), Twips::rect(5880, 2160, 495, 330));
    cmdDefault = button("cmdDefault", QStringLiteral("ツールを初期化"), Twips::rect(2040, 2580, 1800, 375));
    // Names the library file that in-process rendering loads here.
    chkUseReamplerDll = new QCheckBox(QStringLiteral("vorsa10.soを使用する（プロジェクトには保存されません）"), body);
    chkUseReamplerDll->setObjectName(QStringLiteral("chkUseReamplerDll"));
    chkUseReamplerDll->setGeometry(Twips::rect(120, 3030, 6255, 300));
    Label6 = label("Label6", QStringLiteral("生成時オプション"), Twips::rect(120, 3480, 1800, 255));
    txtFlags = edit("txtFlags", Twips::rect(2040, 3420, 4335, 330));
    cmdDeleteCache = button("cmdDeleteCache", QStringLiteral("キャッシュを削除"), Twips::rect(120, 4080, 1800, 375));
    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(3480, 4080, 1335, 375));
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("キャンセル"), Twips::rect(4920, 4080, 1455, 375));

    connect(txtProjectName, &QLineEdit::textEdited, this,
            [this](const QString& t) { handle([&] { model().txtProjectName = t; }); });
    connect(txtOutputWavName, &QLineEdit::textEdited, this,
            [this](const QString& t) { handle([&] { model().txtOutputWavName = t; }); });
    connect(txtFlags, &QLineEdit::textEdited, this, [this](const QString& t) { handle([&] { model().txtFlags = t; }); });
    connect(txtTool1Path, &QLineEdit::textEdited, this,
            [this](const QString& t) { handle([&] { model().txtTool1Path_Change(t); }); });
    connect(txtTool2Path, &QLineEdit::textEdited, this,
            [this](const QString& t) { handle([&] { model().txtTool2Path_Change(t); }); });
    connect(cboVoiceName, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboVoiceName_Click(i); }); });
    connect(chkUseReamplerDll, &QCheckBox::clicked, this,
            [this](bool c) { handle([&] { model().chkUseReamplerDll_Click(c); }); });
    const std::pair<QPushButton*, void (ProjectSettingsDialog::*)()> buttons[] = {
        {cmdBrowsOtoDir, &ProjectSettingsDialog::cmdBrowsOtoDir_Click},
        {cmdInfo, &ProjectSettingsDialog::cmdInfo_Click},
        {cmdBrowsTool1, &ProjectSettingsDialog::cmdBrowsTool1_Click},
        {cmdBrowsTool2, &ProjectSettingsDialog::cmdBrowsTool2_Click},
        {cmdDefault, &ProjectSettingsDialog::cmdDefault_Click},
        {cmdDeleteCache, &ProjectSettingsDialog::cmdDeleteCache_Click},
        {cmdOK, &ProjectSettingsDialog::cmdOK_Click},
        {cmdCancel, &ProjectSettingsDialog::cmdCancel_Click},
    };
    for (const auto& [b, handler] : buttons)
        connect(b, &QPushButton::clicked, this, [this, handler = handler] { handle([&] { (model().*handler)(); }); });
    const std::pair<QAction*, void (ProjectSettingsDialog::*)()> items[] = {
        {mnSetDefault, &ProjectSettingsDialog::mnSetDefault_Click},
        {mnVOpen, &ProjectSettingsDialog::mnVOpen_Click},
        {mnSetting, &ProjectSettingsDialog::mnSetting_Click},
        {mnReloadList, &ProjectSettingsDialog::mnReloadList_Click},
    };
    for (const auto& [a, handler] : items)
        connect(a, &QAction::triggered, this, [this, handler = handler] { handle([&] { (model().*handler)(); }); });

    finishLoad();
}

void Form3::rebuildVoiceMenu() {
    const QStringList captions = model().mnVoiceCaptions;
    if (!voiceMenuBuilt_ || captions != shownVoiceMenu_) {
        mnGen->clear();
        if (captions.isEmpty()) {
            auto* none = new QAction(QStringLiteral("（なし）"), mnGen);
            none->setObjectName(QStringLiteral("mnVoice"));
            none->setProperty("index", 0);
            none->setEnabled(false);
            mnGen->addAction(none);
        }
        for (int i = 0; i < captions.size(); ++i) {
            auto* entry = new QAction(captions[i], mnGen);
            entry->setObjectName(QStringLiteral("mnVoice"));
            entry->setProperty("index", i);
            entry->setCheckable(true);
            connect(entry, &QAction::triggered, this, [this, i] { handle([&] { model().mnVoice_Click(i); }); });
            mnGen->addAction(entry);
        }
        mnGen->addSeparator();
        mnGen->addAction(mnSetDefault);
        mnGen->addSeparator();
        mnGen->addAction(mnVOpen);
        mnGen->addAction(mnSetting);
        mnGen->addSeparator();
        mnGen->addAction(mnReloadList);
        shownVoiceMenu_ = captions;
        voiceMenuBuilt_ = true;
    }
    for (QAction* a : mnGen->actions())
        if (a->objectName() == u"mnVoice" && a->isCheckable()) a->setChecked(a->property("index").toInt() == model().mnVoiceChecked);
}

void Form3::refreshFromModel() {
    setTextKeepingCursor(txtProjectName, model().txtProjectName);
    setTextKeepingCursor(txtOutputWavName, model().txtOutputWavName);
    setTextKeepingCursor(txtFlags, model().txtFlags);
    setTextKeepingCursor(txtTool1Path, model().txtTool1Path);
    setTextKeepingCursor(txtTool2Path, model().txtTool2Path);
    setRed(txtTool1Path, QPalette::Text, model().txtTool1PathRed);
    setRed(txtTool2Path, QPalette::Text, model().txtTool2PathRed);
    lbOtoFolder->setText(model().lbOtoFolder);
    setRed(lbOtoFolder, QPalette::WindowText, model().lbOtoFolderRed);
    {
        const QSignalBlocker block(cboVoiceName);
        QStringList shown;
        for (int i = 0; i < cboVoiceName->count(); ++i) shown << cboVoiceName->itemText(i);
        if (shown != model().cboVoiceNameItems) {
            cboVoiceName->clear();
            cboVoiceName->addItems(model().cboVoiceNameItems);
        }
        cboVoiceName->setCurrentIndex(model().cboVoiceNameIndex);
    }
    {
        const QSignalBlocker block(chkUseReamplerDll);
        chkUseReamplerDll->setChecked(model().chkUseReamplerDll);
    }
    for (QWidget* w : std::initializer_list<QWidget*>{txtTool1Path, txtTool2Path, cmdBrowsTool1, cmdBrowsTool2, cmdDefault,
                                                      Label4, Label5})
        w->setEnabled(model().toolControlsEnabled);
    cmdDeleteCache->setEnabled(model().cmdDeleteCacheEnabled);
    rebuildVoiceMenu();
}

bool Form3::eventFilter(QObject* watched, QEvent* event) {
    if (watched == lbOtoFolder && event->type() == QEvent::MouseButtonRelease) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        EventGuard::runHandler([&] { Ports::popupMenu().popup(mnGen, at); });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void Form3::load(const ProjectSettingsValues& values) {
    handle([&] { model().Form_Load(values); });
}

bool Form3::ShowDialog(ProjectSettingsValues& values, QWidget* owner, VoiceBankAccess& voices, VoiceToolsPort* profile,
                       OptionsDialogPort* options) {
    Form3 form(voices, profile, options, owner);
    form.load(values);
    const bool ok = form.showModal();
    if (ok) EventGuard::runHandler([&] { form.model().ApplyResult(values); });
    return ok;
}

}  // namespace tova
