#pragma once

#include "commands/EditContext.h"
#include "mainwindow/MainWindowPorts.h"
#include "mainwindow/MainWindowState.h"
#include "mainwindow/MidiFollower.h"
#include "mainwindow/RollEditor.h"
#include "mainwindow/RollKeys.h"
#include "mainwindow/RollTextBoxes.h"
#include "mainwindow/RulerInput.h"
#include "commands/ScrollBarState.h"
#include "mainwindow/ViewScale.h"
#include "mainwindow/WindowLayout.h"
#include "render/RenderCache.h"
#include "song/Song.h"
#include "song/SongHost.h"

#include <QString>

#include <optional>

class QObject;

namespace tova {

class MainWindowView;

// The main window's logic: it owns the song, the view state of the roll and the scroll bars, and runs
// the start-up, the layout, scrolling, zoom and drawing of the fixed layers and the view switches. It is
// the edit context of every command: the Qt form runs the commands of the registry over it. The form
// binds its widgets to it through MainWindowView; tests drive it with a fake view.
class MainWindow : public SongHost, public MainWindowState, public EditContext {
public:
    // The main window behind an edit context; a context that is not the main window raises
    // InvalidCallError. A command takes the edit context and nothing more wherever that serves; this
    // downcast is kept only for what the context rightly does not offer, because it belongs to this
    // window alone: its view (switch values, menu arrays and their pop-ups, the label box, the caption and
    // recent-files menu, the about box), its scale and layout state, and the ports it was built with (the
    // file side, the dialogs of editors, tuning tools, voice-bank tools and plug-ins). Putting those into
    // the context would make every command's fake carry the whole window.
    static MainWindow& of(EditContext& context);
    static const MainWindow& of(const EditContext& context);

    MainWindow(MainWindowView& view, const MainWindowPorts& ports);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    MainWindowView& view() { return view_; }
    const MainWindowPorts& ports() const { return ports_; }
    MainWindowPorts& ports() { return ports_; }

    // ---- the song and the view scales ----
    Song song;
    NoteArrays ClipNotes;  // the note clipboard of copy and paste
    ViewScale Scale;  // Zoom and RowHeight, with the enabled state of the zoom commands
    float Zoom() const { return Scale.Zoom; }
    int16_t RowHeight() const { return Scale.RowHeight; }
    ScrollBarState HScroll1{0, 0, 0, 4, 1};   // beats at the left edge of the roll
    ScrollBarState VScroll1{1, 0, 1, 12, 1};  // rows scrolled off the top
    MidiFollower Follow;
    WindowLayout Layout;
    // The whole command line as the program was started.
    QString CommandLine;
    // Direct editing: pointer input on the roll, the in-place text boxes, keys and double click, the
    // keyboard strip and the ruler.
    RollEditor Roll{*this};
    RollTextBoxes Boxes{*this};
    RollKeys Keys{*this};
    RulerInput Ruler{*this};

    // ---- start-up and new project ----
    enum class StartResult { Run, EndProgram };
    // The start-up sequence. EndProgram for the installer switches "/Commit" and "/Uninstall".
    StartResult Form_Load(const QString& commandLine);
    void NewProject();
    QString GetDefaultVoicePath();
    bool CheckDefaultVoiceTools(const QString& folder);
    // Refreshes the tempo box ("0.00") and the seconds per beat of status panel 1.
    void UpdateTempoStatus(float tempo);
    // Rebuilds the recent-file menu from the History setting.
    void UpdateRecentFilesMenu();
    // The window that takes the mouse wheel: the roll.
    QObject* TargetHwnd() const;

    // ---- SongHost (the redraws are those of the edit context too) ----
    // The caption: project name, file name, program title and the modified mark, each of the three
    // texts cut to CaptionPartLimit characters (a project can name itself with megabytes).
    void UpdateCaption() override;
    static constexpr qsizetype CaptionPartLimit = 100;
    static QString CaptionPart(const QString& text);
    void DrawBackground() override;
    void DrawNotes() override { DrawNotes(QString()); }
    void DrawNotes(const QString& option) override;
    void ApplyLyricText(qint32 index, const QString& text) override;
    void SetLyricQueueText(const QString& text) override;
    void SetUndoMenuCaption(const QString& caption) override;
    void SetUndoMenuEnabled(bool enabled) override;
    void SetRedoMenuCaption(const QString& caption) override;
    void SetRedoMenuEnabled(bool enabled) override;
    void TrimNoteGeometry(qint32 noteCount) override;

