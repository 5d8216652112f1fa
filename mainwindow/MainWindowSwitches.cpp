// The view and MIDI switches of the tool row, and the menu commands that open folders, the readme, the
// about box, the voice profile and the plug-in menu.
#include "mainwindow/MainWindow.h"

#include "commands/NotAvailable.h"

#include "core/MessageTable.h"
#include "core/Settings.h"
#include "exchange/PluginList.h"
#include "mainwindow/CoreServices.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/MidiPort.h"
#include "commands/VoiceToolsPort.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "render/CacheFiles.h"

namespace tova {

namespace {
const QString kRoll = QStringLiteral("Picture2");
}

void MainWindow::redraw() {
    DrawBackground();
    DrawNotes();
    view_.setFocusTo(kRoll);
}

void MainWindow::focusRoll() { view_.setFocusTo(kRoll); }
void MainWindow::setTempoBoxText(const QString& text) { view_.setText(QStringLiteral("txtTempo"), text); }

bool MainWindow::traceMode() const { return view_.value(QStringLiteral("chkTraceMode")) == 1; }

bool MainWindow::mode2On() const { return view_.value(QStringLiteral("chkAutoPitchMode2")) == 1; }

void MainWindow::chkAutoPitchMode2_Click() {
    const bool on = mode2On();
    view_.setVisible(QStringLiteral("cmdRender"), on);
    view_.setVisible(QStringLiteral("chkTraceMode"), on);
    view_.setVisible(QStringLiteral("mnNoteDefaultPitch"), on);
    if (on && view_.value(QStringLiteral("chkCurve")) != 1) {
        // Checking the curve switch raises its click handler.
        view_.setValue(QStringLiteral("chkCurve"), 1);
        chkCurve_Click();
    }
    settings().Mode2 = on;
    song.Mode2 = on;
    if (Mode2Lock) return;
    if (view_.shiftHeld()) DeleteCacheFiles(QString());  // the instance's temporary cache
    redraw();
}

void MainWindow::chkCurve_Click() {
    view_.setValue(QStringLiteral("mnShowCurve"), view_.value(QStringLiteral("chkCurve")) != 0 ? 1 : 0);
    if (!Mode2Lock) redraw();
}

void MainWindow::mnShowCurve_Click() {
    const bool on = view_.value(QStringLiteral("mnShowCurve")) == 0;
    const int box = on ? 1 : 0;
    if (view_.value(QStringLiteral("chkCurve")) != box) {
        view_.setValue(QStringLiteral("chkCurve"), box);
        chkCurve_Click();
    }
    view_.setValue(QStringLiteral("mnShowCurve"), box);
    DrawBackground();
    DrawNotes();
}

void MainWindow::chkTraceMode_Click() {
    if (!Mode2Lock) redraw();
}

void MainWindow::chkView_Click() {
    ParamView = int16_t(view_.value(QStringLiteral("chkView")));
    redraw();
}

void MainWindow::mnMeasure3_Click() {
    BeatsPerBar = 3;
    view_.setValue(QStringLiteral("mnMeasure4"), 0);
    view_.setValue(QStringLiteral("mnMeasure3"), 1);
    DrawBackground();
    DrawNotes();
}

void MainWindow::mnMeasure4_Click() {
    BeatsPerBar = 4;
    view_.setValue(QStringLiteral("mnMeasure4"), 1);
    view_.setValue(QStringLiteral("mnMeasure3"), 0);
    DrawBackground();
    DrawNotes();
}

void MainWindow::Combo1_Click() {
    const int entry = view_.value(QStringLiteral("Combo1"));
    if (entry >= 0) NewNoteLength = view_.itemData(QStringLiteral("Combo1"), entry);
}

void MainWindow::optMode_Click(int /*index*/) {
    view_.setMousePointer(kRoll, view_.value(QStringLiteral("optMode"), 1) == 1 ? 99 : 0);
    view_.setFocusTo(kRoll);
}

bool MainWindow::IsToolMode(int shift) const { return shift == 4 || view_.value(QStringLiteral("optMode"), 1) == 1; }

void MainWindow::chkMidiCnn_Click() {
    const QString box = QStringLiteral("chkMidiCnn");
    const int v = view_.value(box);
    if (v == 1) {
        const QString device = settings().MidiInDevName;
        if (device.isEmpty()) {
            Ports::msgBox(GetMessage(QStringLiteral("MIDI入力が設定されていません。")), MsgButtons::OK, MsgIcon::Exclamation);
            view_.setValue(box, 0);
            return;
        }
        // Without the MIDI service no device can be opened.
        const int result = ports_.midi ? ports_.midi->OpenMidiIn(device, view_.windowObject(QStringLiteral("txtMidiCallback1"))) : -1;
        if (result == 0) {
            view_.setEnabled(QStringLiteral("chkMidiIn"), true);
            view_.setEnabled(QStringLiteral("chkSyncScroll"), true);
        } else {
            Ports::msgBox(GetMessage(QStringLiteral("MIDI入力デバイスのオープンに失敗しました。")), MsgButtons::OK,
                          MsgIcon::Exclamation);
            view_.setValue(box, 0);
        }
    } else if (v == 0) {
        if (ports_.midi) ports_.midi->CloseMidiIn();
        view_.setEnabled(QStringLiteral("chkMidiIn"), false);
        if (view_.value(QStringLiteral("chkSyncScroll")) != 0) {
            // Unchecking the box raises its handler, which clears the synchronised-scroll flag.
            view_.setValue(QStringLiteral("chkSyncScroll"), 0);
            chkSyncScroll_Click();
        }
        view_.setEnabled(QStringLiteral("chkSyncScroll"), false);
    }
}

void MainWindow::chkMidiIn_Click() {
    const int v = view_.value(QStringLiteral("chkMidiIn"));
    if (!ports_.midi) return;
    if (v == 0) ports_.midi->SetStepInput(false);
    else if (v == 1) ports_.midi->SetStepInput(true);
}

void MainWindow::chkSyncScroll_Click() {
    if (ports_.midi) ports_.midi->SetSyncScroll(view_.value(QStringLiteral("chkSyncScroll")) > 0);
}

void MainWindow::chkMidiMon_Click() {
    const QString box = QStringLiteral("chkMidiMon");
    const int v = view_.value(box);
    if (v == 0) {
        if (ports_.midi) ports_.midi->CloseMidiOut();
    } else if (v == 1) {
        const QString device = settings().MidiOutDevName;
        if (device.isEmpty()) {
            Ports::msgBox(GetMessage(QStringLiteral("MIDI出力が設定されていません。")), MsgButtons::OK, MsgIcon::Exclamation);
            view_.setValue(box, 0);
            return;
        }
        const int result = ports_.midi ? ports_.midi->OpenMidiOut(device, view_.windowObject(QStringLiteral("txtMidiCallback2"))) : -1;
        if (result != 0) {
            Ports::msgBox(GetMessage(QStringLiteral("MIDI出力デバイスのオープンに失敗しました。")), MsgButtons::OK,
                          MsgIcon::Exclamation);
            view_.setValue(box, 0);
        }
    }
}

// ---------------------------------------------------------------------------------------------------

void MainWindow::Image1_Click() {
    if (song.VoiceDir.isEmpty()) return;
    if (!ports_.voiceTools) {
        ReportNotAvailable(QStringLiteral("音源の情報"));
        return;
    }
    ports_.voiceTools->ShowVoiceProperty(song.VoiceDir, view_.text(QStringLiteral("lblVoice")), false,
                                         view_.windowObject(QStringLiteral("Form1")));
}

void MainWindow::mnPluginFolder_Click() {
    if (ports_.core) ports_.core->shellOpen(GetPluginsFolder());
}

void MainWindow::mnShowReadme_Click() {
    if (!ports_.core || ports_.core->showProgramReadme()) return;
    // The readme is gone or unreadable: say so rather than do nothing.
    const QString path = PathText::join(SystemPaths::programFolder(), QStringLiteral("readme.txt"));
    Ports::msgBox(GetMessage(QStringLiteral("{1}を開けませんでした。"), path), MsgButtons::OK, MsgIcon::Exclamation);
}

void MainWindow::BuildPluginMenu() {
    const QString menu = QStringLiteral("mnPlugin");
    for (int i = view_.menuArrayUpper(menu); i >= 1; --i) view_.unloadMenuElement(menu, i);
    if (LoadPluginList() < 1) {
        view_.setVisible(menu, true, 0);
        return;
    }
    int k = 1;
    for (const QString& name : PluginMenuNames()) {
        view_.loadMenuElement(menu, k);
        view_.setText(menu, name, k);
        view_.setVisible(menu, true, k);
        view_.setEnabled(menu, true, k);
        ++k;
    }
    view_.setVisible(menu, false, 0);
}

}  // namespace tova
