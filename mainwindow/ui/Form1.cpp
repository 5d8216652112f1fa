#include "mainwindow/ui/Form1.h"

#include "core/WindowRegistry.h"
#include "core/ui/CaptionFit.h"
#include "core/ui/Twips.h"
#include "commands/NotAvailable.h"
#include "mainwindow/MainWindowCommands.h"
#include "mainwindow/MenuTree.h"
#include "commands/NoteEditPort.h"
#include "mainwindow/PlaybackPort.h"
#include "render/ui/frmOtoReport.h"
#include "mainwindow/ui/Dialog.h"
#include "mainwindow/ui/PictureBox.h"
#include "mainwindow/ui/RenderBinding.h"
#include "render/PlaybackCommands.h"
#include "render/RenderCommands.h"
#include "mainwindow/ui/ToolIcons.h"
#include "mainwindow/ui/frmSplash.h"
#include "platform/EventGuard.h"
#include "platform/FileSystem.h"
#include "platform/Ports.h"
#include "core/ui/WidgetPlacement.h"
#include "core/ui/frmEditBox.h"
#include "core/Settings.h"

#include <QFrame>
#include <QKeyEvent>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCloseEvent>
#include <QCursor>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QRadioButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>

#include <cmath>

namespace tova {

namespace {

int px(double twips) { return int(std::floor(twips / 15.0)); }

QRect pxRect(const TwipRect& r) { return QRect(px(r.left), px(r.top), px(r.width), px(r.height)); }

QPushButton* addButton(QWidget* parent, const QString& name, const QString& tip, int left, int top, int w = 375,
                       int h = 315) {
    auto* b = new QPushButton(parent);
    b->setObjectName(name);
    b->setToolTip(tip);
    b->setIcon(ToolIcons::icon(name));
    b->setGeometry(Twips::rect(left, top, w, h));
    b->setFocusPolicy(Qt::NoFocus);
    return b;
}

// A check box drawn as a toggle button (its caption or picture in a frame that looks pressed when checked).
QCheckBox* addToggle(QWidget* parent, const QString& name, const QString& caption, const QString& tip, int left,
                     int top, int w = 375, int h = 315) {
    auto* c = new QCheckBox(caption, parent);
    c->setObjectName(name);
    c->setToolTip(tip);
    if (caption.isEmpty()) c->setIcon(ToolIcons::icon(name));
    c->setGeometry(Twips::rect(left, top, w, h));
    c->setFocusPolicy(Qt::NoFocus);
    c->setStyleSheet(QStringLiteral(
        "QCheckBox { border: 1px solid #8a94a6; border-radius: 2px; background: #f4f6fa; padding-left: 1px; spacing: 0px; }"
        "QCheckBox:checked { background: #b9c8e4; border-color: #3d5a99; }"
        "QCheckBox:disabled { color: #9aa0aa; }"
        "QCheckBox::indicator { width: 0px; height: 0px; }"));
    return c;
}

QLabel* addLabel(QWidget* parent, const QString& name, const QString& caption, int left, int top, int w = 600,
                 int h = 240) {
    auto* l = new QLabel(caption, parent);
    l->setObjectName(name);
    l->setGeometry(Twips::rect(left, top, w, h));
    return l;
}

}  // namespace

// ---------------------------------------------------------------------------------------------------

Form1::Form1(const MainWindowPorts& ports, QWidget* parent) : QMainWindow(parent), window_(this) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("ＴＯＶＡ"));
    placement_ = std::make_unique<WidgetPlacement>(this);

    central_ = new QWidget(this);
    central_->setObjectName(QString());
    QFont small = central_->font();
    small.setPixelSize(11);
    central_->setFont(small);
    setCentralWidget(central_);
    buildToolBand(central_);
    buildSongArea(central_);
    buildRollControls();
    buildMenus();
    buildStatusBar();

    // Hidden helpers other procedures use: the sorting list of the cache clean-up and the receivers of
    // the MIDI devices' messages.
    auto* lstSort = new QListWidget(central_);
    lstSort->setObjectName(QStringLiteral("lstSort"));
    lstSort->setSortingEnabled(true);
    lstSort->hide();
    for (const char* name : {"txtMidiCallback1", "txtMidiCallback2"}) {
        auto* t = new QLineEdit(central_);
        t->setObjectName(QString::fromLatin1(name));
        t->hide();
    }
    tmrPlaying_ = new QTimer(this);
    tmrPlaying_->setObjectName(QStringLiteral("tmrPlaying"));
    tmrPlaying_->setInterval(32);
    tmrMidiNote_ = new QTimer(this);
    tmrMidiNote_->setObjectName(QStringLiteral("tmrMidiNote"));

    logic_ = std::make_unique<MainWindow>(*this, ports);
    render_ = std::make_unique<RenderBinding>(*this, *logic_, ports.mci);
    if (!logic_->ports().playback) logic_->ports().playback = render_.get();
    logic_->ports().rendering = &render_->commands();
    logic_->ports().playing = &render_->playback();
    logic_->ports().progress = &render_->Progress();
    wireHandlers();
    wireRollInput();
    central_->installEventFilter(this);
    resize(Twips::size(14160, 8700));
    fitToolBand();
    WindowRegistry::add(&window_);
    setOtoLoadHost(this);
}

