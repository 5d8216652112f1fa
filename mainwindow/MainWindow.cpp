#include "mainwindow/MainWindow.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "mainwindow/BackgroundDrawing.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/NoteDrawingPort.h"
#include "commands/NoteEditPort.h"
#include "mainwindow/ProgramInfo.h"
#include "mainwindow/RollCanvas.h"
#include "exchange/VoiceBankAccess.h"
#include "song/FreeText.h"
#include "song/NoteCache.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Vb.h"
#include "render/AliasLookup.h"
#include "song/NoteExtension.h"

#include <QHash>
#include <QMetaObject>

namespace tova {

MainWindow::MainWindow(MainWindowView& view, const MainWindowPorts& ports) : view_(view), ports_(ports) {
    song.attach(this, &cache_);
}

MainWindow::~MainWindow() { song.attach(nullptr, nullptr); }

MainWindow& MainWindow::of(EditContext& context) {
    auto* w = dynamic_cast<MainWindow*>(&context);
    if (!w) throw InvalidCallError();
    return *w;
}

const MainWindow& MainWindow::of(const EditContext& context) { return of(const_cast<EditContext&>(context)); }

QObject* MainWindow::TargetHwnd() const { return view_.windowObject(QStringLiteral("Picture2")); }

// ---------------------------------------------------------------------------------------------------
// SongHost

QString MainWindow::CaptionPart(const QString& text) {
    if (text.size() <= CaptionPartLimit) return text;
    return text.left(CaptionPartLimit) + QStringLiteral("…");
}

void MainWindow::UpdateCaption() {
    const QString title =
        CaptionPart(settings().TransformTitle.isEmpty() ? ProgramInfo::Title() : settings().TransformTitle);
    const QString mark = song.IsModified ? QStringLiteral(" (*)") : QString();
    const QString name = CaptionPart(song.ProjectName);
    QString caption;
    if (!song.ProjectPath.isEmpty())
        caption = name + QStringLiteral(" (") + CaptionPart(PathText::filePart(song.ProjectPath)) + QStringLiteral(") - ") +
                  title + mark;
    else
        caption = name + QStringLiteral(" - ") + title + mark;
    view_.setCaption(caption);
}

void MainWindow::DrawBackground() {
    BackgroundView v;
    v.RowHeight = Scale.RowHeight;
    v.Zoom = Scale.Zoom;
    v.SongLength = SongLength;
    v.BeatsPerBar = BeatsPerBar;
    RollCanvas& roll = view_.picture(QStringLiteral("Picture2"));
    BackgroundDrawing::draw(v, BackgroundColors::fromSettings(), HScroll1, VScroll1,
                            view_.picture(QStringLiteral("Picture3")), roll, view_.picture(QStringLiteral("Picture4")));
    // The ranges changed under the values: show them without raising the change handlers, which would
    // start another drawing from inside this one.
    view_.setScrollBar(QStringLiteral("VScroll1"), VScroll1);
    view_.setScrollBar(QStringLiteral("HScroll1"), HScroll1);
    view_.setVisible(QStringLiteral("lblTone"), false);
    view_.refreshPictures();
}

void MainWindow::DrawNotes(const QString& option) {
    if (ports_.noteDrawing) ports_.noteDrawing->DrawNotes(*this, option);
    view_.refreshPictures();
}

void MainWindow::ApplyLyricText(qint32 index, const QString& text) {
    if (index < 0 || index >= song.noteCount()) return;
    const Settings& set = settings();
    const bool vowel = !text.isEmpty() && QStringLiteral("あいうえおをん").contains(text.front());
    if (!set.NoCopyVoiceParam && !(set.ExcludeVowelOnSetParam && vowel)) {
        // The sample's pre-utterance and overlap go into the note; its velocity stays.
        QString alias = ApplyPrefixMap(song.NoteNums[index], text);
        alias.remove(u'\r');
        alias.remove(u'\n');
        QStringList entry = FindOtoAlias(alias);
        if (entry.value(0).isEmpty() && set.CheckVoiceFile) {
            QString plain = text;
            entry = FindOtoAlias(plain);
        }
        if (!entry.value(0).isEmpty()) {
            while (entry.size() < 7) entry << QString();
            QStringList fields = song.NoteExt[index].split(u'\t');
            while (fields.size() < 6) fields << QString();
            QStringList parts = fields[0].split(u':');
            while (parts.size() < 3) parts << QString();
            fields[0] = entry[5] + u':' + entry[6] + u':' + parts[2];
            song.NoteExt[index] = fields.join(u'\t');
        }
    }
    song.Lyrics[index] = SafeFreeText(text, FreeTextUse::Lyric);
    song.SetModified(true);
}

void MainWindow::SetLyricQueueText(const QString& text) { view_.setText(QStringLiteral("Text2"), text); }

void MainWindow::SetUndoMenuCaption(const QString& caption) { view_.setText(QStringLiteral("mnUndo"), caption); }

void MainWindow::SetUndoMenuEnabled(bool enabled) { view_.setEnabled(QStringLiteral("mnUndo"), enabled); }

void MainWindow::SetRedoMenuCaption(const QString& caption) { view_.setText(QStringLiteral("mnRedo"), caption); }

void MainWindow::SetRedoMenuEnabled(bool enabled) { view_.setEnabled(QStringLiteral("mnRedo"), enabled); }

void MainWindow::TrimNoteGeometry(qint32 noteCount) {
    if (noteCount < 1) {
        NoteGeometry = {NoteGeometryRecord()};
    } else if (NoteGeometry.size() > noteCount) {
        NoteGeometry.resize(noteCount);
        NoteLayer.Drawn.cut(noteCount);
    }
}

// ---------------------------------------------------------------------------------------------------
// EditContext

namespace {
const QString kLyricEntry = QStringLiteral("Text2");
}

bool MainWindow::curveView() const { return view_.value(QStringLiteral("chkCurve")) == 1; }

qint32 MainWindow::quantizeTicks() const {
    const int entry = view_.value(QStringLiteral("cmbQuntize"));
    return entry < 0 ? 0 : view_.itemData(QStringLiteral("cmbQuntize"), entry);
}

double MainWindow::rollInnerWidth() const { return view_.picture(QStringLiteral("Picture2")).scaleWidth(); }

QString MainWindow::lyricEntryText() const { return view_.text(kLyricEntry); }

void MainWindow::focusLyricEntry() { view_.setFocusTo(kLyricEntry); }

QString MainWindow::focusedTextBox() const {
    for (const QString& box : {kLyricEntry, QStringLiteral("Text1"), QStringLiteral("txtTempo")})
        if (view_.hasFocus(box)) return box;
    return QString();
}

void MainWindow::sendKeys(const QString& box, const QString& keys) {
    // What the keystroke does in a text box: its own select-all, copy, cut or paste.
    static const QHash<QString, const char*> keySlots = {
        {QStringLiteral("^A"), "selectAll"}, {QStringLiteral("^C"), "copy"},
        {QStringLiteral("^X"), "cut"},       {QStringLiteral("^V"), "paste"},
    };
    const char* slot = keySlots.value(keys);
    if (!slot) throw InvalidCallError();
    if (QObject* o = view_.windowObject(box)) QMetaObject::invokeMethod(o, slot);
}

RenderProgress& MainWindow::progress() {
    if (!ports_.progress) throw InvalidCallError();
    return *ports_.progress;
}

QObject* MainWindow::ownerWindow() { return view_.windowObject(QStringLiteral("Form1")); }

// ---------------------------------------------------------------------------------------------------
// Layout and fixed layers

void MainWindow::Form_Resize() {
    // Every failure is passed over here, whatever the debug setting: a window too small for the rules
    // keeps the sizes it cannot take, and the redraw still happens.
    try {
        Layout.resize(view_.clientWidth(), view_.clientHeight(), view_.statusBarHeight());
        view_.applyLayout(Layout);
    } catch (...) {
    }
    try {
        RedrawAfterResize();
    } catch (...) {
    }
}

void MainWindow::RedrawAfterResize() {
    DrawBackground();
    DrawNotes();
}

void MainWindow::ShowToneAtCursor() {
    RollCanvas& keyboard = view_.picture(QStringLiteral("Picture3"));
    const ToneLabelPlacement p =
        BackgroundDrawing::toneLabel(CursorNoteNum, VScroll1.Value, Scale.RowHeight, keyboard.width(), keyboard);
    if (!p.visible) {
        view_.setVisible(QStringLiteral("lblTone"), false);
        return;
    }
    view_.setControlRect(QStringLiteral("lblTone"), TwipRect{p.left, p.top, p.width, double(Scale.RowHeight)});
    view_.setText(QStringLiteral("lblTone"), p.caption);
    view_.setVisible(QStringLiteral("lblTone"), true);
}

// ---------------------------------------------------------------------------------------------------
// Menu commands of the tree itself

void MainWindow::ShowAliasMenu(qint32 note) {
    if (!ports_.voiceBanks || note < 0 || note >= song.noteCount()) return;
    const QStringList candidates = ports_.voiceBanks->FindAliasForLyric(song.Lyrics[note]);
    if (candidates.isEmpty()) return;
    const QString menu = QStringLiteral("mnW0");
    for (int i = 0; i < candidates.size(); ++i) {
        try {
            if (i > 0 && i > view_.menuArrayUpper(menu)) view_.loadMenuElement(menu, i);
            view_.setText(menu, candidates[i], i);
        } catch (...) {
        }
    }
    for (int i = view_.menuArrayUpper(menu); i > candidates.size() - 1; --i) view_.unloadMenuElement(menu, i);
    CurNote = note;
    // Choosing an element runs its command (mnW0, through the registry).
    int chosen = -1;
    view_.popupMenu(QStringLiteral("mnTest3"), &chosen);
}

void MainWindow::mnVersion_Click() { view_.showAboutBox(); }

}  // namespace tova