    // ---- EditContext ----
    Song& editedSong() override { return song; }
    const Song& editedSong() const override { return song; }
    qint32 curNote() const override { return CurNote; }
    void setCurNote(qint32 note) override { CurNote = note; }
    bool mode2() const override { return mode2On(); }
    bool curveView() const override;
    qint32 quantizeTicks() const override;
    qint32 newNoteLength() const override { return NewNoteLength; }
    int beatsPerBar() const override { return BeatsPerBar; }
    const NoteGeometryList& noteGeometry() const override { return NoteGeometry; }
    float zoom() const override { return Scale.Zoom; }
    double rollInnerWidth() const override;
    double vScrollWidth() const override { return Layout.VScroll1.width; }
    const ScrollBarState& hScroll() const override { return HScroll1; }
    void setHScrollValue(int value) override { SetHScrollValue(value); }
    QString lyricEntryText() const override;
    void focusLyricEntry() override;
    QString focusedTextBox() const override;
    void sendKeys(const QString& box, const QString& keys) override;
    void setLyricEntryText(const QString& text) override { SetLyricQueueText(text); }
    void focusRoll() override;
    void setTempoBoxText(const QString& text) override;
    qint32 rulerNote() const override { return Roll.RulerNote; }
    void setRulerNote(qint32 note) override { Roll.RulerNote = note; }
    qint32 pitchPointIndex() const override { return Roll.PitchPointIndex; }
    bool traceMode() const override;
    void scrollToNote(qint32 note) override { ScrollToNoteStart(note); }
    NoteArrays& noteClipBuffer() override { return ClipNotes; }
    NoteCache* renderCache() override { return song.cache(); }
    RenderProgress& progress() override;
    QObject* ownerWindow() override;
    RenderCommands* rendering() override { return ports_.rendering; }
    PlaybackCommands* playback() override { return ports_.playing; }

    // ---- layout and fixed layers ----
    void Form_Resize();
    void RedrawAfterResize();
    void ShowToneAtCursor();

    // ---- scrolling, zoom, row height, wheel, following ----
    void HScroll1_Change();
    void HScroll1_Scroll() { HScroll1_Change(); }
    void VScroll1_Change();
    void VScroll1_Scroll() { VScroll1_Change(); }
    // Sets a bar's value; a changed value raises the bar's change handler (which redraws).
    void SetHScrollValue(int value);
    void SetVScrollValue(int value);
    void mnZoomIn_Click();
    void mnZoomOut_Click();
    void mnHeightLarge_Click();
    void mnHeightSmall_Click();
    void WheelEvent(int16_t direction, int16_t& keys);
    void ScrollToNoteStart(qint32 note, std::optional<double> lead = std::nullopt);
    void ScrollToTick(qint32 note, std::optional<double> lead = std::nullopt) { ScrollToNoteStart(note, lead); }
    void ScrollToSelection(qint32 note, bool force);
    void NoteToRightEdge(qint32 note);
    bool NoteToInSideWindow(qint32 note);
    void NoteSelectAndScroll(qint32 note);
    void MidiPlay(qint32 clockCount);
    void UpdatePlayCursor(qint32 clockCount) { MidiPlay(clockCount); }
    void GetPlayNotes1(qint32& first, qint32& last, qint32 timeMs);
    void LocateTimeInNotes(qint32& first, qint32& last, qint32 timeMs) { GetPlayNotes1(first, last, timeMs); }
    // The tempo in force at a note.
    float GetTempo(qint32 index) const;

    // ---- view and MIDI switches ----
    void chkAutoPitchMode2_Click();
    void chkCurve_Click();
    void mnShowCurve_Click();
    void chkTraceMode_Click();
    void chkView_Click();
    void mnMeasure4_Click();
    void mnMeasure3_Click();
    void Combo1_Click();
    void optMode_Click(int index);
    // True when shift is 4 (Alt held) or the drawing tool is selected.
    bool IsToolMode(int shift) const;
    void chkMidiCnn_Click();
    void chkMidiIn_Click();
    void chkSyncScroll_Click();
    void chkMidiMon_Click();

    // ---- labels and named regions: the menu arrays "mnJump" and "mnRegion" ----
    // Rebuild the array from the song's labels (region names); one disabled item "（なし）" when there
    // is none. The count of labels (names); an empty song leaves the menu as it is and gives 0.
    int FillLabelList();
    int FillRegionList();
    // The label menu at the pointer (nothing without labels); a chosen label scrolls to its note.
    void mnGotoLabel_Click();
    // The ruler pop-up's "ここにラベルを追加" and "ラベルを変更": the label box opens on the note under the
    // last ruler press (nothing when that is no note).
    void mnLabelAdd_Click();
    void mnLabelName_Click();
    void mnJump_Click(int index);
    // The region menu at the pointer (a message without regions); a chosen name selects its region.
    void mnSelectRegion_Click();
    void mnRegion_Click(int index);

    // ---- menu commands of the tree itself ----
    void ShowAliasMenu(qint32 note);
    void mnVersion_Click();
    void Image1_Click();
    void mnPluginFolder_Click();
    void mnShowReadme_Click();
    void mnPluginReload_Click() { BuildPluginMenu(); }
    void BuildPluginMenu();
    void InitPlugins() { BuildPluginMenu(); }

    // ---- the voice-bank tools of the Tools menu ----
    // Opens the voice-bank manager on the project's bank, at the sample the note at the selection start
    // would use; Ctrl held opens the timing editor at once.
    void mnEditAlias_Click();
    void mnEditPrefixmap_Click();

private:
    void redraw();  // background, notes, focus to the roll
    void runStartupFrom10();
    bool mode2On() const;

    MainWindowView& view_;
    MainWindowPorts ports_;
    RenderCache cache_;
};

}  // namespace tova
