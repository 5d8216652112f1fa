#include "mainwindow/MainWindowCommands.h"

#include "autotune/TuningCommands.h"
#include "commands/ClipboardCommands.h"
#include "commands/CorrectionCommands.h"
#include "commands/CrossFadeCommands.h"
#include "commands/EnvelopeCommands.h"
#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "commands/InsertCommands.h"
#include "commands/MoveCommands.h"
#include "commands/NoteEditPort.h"
#include "commands/NotAvailable.h"
#include "commands/PitchPointCommands.h"
#include "commands/PitchRenderCommands.h"
#include "commands/PlayCommands.h"
#include "commands/RegionCommands.h"
#include "commands/SelectionCommands.h"
#include "commands/TempoCommands.h"
#include "editors/EnvelopeDialogCommands.h"
#include "editors/NotePropertyCommands.h"
#include "editors/PitchCommands.h"
#include "exchange/plugins/PluginCommand.h"
#include "exchange/ExchangeCommands.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/NoteNavigation.h"
#include "mainwindow/ProjectFilesPort.h"
#include "song/Song.h"
#include "voicebank/VoiceBankNoteCommands.h"

#include <algorithm>

namespace tova {
namespace {

using WindowCommand = void (MainWindow::*)();

// A command of the file side; nothing while the file side is not installed.
void files(CommandRegistry& registry, const QString& name, void (ProjectFilesPort::*command)(EditContext&)) {
    registry.add(name, [command](EditContext& c) {
        if (ProjectFilesPort* port = MainWindow::of(c).ports().projectFiles) (port->*command)(c);
    });
}

}  // namespace

void mnCleanCache_Click(EditContext& context) {
    const Song& song = context.editedSong();
    const qint32 first = std::min(song.SelStart, song.SelEnd);
    const qint32 last = std::min(std::max(song.SelStart, song.SelEnd), song.lastNote());
    context.deleteCachedNotes(first, last);
}

void mnUndo_Click(EditContext& context) { context.editedSong().Undo(); }

void mnRedo_Click(EditContext& context) { context.editedSong().Redo(); }

void registerMainWindowCommands(CommandRegistry& registry) {
    const struct {
        const char16_t* name;
        WindowCommand command;
    } commands[] = {
        // scrolling, zoom and row height
        {u"mnHeightLarge", &MainWindow::mnHeightLarge_Click},
        {u"mnHeightSmall", &MainWindow::mnHeightSmall_Click},
        // view and MIDI switches
        {u"mnMeasure4", &MainWindow::mnMeasure4_Click},
        {u"mnMeasure3", &MainWindow::mnMeasure3_Click},
        {u"mnShowCurve", &MainWindow::mnShowCurve_Click},
        {u"chkAutoPitchMode2", &MainWindow::chkAutoPitchMode2_Click},
        {u"chkCurve", &MainWindow::chkCurve_Click},
        {u"chkTraceMode", &MainWindow::chkTraceMode_Click},
        {u"chkView", &MainWindow::chkView_Click},
        {u"chkMidiCnn", &MainWindow::chkMidiCnn_Click},
        {u"chkMidiIn", &MainWindow::chkMidiIn_Click},
        {u"chkSyncScroll", &MainWindow::chkSyncScroll_Click},
        {u"chkMidiMon", &MainWindow::chkMidiMon_Click},
        {u"Combo1", &MainWindow::Combo1_Click},
        // the menu tree's own commands
        {u"mnVersion", &MainWindow::mnVersion_Click},
        {u"mnShowReadme", &MainWindow::mnShowReadme_Click},
        {u"mnPluginFolder", &MainWindow::mnPluginFolder_Click},
        {u"mnPluginReload", &MainWindow::mnPluginReload_Click},
        {u"Image1", &MainWindow::Image1_Click},
        // the voice-bank tools of the Tools menu
        {u"mnEditAlias", &MainWindow::mnEditAlias_Click},
        {u"mnEditPrefixmap", &MainWindow::mnEditPrefixmap_Click},
        // the label and region menus
        {u"mnGotoLabel", &MainWindow::mnGotoLabel_Click},
        {u"mnLabelAdd", &MainWindow::mnLabelAdd_Click},
        {u"mnLabelName", &MainWindow::mnLabelName_Click},
        {u"mnSelectRegion", &MainWindow::mnSelectRegion_Click},
    };
    for (const auto& c : commands)
        registry.add(QString::fromUtf16(c.name), [command = c.command](EditContext& w) { (MainWindow::of(w).*command)(); });
    // Zooming stops at its limits.
    registry.add(QStringLiteral("mnZoomIn"), [](EditContext& w) { MainWindow::of(w).mnZoomIn_Click(); },
                 [](const EditContext& w) { return MainWindow::of(w).Scale.ZoomInEnabled; });
    registry.add(QStringLiteral("mnZoomOut"), [](EditContext& w) { MainWindow::of(w).mnZoomOut_Click(); },
                 [](const EditContext& w) { return MainWindow::of(w).Scale.ZoomOutEnabled; });
    registry.addIndexed(QStringLiteral("optMode"), [](EditContext& w, int index) { MainWindow::of(w).optMode_Click(index); });
    registry.addIndexed(QStringLiteral("mnJump"), [](EditContext& w, int index) { MainWindow::of(w).mnJump_Click(index); });
    registry.addIndexed(QStringLiteral("mnRegion"), [](EditContext& w, int index) { MainWindow::of(w).mnRegion_Click(index); });

    // The commands that need the song alone.
    registry.add(QStringLiteral("mnCleanCache"), mnCleanCache_Click);
    registry.add(QStringLiteral("mnUndo"), mnUndo_Click);
    registry.add(QStringLiteral("mnRedo"), mnRedo_Click);

    files(registry, QStringLiteral("mnNew"), &ProjectFilesPort::mnNew_Click);
    files(registry, QStringLiteral("mnOpen"), &ProjectFilesPort::mnOpen_Click);
    files(registry, QStringLiteral("mnSave"), &ProjectFilesPort::mnSave_Click);
    files(registry, QStringLiteral("mnSaveAt"), &ProjectFilesPort::mnSaveAt_Click);
    files(registry, QStringLiteral("mnAppendLoad"), &ProjectFilesPort::mnAppendLoad_Click);
    files(registry, QStringLiteral("mnImport"), &ProjectFilesPort::mnImport_Click);
    files(registry, QStringLiteral("mnProjSetting"), &ProjectFilesPort::mnProjSetting_Click);
    files(registry, QStringLiteral("mnOptions"), &ProjectFilesPort::mnOptions_Click);
    registry.addIndexed(QStringLiteral("mnHistory"), [](EditContext& c, int index) {
        if (ProjectFilesPort* port = MainWindow::of(c).ports().projectFiles) port->mnHistory_Click(c, index);
    });
    // The plug-in menu's items run their plug-ins over the selection.
    registerPluginCommands(registry, [](EditContext& c) { return MainWindow::of(c).ports().pluginWait; });
    // A click on the voice name opens the project settings.
    registry.alias(QStringLiteral("lblVoice"), QStringLiteral("mnProjSetting"));

    // The alias candidate chosen in the pop-up of the note.
    registry.addIndexed(QStringLiteral("mnW0"), [](EditContext& c, int index) {
        NoteEditPort* edit = MainWindow::of(c).ports().noteEdit;
        if (!edit) {
            ReportNotAvailable(QStringLiteral("エイリアスの選択"));
            return;
        }
        edit->mnW0_Click(c, index);
    });
}

void registerCommandAliases(CommandRegistry& registry) {
    const struct {
        const char16_t* control;
        const char16_t* runs;
    } aliases[] = {
        // tool-band buttons
        {u"cmdGoEnd", u"mnGotoEnd"},
        {u"cmdGoTop", u"mnGotoTop"},
        {u"cmdHeightLarge", u"mnHeightLarge"},
        {u"cmdHeightSmall", u"mnHeightSmall"},
        {u"cmdInsR", u"mnInsert"},
        {u"cmdNoteLast", u"mnNoteLast"},
        {u"cmdNoteTop", u"mnNoteTop"},
        {u"cmdZoomIn", u"mnZoomIn"},
        {u"cmdZoomOut", u"mnZoomOut"},
        {u"cmdAcceptAutoCorrect", u"mnCorrectParams"},
        {u"cmdResetEnvelop", u"mnResetEnvelop"},
        // duplicate items of the menus and pop-up menus
        {u"mnNotePaste", u"mnTonePaste"},  // runs the pop-up's paste, which is the Edit menu's
        {u"mnNoteSelectEnd2", u"mnNoteSelectEnd"},
        {u"mnNoteSelectTop2", u"mnNoteSelectTop"},
        {u"mnPBMode2Prop", u"mnTonePitch"},
        {u"mnPitchEdit", u"mnTonePitch"},
        {u"mnSetTempo2", u"mnSetTempo"},
        {u"mnToneCpy", u"mnCopy"},
        {u"mnToneDel", u"mnDelete"},
        {u"mnWordList", u"mnInsertFrom"},
    };
    for (const auto& a : aliases) registry.alias(QString::fromUtf16(a.control), QString::fromUtf16(a.runs));
}

void registerProgramCommands(CommandRegistry& registry) {
    registerMainWindowCommands(registry);
    registerNavigationCommands(registry);
    registerPlayCommands(registry);
    registerSelectionCommands(registry);
    registerClipboardCommands(registry);
    registerInsertCommands(registry);
    registerMoveCommands(registry);
    registerPitchRenderCommands(registry);
    registerRegionCommands(registry);
    registerEnvelopeCommands(registry);
    registerEnvelopeDialogCommands(registry, [](EditContext& c) { return MainWindow::of(c).ports().noteDialogs; });
    registerCrossFadeCommands(registry);
    registerPitchPointCommands(registry);
    registerCorrectionCommands(registry);
    registerTempoCommands(registry);
    registerNotePropertyCommands(registry, [](EditContext& c) { return MainWindow::of(c).ports().noteDialogs; });
    registerTuningCommands(registry, [](EditContext& c) { return MainWindow::of(c).ports().tuningDialogs; });
    registerPitchCommands(registry, [](EditContext& c) { return MainWindow::of(c).ports().noteDialogs; });
    registerExchangeCommands(registry);
    registerVoiceBankNoteCommands(
        registry, [](EditContext& c) { return MainWindow::of(c).ports().suffixBroker; },
        [](EditContext& c) { return MainWindow::of(c).ports().samplePicker; });
    registerCommandAliases(registry);
}

}  // namespace tova