Form1::~Form1() {
    if (otoLoadHost() == this) setOtoLoadHost(nullptr);
    WindowRegistry::remove(&window_);
    if (splash_) delete splash_.data();
    render_.reset();
    logic_.reset();
}

void Form1::fitToolBand() {
    // The tool band's captions and list entries at the font in use. The client area gets its size only
    // when the window is first shown: the fit sees it at least at the design size.
    const QSize design = Twips::size(14160, 8700);
    central_->resize(std::max(central_->width(), design.width()), std::max(central_->height(), design.height()));
    CaptionFit::apply(central_);
}

bool Form1::start(const QString& commandLine) {
    MainWindow::StartResult result = MainWindow::StartResult::Run;
    // Start-up traps its own failures unless DebugMode is on; the guard catches what is left.
    EventGuard::runHandler([&] { result = logic_->Form_Load(commandLine); });
    if (result == MainWindow::StartResult::EndProgram) return false;
    fitToolBand();
    // The playback timer starts with a play (SetPlayTimerEnabled): idle, nothing wakes the window.
    return true;
}

void Form1::buildToolBand(QWidget* band) {
    auto* Image2 = new QLabel(band);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(ToolIcons::bandPicture());
    Image2->setScaledContents(true);
    Image2->setGeometry(Twips::rect(0, 0, 14040, 780));

    auto* Image1 = new QLabel(band);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(60, 60, 675, 675));
    Image1->setFrameShape(QFrame::Box);
    Image1->setScaledContents(true);
    Image1->setStyleSheet(QStringLiteral("QLabel { background: #fdfdfd; border: 1px solid #8a94a6; }"));
    Image1->installEventFilter(this);

    // Top row.
    addLabel(band, QStringLiteral("Label1"), QStringLiteral("Tempo"), 840, 120);
    auto* txtTempo = new QLineEdit(band);
    txtTempo->setObjectName(QStringLiteral("txtTempo"));
    txtTempo->setGeometry(Twips::rect(1440, 60, 615, 300));
    txtTempo->setReadOnly(true);
    txtTempo->setFocusPolicy(Qt::NoFocus);
    txtTempo->setStyleSheet(QStringLiteral("QLineEdit { padding: 0px; }"));
    txtTempo->setProperty("widestText", QStringLiteral("000.00"));  // tempos are shown with two decimals
    addLabel(band, QStringLiteral("Label2"), QStringLiteral("Quantize"), 2100, 120, 720);
    auto* cmbQuntize = new QComboBox(band);
    cmbQuntize->setObjectName(QStringLiteral("cmbQuntize"));
    cmbQuntize->setGeometry(Twips::rect(2820, 60, 1455, 300));
    const struct { const char16_t* caption; int ticks; } snaps[] = {
        {u"L64 64分音符", 120}, {u"L48 3連32分", 160}, {u"L32 32分音符", 240}, {u"L24 3連16分", 320},
        {u"L16 16分音符", 480}, {u"L12 3連8分", 640}, {u"L8  8分音符", 960}, {u"L6  3連4分", 1280},
        {u"L4  4分音符", 1920}, {u"（なし）", 0}, {u"L192 (10 Ticks)", 40}, {u"L128 (15 Ticks)", 60},
        {u"L96 (20 Ticks)", 80},
    };
    for (const auto& s : snaps) cmbQuntize->addItem(QString::fromUtf16(s.caption), s.ticks);
    addLabel(band, QStringLiteral("Label3"), QStringLiteral("Length"), 4320, 120, 540);
    auto* Combo1 = new QComboBox(band);
    Combo1->setObjectName(QStringLiteral("Combo1"));
    Combo1->setGeometry(Twips::rect(4860, 60, 1455, 300));
    const struct { const char16_t* caption; int ticks; } lengths[] = {
        {u"L2  ２分音符", 3840}, {u"L3  ３連２分", 2560}, {u"L4  ４分音符", 1920}, {u"L6  ３連４分", 1280},
        {u"L8  ８分音符", 960}, {u"L12 ３連８分", 640}, {u"L16 16分音符", 480}, {u"L24 ３連16分", 320},
        {u"L32 32分音符", 240}, {u"L48 ３連32分", 160}, {u"L64 64分音符", 120},
    };
    for (const auto& l : lengths) Combo1->addItem(QString::fromUtf16(l.caption), l.ticks);

    for (int i = 0; i < 2; ++i) {
        auto* o = new QRadioButton(band);
        o->setObjectName(QStringLiteral("optMode"));
        o->setProperty("index", i);
        o->setIcon(ToolIcons::icon(QStringLiteral("optMode%1").arg(i)));
        o->setToolTip(i == 0 ? QStringLiteral("選択ツール") : QStringLiteral("描画ツール"));
        o->setGeometry(Twips::rect(i == 0 ? 6420 : 6840, 60, 375, 315));
        o->setFocusPolicy(Qt::NoFocus);
        o->setStyleSheet(QStringLiteral(
            "QRadioButton { border: 1px solid #8a94a6; border-radius: 2px; background: #f4f6fa; padding-left: 2px; }"
            "QRadioButton:checked { background: #b9c8e4; border-color: #3d5a99; }"
            "QRadioButton::indicator { width: 0px; height: 0px; }"));
        if (i == 0) o->setChecked(true);
    }
    addButton(band, QStringLiteral("cmdZoomIn"), QStringLiteral("拡大"), 7440, 60);
    addButton(band, QStringLiteral("cmdZoomOut"), QStringLiteral("縮小"), 7860, 60);
    addButton(band, QStringLiteral("cmdGoTop"), QStringLiteral("先頭へ移動"), 8400, 60);
    addButton(band, QStringLiteral("cmdGoEnd"), QStringLiteral("最後へ移動"), 8820, 60);
    addButton(band, QStringLiteral("cmdNoteTop"), QStringLiteral("先頭の音符へ移動"), 9240, 60);
    addButton(band, QStringLiteral("cmdNoteLast"), QStringLiteral("最後の音符へ移動"), 9660, 60);
    addToggle(band, QStringLiteral("chkAutoPitchMode2"), QStringLiteral("Mode2"), QStringLiteral("自動ピッチモードを切り替えます"),
              10140, 60, 735);
    addToggle(band, QStringLiteral("chkTraceMode"), QStringLiteral("Trace"), QStringLiteral("トレースモード"), 10920, 60, 675)
        ->hide();
    auto* cmdRender = new QPushButton(QStringLiteral("Render"), band);
    cmdRender->setObjectName(QStringLiteral("cmdRender"));
    cmdRender->setToolTip(QStringLiteral("ピッチ曲線をレンダリングします"));
    cmdRender->setGeometry(Twips::rect(11640, 60, 735, 315));
    cmdRender->setFocusPolicy(Qt::NoFocus);
    cmdRender->hide();

    // Second row.
    addLabel(band, QStringLiteral("Label4"), QStringLiteral("Lyric"), 840, 480);
    auto* Text2 = new QLineEdit(band);
    Text2->setObjectName(QStringLiteral("Text2"));
    Text2->setToolTip(QStringLiteral("歌詞入力欄"));
    Text2->setGeometry(Twips::rect(1440, 420, 4935, 300));
    addButton(band, QStringLiteral("cmdLyricRepl"), QStringLiteral("歌詞を置換"), 6420, 420);
    addButton(band, QStringLiteral("cmdLyricIns"), QStringLiteral("歌詞で挿入"), 6840, 420);
    addButton(band, QStringLiteral("cmdInsR"), QStringLiteral("Rを挿入"), 7260, 420);
    addButton(band, QStringLiteral("btnPlay"), QStringLiteral("選択部分を再生"), 7920, 420);
    addButton(band, QStringLiteral("btnPause"), QStringLiteral("一時停止"), 8340, 420);
    addButton(band, QStringLiteral("btnStop"), QStringLiteral("停止"), 8760, 420);
    addLabel(band, QStringLiteral("Label5"), QStringLiteral("MIDI"), 9420, 480, 480);
    addToggle(band, QStringLiteral("chkMidiIn"), QString(), QStringLiteral("MIDI音符入力"), 9900, 420)->setEnabled(false);
    addToggle(band, QStringLiteral("chkMidiCnn"), QString(), QStringLiteral("MIDI IN 接続"), 10320, 420);
    addToggle(band, QStringLiteral("chkMidiMon"), QString(), QStringLiteral("MIDI OUT モニタ"), 10740, 420);
    addToggle(band, QStringLiteral("chkSyncScroll"), QString(), QStringLiteral("Auto Scroll with MTC or MIDI Clock"), 11280, 420)
        ->setEnabled(false);
    addButton(band, QStringLiteral("cmdAcceptAutoCorrect"), QStringLiteral("パラメータ自動調整を適用"), 11880, 420, 315, 315);
    addButton(band, QStringLiteral("cmdCrossFadeEnv"), QStringLiteral("クロスフェードのエンベロープをp2とp3で設定"), 12240, 420,
              315, 315);
    addButton(band, QStringLiteral("cmdCrossFadeEnv2"), QStringLiteral("クロスフェードのエンベロープをp1とp4で設定"), 12600, 420,
              315, 315);
    addButton(band, QStringLiteral("cmdCorrectCrossFade"), QStringLiteral("クロスフェード最適化"), 12960, 420, 315, 315);
    addButton(band, QStringLiteral("cmdResetEnvelop"), QStringLiteral("選択範囲のエンベロープをリセットします"), 13320, 420, 315,
              315);
}

void Form1::buildSongArea(QWidget* area) {
    const WindowLayout design;
    auto* lblVoice = new QLabel(QStringLiteral("デフォルト"), area);
    lblVoice->setObjectName(QStringLiteral("lblVoice"));
    lblVoice->setGeometry(pxRect(design.lblVoice));
    lblVoice->setAlignment(Qt::AlignCenter);
    lblVoice->setStyleSheet(QStringLiteral("QLabel { background: #e8ecf3; border: 1px solid #b4bccb; }"));

    Picture4_ = new PictureBox(area);
    Picture4_->setObjectName(QStringLiteral("Picture4"));
    Picture4_->setGeometry(pxRect(design.Picture4));
    Picture3_ = new PictureBox(area);
    Picture3_->setObjectName(QStringLiteral("Picture3"));
    Picture3_->setGeometry(pxRect(design.Picture3));
    Picture2_ = new PictureBox(area);
    Picture2_->setObjectName(QStringLiteral("Picture2"));
    Picture2_->setGeometry(pxRect(design.Picture2));

    auto* lblTone = new QLabel(Picture3_);
    lblTone->setObjectName(QStringLiteral("lblTone"));
    lblTone->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblTone->setStyleSheet(QStringLiteral("QLabel { background: #ffffe0; color: black; }"));
    lblTone->hide();

    Line3_ = new QWidget(Picture2_);
    Line3_->setObjectName(QStringLiteral("Line3"));
    Line3_->setStyleSheet(QStringLiteral("background: #e03030;"));
    Line3_->setGeometry(0, 0, 1, px(design.Line3Y2));
    Line3_->hide();

    VScroll1_ = new QScrollBar(Qt::Vertical, area);
    VScroll1_->setObjectName(QStringLiteral("VScroll1"));
    VScroll1_->setGeometry(pxRect(design.VScroll1));
    HScroll1_ = new QScrollBar(Qt::Horizontal, area);
    HScroll1_->setObjectName(QStringLiteral("HScroll1"));
    HScroll1_->setGeometry(pxRect(design.HScroll1));
    setScrollBar(QStringLiteral("VScroll1"), logic_ ? logic_->VScroll1 : ScrollBarState{1, 0, 1, 12, 1});
    setScrollBar(QStringLiteral("HScroll1"), ScrollBarState{0, 0, 0, 4, 1});

    auto* small = new QPushButton(QStringLiteral("-"), area);
    small->setObjectName(QStringLiteral("cmdHeightSmall"));
    small->setGeometry(pxRect(design.cmdHeightSmall));
    small->setFocusPolicy(Qt::NoFocus);
    auto* large = new QPushButton(QStringLiteral("+"), area);
    large->setObjectName(QStringLiteral("cmdHeightLarge"));
    large->setGeometry(pxRect(design.cmdHeightLarge));
    large->setFocusPolicy(Qt::NoFocus);
    addToggle(area, QStringLiteral("chkView"), QStringLiteral("P"), QString(), int(design.chkView.left),
              int(design.chkView.top), 255, 255);
    addToggle(area, QStringLiteral("chkCurve"), QStringLiteral("～"), QString(), int(design.chkCurve.left),
              int(design.chkCurve.top), 255, 255);
}

void Form1::buildMenus() {
    QHash<QString, QMenu*> menus;
    for (const MenuEntry& e : MenuTree::entries()) {
        if (e.isTopLevel()) {
            auto* m = new QMenu(e.caption, this);
            m->setObjectName(e.name);
            if (!e.hidden) menuBar()->addMenu(m);
            menus.insert(e.name, m);
            continue;
        }
        QMenu* parent = menus.value(e.parent);
        if (e.submenu) {
            auto* m = new QMenu(e.caption, parent);
            m->setObjectName(e.name);
            parent->addMenu(m);
            m->menuAction()->setEnabled(!e.disabled);
            m->menuAction()->setVisible(!e.hidden);
            menus.insert(e.name, m);
            continue;
        }
        auto* a = new QAction(parent);
        a->setObjectName(e.name);
        // A separator carries no text: a style may draw a separator's text beside its line.
        if (e.isSeparator()) a->setSeparator(true);
        else a->setText(e.caption);
        if (!e.shortcut.isEmpty()) a->setShortcut(QKeySequence(e.shortcut, QKeySequence::PortableText));
        a->setEnabled(!e.disabled);
        a->setVisible(!e.hidden);
        if (e.arrayElement) a->setProperty("index", 0);
        parent->addAction(a);
    }
    for (const char* name : {"mnMeasure4", "mnMeasure3", "mnShowCurve", "mnCurve0", "mnCurve1", "mnCurve2", "mnCurve3"})
        controlAs<QAction>(QString::fromLatin1(name))->setCheckable(true);
}

void Form1::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    bar->setSizeGripEnabled(true);
    const int widths[4] = {150, 150, 260, 40};
    for (int i = 0; i < 4; ++i) {
        panels_[i] = new QLabel(bar);
        panels_[i]->setObjectName(QString());
        panels_[i]->setMinimumWidth(widths[i]);
        panels_[i]->setFrameShape(QFrame::StyledPanel);
        bar->addPermanentWidget(panels_[i], i == 2 ? 1 : 0);
    }
}

// ---------------------------------------------------------------------------------------------------
// Handlers

void Form1::handle(const std::function<void()>& handler) { EventGuard::runHandler(handler); }

namespace {
// The feature a control stands for, as the not-available message names it: a menu item's caption
// without its access key and dots, a button's tool tip.
QString featureOf(QObject* o, const QString& name) {
    QString text;
    if (auto* a = qobject_cast<QAction*>(o)) text = a->text();
    else if (auto* w = qobject_cast<QWidget*>(o)) text = w->toolTip();
    if (text.isEmpty())
        if (auto* b = qobject_cast<QAbstractButton*>(o)) text = b->text();
    static const QRegularExpression accessKey(QStringLiteral("\\(&.\\)|&|\\.\\.\\.$|…$"));
    text = text.remove(accessKey).trimmed();
    return text.isEmpty() ? name : text;
}
}  // namespace

void Form1::runCommand(const QString& control, int index, QObject* source) {
    handle([&] {
        if (!registry_.run(control, *logic_, index)) ReportNotAvailable(featureOf(source, control));
    });
    refreshCommandStates();
}

void Form1::refreshCommandStates() {
    for (const QString& name : registry_.names()) {
        if (!registry_.hasPredicate(name)) continue;
        bool on = true;
        if (!EventGuard::runHandler([&] { on = registry_.enabled(name, *logic_); })) continue;
        setEnabled(name, on);
        for (const QString& alias : registry_.aliases())
            if (registry_.resolve(alias) == name) setEnabled(alias, on);
    }
}

void Form1::connectMenuItem(QAction* a) {
    // Elements of a control array may start as separators and become items later.
    if (!a || a->menu() || a->objectName().isEmpty()) return;
    connect(a, &QAction::triggered, this, [this, a](bool checked) {
        if (a->isSeparator()) return;
        if (a->isCheckable()) {
            // The command decides the check mark from its state before the click.
            QSignalBlocker block(a);
            a->setChecked(!checked);
        }
        const QVariant index = a->property("index");
        runCommand(a->objectName(), index.isValid() ? index.toInt() : -1, a);
    });
}

void Form1::connectToolBand(QAbstractButton* b) {
    const QString name = b->objectName();
    // Toolbar buttons give the roll the keyboard focus after their command; switches and the reset of
    // envelopes do not.
    const bool focusRoll = qobject_cast<QPushButton*>(b) && name != u"cmdResetEnvelop";
    connect(b, &QAbstractButton::clicked, this, [this, b, name, focusRoll] {
        const QVariant index = b->property("index");
        runCommand(name, index.isValid() ? index.toInt() : -1, b);
        if (focusRoll) Picture2_->setFocus();
    });
}

QStringList Form1::commandControls() const {
    QStringList names;
    for (QAction* a : findChildren<QAction*>())
        if (!a->isSeparator() && !a->menu() && !a->objectName().isEmpty() && !names.contains(a->objectName()))
            names << a->objectName();
    for (QAbstractButton* b : central_->findChildren<QAbstractButton*>())
        if (!b->objectName().isEmpty() && !names.contains(b->objectName())) names << b->objectName();
    return names;
}

void Form1::onScrollBar(QScrollBar* bar, ScrollBarState MainWindow::*state, void (MainWindow::*change)()) {
    connect(bar, &QScrollBar::valueChanged, this, [this, state, change](int v) {
        MainWindow& w = *logic_;
        if ((w.*state).Value == v) return;
        (w.*state).Value = v;
        handle([&w, change] { (w.*change)(); });
    });
}

void Form1::closeEvent(QCloseEvent* event) {
    MainWindow* w = logic_.get();
    bool keep = false;
    if (ProjectFilesPort* files = w->ports().projectFiles) handle([&] { keep = files->Form_Unload(*w); });
    if (keep)
        event->ignore();
    else
        event->accept();
}

void Form1::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void Form1::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) files << url.toLocalFile();
    if (files.isEmpty()) return;
    event->acceptProposedAction();
    FilesDropped(files);
}

void Form1::FilesDropped(const QStringList& files) {
    MainWindow* w = logic_.get();
    ProjectFilesPort* port = w->ports().projectFiles;
    if (!port) return;
    // A failure leaves the state reached so far; the window is usable again in any case.
    if (!EventGuard::runHandler([&] { port->Form_OLEDragDrop(*w, files); })) setEnabled(QStringLiteral("Form1"), true);
}

void Form1::wireHandlers() {
    MainWindow* w = logic_.get();
    onScrollBar(HScroll1_, &MainWindow::HScroll1, &MainWindow::HScroll1_Change);
    onScrollBar(VScroll1_, &MainWindow::VScroll1, &MainWindow::VScroll1_Change);

    // Every command through the registry: each menu item of the tree, each control of the tool band.
    registerProgramCommands(registry_);
    // Quit ends the program once the unload has completed.
    registry_.add(QStringLiteral("mnQuit"), [this](EditContext&) {
        if (close()) QCoreApplication::quit();
    });
    for (QAction* a : findChildren<QAction*>()) connectMenuItem(a);
    for (QMenu* m : findChildren<QMenu*>()) connect(m, &QMenu::aboutToShow, this, [this] { refreshCommandStates(); });
    for (QAbstractButton* b : central_->findChildren<QAbstractButton*>())
        if (!b->objectName().isEmpty()) connectToolBand(b);
    if (auto* c = controlAs<QComboBox>(QStringLiteral("Combo1")))
        connect(c, &QComboBox::activated, this, [this, c] { runCommand(QStringLiteral("Combo1"), -1, c); });
    if (QObject* voice = control(QStringLiteral("lblVoice"))) voice->installEventFilter(this);
    setAcceptDrops(true);

    connect(tmrPlaying_, &QTimer::timeout, this, [this, w] {
        if (PlaybackPort* p = w->ports().playback) handle([p, w] { p->tmrPlaying_Timer(*w); });
    });
    connect(tmrMidiNote_, &QTimer::timeout, this, [this, w] {
        if (PlaybackPort* p = w->ports().playback) handle([p, w] { p->tmrMidiNote_Timer(*w); });
    });
}

bool Form1::eventFilter(QObject* watched, QEvent* event) {
    if (filterRollControls(watched, event)) return true;
    if (watched == central_ && event->type() == QEvent::Resize) {
        handle([this] { logic_->Form_Resize(); });
    } else if (event->type() == QEvent::MouseButtonRelease &&
               (watched == control(QStringLiteral("lblVoice")) || watched == control(QStringLiteral("Image1")))) {
        runCommand(watched->objectName(), -1, watched);
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

// ---------------------------------------------------------------------------------------------------
// MainWindowView

QObject* Form1::control(const QString& name, int index) const {
    if (name == u"Form1") return const_cast<Form1*>(this);
    const QList<QObject*> found = findChildren<QObject*>(name);
    for (QObject* o : found) {
        const QVariant p = o->property("index");
        if (index < 0 ? !p.isValid() : (p.isValid() && p.toInt() == index)) return o;
    }
    // A control array addressed without an index means its first element.
    if (index < 0)
        for (QObject* o : found)
            if (o->property("index").toInt() == 0) return o;
    return nullptr;
}

PictureBox* Form1::pictureBox(const QString& name) const { return qobject_cast<PictureBox*>(control(name)); }

namespace {
QAction* actionOf(QObject* o) {
    if (auto* m = qobject_cast<QMenu*>(o)) return m->menuAction();
    return qobject_cast<QAction*>(o);
}
}  // namespace

int Form1::value(const QString& name, int index) const {
    QObject* o = control(name, index);
    if (auto* c = qobject_cast<QCheckBox*>(o)) return c->isChecked() ? 1 : 0;
    if (auto* r = qobject_cast<QRadioButton*>(o)) return r->isChecked() ? 1 : 0;
    if (auto* cb = qobject_cast<QComboBox*>(o)) return cb->currentIndex();
    if (QAction* a = actionOf(o)) return a->isChecked() ? 1 : 0;
    return 0;
}

void Form1::setValue(const QString& name, int value, int index) {
    QObject* o = control(name, index);
    if (!o) return;
    QSignalBlocker block(o);
    if (auto* c = qobject_cast<QCheckBox*>(o)) c->setChecked(value != 0);
    else if (auto* r = qobject_cast<QRadioButton*>(o)) r->setChecked(value != 0);
    else if (auto* cb = qobject_cast<QComboBox*>(o)) cb->setCurrentIndex(value);
    else if (QAction* a = actionOf(o)) {
        QSignalBlocker blockAction(a);
        a->setChecked(value != 0);
    }
}

bool Form1::visible(const QString& name, int index) const {
    QObject* o = control(name, index);
    if (QAction* a = actionOf(o)) return a->isVisible();
    if (auto* w = qobject_cast<QWidget*>(o)) return !w->isHidden();
    return false;
}

void Form1::setVisible(const QString& name, bool on, int index) {
    QObject* o = control(name, index);
    if (QAction* a = actionOf(o)) a->setVisible(on);
    else if (auto* w = qobject_cast<QWidget*>(o)) w->setVisible(on);
}

bool Form1::enabled(const QString& name, int index) const {
    QObject* o = control(name, index);
    if (QAction* a = actionOf(o)) return a->isEnabled();
    if (auto* w = qobject_cast<QWidget*>(o)) return !w->testAttribute(Qt::WA_Disabled);
    return false;
}

void Form1::setEnabled(const QString& name, bool on, int index) {
    QObject* o = control(name, index);
    if (QAction* a = actionOf(o)) a->setEnabled(on);
    else if (auto* w = qobject_cast<QWidget*>(o)) w->setEnabled(on);
}

QString Form1::text(const QString& name, int index) const {
    QObject* o = control(name, index);
    if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
    if (auto* a = qobject_cast<QAction*>(o)) return a->isSeparator() ? QStringLiteral("-") : a->text();
    if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
    if (auto* e = qobject_cast<QLineEdit*>(o)) return e->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* cb = qobject_cast<QComboBox*>(o)) return cb->currentText();
    return QString();
}

void Form1::setText(const QString& name, const QString& text, int index) {
    QObject* o = control(name, index);
    if (!o) return;
    QSignalBlocker block(o);
    if (auto* m = qobject_cast<QMenu*>(o)) m->setTitle(text);
    else if (auto* a = qobject_cast<QAction*>(o)) {
        // A menu item whose caption is "-" draws a separator line; another caption makes it an item again
        // (the loaded elements of the recent-file list start as copies of the separator element 0).
        // The separator itself carries no text.
        a->setSeparator(text == u"-");
        a->setText(a->isSeparator() ? QString() : text);
    } else if (auto* l = qobject_cast<QLabel*>(o)) l->setText(text);
    else if (auto* e = qobject_cast<QLineEdit*>(o)) e->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(o)) b->setText(text);
}

int Form1::itemData(const QString& name, int entry) const {
    auto* cb = controlAs<QComboBox>(name);
    return cb ? cb->itemData(entry).toInt() : 0;
}

int Form1::menuArrayUpper(const QString& name) const {
    int upper = -1;
    for (QAction* a : findChildren<QAction*>(name)) {
        const QVariant p = a->property("index");
        if (p.isValid()) upper = std::max(upper, p.toInt());
    }
    return upper;
}

void Form1::loadMenuElement(const QString& name, int index) {
    if (control(name, index)) return;  // already loaded
    auto* first = controlAs<QAction>(name, 0);
    if (!first) return;
    auto* menu = qobject_cast<QMenu*>(first->parent());
    if (!menu) return;
    QAction* last = controlAs<QAction>(name, menuArrayUpper(name));
    auto* a = new QAction(menu);
    a->setObjectName(name);
    a->setProperty("index", index);
    a->setText(first->text());
    a->setSeparator(first->isSeparator());
    // A hidden action reports itself disabled: the new element takes element 0's own enabled state, not
    // the one its hiding gives it (a recent-file entry loaded while the placeholder is hidden stayed grey).
    {
        const bool hidden = !first->isVisible();
        if (hidden) first->setVisible(true);
        a->setEnabled(first->isEnabled());
        if (hidden) first->setVisible(false);
    }
    a->setVisible(first->isVisible());
    const QList<QAction*> actions = menu->actions();
    const qsizetype at = actions.indexOf(last);
    if (at >= 0 && at + 1 < actions.size()) menu->insertAction(actions[at + 1], a);
    else menu->addAction(a);
    connectMenuItem(a);
}

void Form1::unloadMenuElement(const QString& name, int index) {
    if (index < 1) return;  // element 0 exists for the life of the window
    if (QAction* a = controlAs<QAction>(name, index)) delete a;
}

QString Form1::popupMenu(const QString& menuName, int* chosenIndex) {
    auto* menu = controlAs<QMenu>(menuName);
    if (chosenIndex) *chosenIndex = -1;
    if (!menu) return QString();
    QAction* chosen = nullptr;
    const QMetaObject::Connection c = connect(menu, &QMenu::triggered, this, [&chosen](QAction* a) { chosen = a; });
    const QString name = Ports::popupMenu().popup(menu, QCursor::pos());
    disconnect(c);
    if (chosen) {
        if (chosenIndex) *chosenIndex = chosen->property("index").isValid() ? chosen->property("index").toInt() : -1;
        return chosen->objectName();
    }
    if (!name.isEmpty()) {
        // A port that answers without the menu (a scripted one) chose the item all the same: its
        // command runs as after a real choice.
        auto* a = controlAs<QAction>(name);
        if (chosenIndex) *chosenIndex = a && a->property("index").isValid() ? a->property("index").toInt() : -1;
        if (a) a->trigger();
    }
    return name;
}

RollCanvas& Form1::picture(const QString& name) {
    if (name == u"Picture3") return *Picture3_;
    if (name == u"Picture4") return *Picture4_;
    return *Picture2_;
}

void Form1::refreshPictures() {
    Picture2_->update();
    Picture3_->update();
    Picture4_->update();
}

void Form1::setPictureColors(const QString& name, int32_t fore, int32_t back) {
    if (PictureBox* p = pictureBox(name)) p->setColors(fore, back);
    else if (auto* l = controlAs<QLabel>(name))
        l->setStyleSheet(QStringLiteral("QLabel { color: %1; background: transparent; }").arg(PictureBox::rgb(fore).name()));
}

void Form1::setMousePointer(const QString& name, int kind) {
    auto* w = controlAs<QWidget>(name);
    if (!w) return;
    switch (kind) {
    case 2: w->setCursor(Qt::CrossCursor); break;
    case 7: w->setCursor(Qt::SizeVerCursor); break;
    case 9: w->setCursor(Qt::SizeHorCursor); break;
    case 99: w->setCursor(Qt::CrossCursor); break;
    default: w->setCursor(Qt::ArrowCursor); break;
    }
}

void Form1::runNamedCommand(const QString& name, int index) {
    if (!registry_.run(name, *logic_, index)) ReportNotAvailable(featureOf(control(name, index), name));
}

void Form1::setScrollBar(const QString& name, const ScrollBarState& s) {
    QScrollBar* bar = name == u"HScroll1" ? HScroll1_ : name == u"VScroll1" ? VScroll1_ : controlAs<QScrollBar>(name);
    if (!bar) return;
    QSignalBlocker block(bar);
    bar->setRange(s.low(), s.high());
    bar->setInvertedAppearance(s.Min > s.Max);
    bar->setInvertedControls(s.Min > s.Max);
    bar->setPageStep(s.LargeChange);
    bar->setSingleStep(s.SmallChange);
    bar->setValue(s.Value);
}

void Form1::applyLayout(const WindowLayout& l) {
    const struct { const char* name; const TwipRect* rect; } placed[] = {
        {"Image2", &l.Image2},     {"lblVoice", &l.lblVoice},       {"Picture4", &l.Picture4},
        {"Picture3", &l.Picture3}, {"Picture2", &l.Picture2},       {"VScroll1", &l.VScroll1},
        {"cmdHeightSmall", &l.cmdHeightSmall}, {"cmdHeightLarge", &l.cmdHeightLarge},
        {"HScroll1", &l.HScroll1}, {"chkView", &l.chkView},         {"chkCurve", &l.chkCurve},
    };
    for (const auto& p : placed)
        if (auto* w = controlAs<QWidget>(QString::fromLatin1(p.name))) w->setGeometry(pxRect(*p.rect));
    // The design lets the ruler cover the voice box's last pixel and with it the name's last letter: the
    // box ends where the ruler begins.
    if (auto* voice = controlAs<QWidget>(QStringLiteral("lblVoice"))) {
        QRect box = pxRect(l.lblVoice);
        box.setRight(std::min(box.right(), pxRect(l.Picture4).left() - 1));
        voice->setGeometry(box);
    }
    Line3_->setGeometry(Line3_->x(), px(l.Line3Y1), 1, std::max(0, px(l.Line3Y2 - l.Line3Y1)));
}

void Form1::setControlRect(const QString& name, const TwipRect& rect) {
    if (auto* w = controlAs<QWidget>(name)) w->setGeometry(pxRect(rect));
}

double Form1::clientWidth() const { return central_->width() * 15.0; }

double Form1::clientHeight() const {
    const QStatusBar* bar = findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    return (central_->height() + (bar && !bar->isHidden() ? bar->height() : 0)) * 15.0;
}

double Form1::statusBarHeight() const {
    const QStatusBar* bar = findChild<QStatusBar*>(QStringLiteral("StatusBar1"));
    return bar && !bar->isHidden() ? bar->height() * 15.0 : 0.0;
}

void Form1::setFocusTo(const QString& name) {
    if (auto* w = controlAs<QWidget>(name)) w->setFocus();
}

bool Form1::hasFocus(const QString& name) const {
    auto* w = controlAs<QWidget>(name);
    return w && w->hasFocus();
}

void Form1::setCaption(const QString& text) { setWindowTitle(text); }

void Form1::setStatusText(int panel, const QString& text) {
    if (panel >= 1 && panel <= 4) panels_[panel - 1]->setText(text);
}

QString Form1::statusText(int panel) const { return panel >= 1 && panel <= 4 ? panels_[panel - 1]->text() : QString(); }

bool Form1::shiftHeld() const { return QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier; }

bool Form1::ctrlHeld() const { return QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier; }

void Form1::setPictureFile(const QString& name, const QString& path) {
    auto* label = controlAs<QLabel>(name);
    if (!label) return;
    const QPixmap pm = path.isEmpty() ? QPixmap() : QPixmap(FileSystem::resolve(path));
    if (pm.isNull())
        label->clear();
    else
        label->setPixmap(pm);
}

bool Form1::setIconFile(const QString& path) {
    const QPixmap pm(path);
    if (pm.isNull()) return false;
    setWindowIcon(QIcon(pm));
    return true;
}

void Form1::showSplash() {
    if (!splash_) splash_ = new frmSplash();
    splash_->show();
}

void Form1::closeSplash() {
    if (splash_) {
        splash_->CloseSplash();
        splash_->deleteLater();
        splash_ = nullptr;
    }
}

void Form1::showAboutBox() {
    Dialog about(this);
    about.exec();
}

void Form1::processEvents() { QCoreApplication::processEvents(); }

QObject* Form1::windowObject(const QString& name) { return control(name); }

MainWindowPlacement* Form1::placement() { return placement_.get(); }

void Form1::SetOtoStatusText(const QString& text) { setStatusText(3, text); }

void Form1::ShowOtoReport(const QString& report) { frmOtoReport::ShowReport(report, this); }

}  // namespace tova
