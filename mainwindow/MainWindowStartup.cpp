// Start-up of the program and the new (empty) project.
#include "mainwindow/MainWindow.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "mainwindow/CoreServices.h"
#include "mainwindow/DefaultVoiceGeneratorPort.h"
#include "platform/EventGuard.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/ProgramInfo.h"
#include "mainwindow/ProjectFilesPort.h"
#include "mainwindow/RollCanvas.h"
#include "mainwindow/RollCoordinates.h"
#include "mainwindow/Startup.h"
#include "exchange/VoiceBankAccess.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"
#include "render/RenderLeftovers.h"

#include <QFile>

#include <exception>

namespace tova {

namespace {
// Runs one step whose failures are passed over.
template <typename F>
void ignoringErrors(F&& step) {
    try {
        step();
    } catch (...) {
    }
}
}  // namespace

bool MainWindow::CheckDefaultVoiceTools(const QString& folder) {
    if (!ports_.generator || !ports_.core) return false;
    return tova::CheckDefaultVoiceTools(folder, ports_.generator->files(),
                                        [this](const QString& path) { return ports_.core->md5File(path); });
}

QString MainWindow::GetDefaultVoicePath() {
    const QStringList list = ports_.voiceBanks ? ports_.voiceBanks->VoiceBankList() : QStringList();
    return DefaultVoicePathIn(list, settings().DefaultVoice);
}

MainWindow::StartResult MainWindow::Form_Load(const QString& commandLine) {
    CommandLine = commandLine;
    const QString programFolder = SystemPaths::programFolder();
    CoreServices* core = ports_.core;

    // 1-2: the default-voice generator runs once, when its batch lies in the default voice folder and
    // the generator's files are the ones shipped.
    const QString voiceFolder = DefaultVoiceFolder(programFolder);
    const QString batch = PathText::join(voiceFolder, QStringLiteral("initvox.bat"));
    if (core && !SafeDir(batch).isEmpty() && CheckDefaultVoiceTools(voiceFolder)) {
        view_.processEvents();
        core->setCurrentFolder(voiceFolder);
        ports_.generator->Generate(*core, PathText::join(programFolder, QStringLiteral("batrun")), batch);
        core->setCurrentFolder(programFolder);
    }

    // 3: the installer's switches, compared exactly.
    if (commandLine == u"/Commit") return StartResult::EndProgram;
    if (commandLine == u"/Uninstall") {
        QStringList waves;
        for (QString name = SafeDir(PathText::join(voiceFolder, QStringLiteral("*.wav"))); !name.isEmpty(); name = SafeDir())
            waves << name;
        for (const QString& name : waves) QFile::remove(FileSystem::resolve(PathText::join(voiceFolder, name)));
        return StartResult::EndProgram;
    }

    // 4-9: every failure is passed over.
    int instance = 0;
    ignoringErrors([&] {
        if (core) instance = core->countInstance();
    });
    QString temp = InstanceTempFolderPath(instance, core ? core->tempVariable() : QString(), programFolder);
    ignoringErrors([&] {
        if (core) temp = core->makeTempFolder(instance, temp, InstanceTempFolderInTempRoot(instance, core->tempVariable()));
    });
    TempFolder = temp;
    song.TempFolder = temp;
    // A render of an earlier run that was killed may have left temporary files of its own there.
    ignoringErrors([&] {
        RenderLeftovers::Remove(PathText::join(temp, QStringLiteral("temp.wav")), {temp},
                                PathText::join(temp, QStringLiteral("temp.cache")));
    });
    ignoringErrors([&] { view_.showSplash(); });
    ignoringErrors([&] {
        if (!core) return;
        core->initWheelHook();
        core->hookWheel(TargetHwnd(), [this](int16_t direction, int16_t& keys) { WheelEvent(direction, keys); });
    });
    ignoringErrors([&] {
        // At start the readme is shown only when it is there; the Help item says when it is not.
        if (core && core->checkReadMarker(programFolder)) core->showProgramReadme();
    });
    ignoringErrors([&] {
        if (!core || !core->loadSettings(view_.placement())) {
            settings().CacheEnable = true;
            settings().CacheDeleteOnUnload = true;
        }
    });

    // 10: from here on a failure ends the start-up with a message, unless DebugMode is on.
    if (EventGuard::debugMode()) {
        runStartupFrom10();
        return StartResult::Run;
    }
    try {
        runStartupFrom10();
    } catch (const TovaError& e) {
        view_.closeSplash();
        EventGuard::reportHandlerFailure(e.description(), CommandLine);
    } catch (const std::exception& e) {
        view_.closeSplash();
        EventGuard::reportHandlerFailure(QString::fromUtf8(e.what()), CommandLine);
    }
    return StartResult::Run;
}

void MainWindow::runStartupFrom10() {
    CoreServices* core = ports_.core;
    const QString programFolder = SystemPaths::programFolder();

    // 11: view defaults.
    Scale.Zoom = 2.0f;
    Scale.RowHeight = 210;
    BeatsPerBar = 4;
    view_.setValue(QStringLiteral("mnMeasure4"), 1);

    // 12: the mode-2 switch follows the setting; its handler runs only when the box changes, and the
    // raised lock keeps it from redrawing or touching the cache.
    Mode2Lock = true;
    const int mode2 = settings().Mode2 ? 1 : 0;
    if (view_.value(QStringLiteral("chkAutoPitchMode2")) != mode2) {
        view_.setValue(QStringLiteral("chkAutoPitchMode2"), mode2);
        chkAutoPitchMode2_Click();
    }
    Mode2Lock = false;

    // 13
    if (core) core->loadMessageTable();
    // 14: selecting the length entry raises its click handler.
    view_.setValue(QStringLiteral("Combo1"), 2);
    Combo1_Click();
    // 15
    song.UndoPos = 0;
    song.UndoTexts.clear();
    // 16
    view_.setText(QStringLiteral("txtTempo"), QStringLiteral("120.0"));
    song.Tempo = 120.0f;
    UpdateTempoStatus(120.0f);
    // 17
    view_.setValue(QStringLiteral("cmbQuntize"), 2);
    // 18
    CurNote = -1;
    song.IsModified = false;
    // 19
    view_.setStatusText(4, settings().MultiMove ? QStringLiteral("M") : QString());
    // 20: a default entry for a voice bank beside the program when no voice bank is registered.
    const QString beside = PathText::join(programFolder, QStringLiteral("cantu"));
    if (settings().OtoList.isEmpty() && !SafeDir(PathText::join(beside, QStringLiteral("*.wav"))).isEmpty())
        settings().OtoList = QStringList{GetMessage(QStringLiteral("デフォルト")) + u'\t' + beside};
    // 21-23
    if (ports_.voiceBanks) ports_.voiceBanks->LoadVoiceBankList();
    UpdateRecentFilesMenu();
    NewProject();
    // 24
    view_.setPictureColors(QStringLiteral("Picture2"), settings().COLOR_FORE, settings().COLOR_BACK);
    // 25
    InitPlugins();
    // 26
    const QString icon = ProgramInfo::IconFile(settings().FormIcon);
    if (!icon.isEmpty()) view_.setIconFile(icon);
    // 27
    if (core) {
        core->applyMenuStrings(view_.localizable());
        core->applyLabelButtonStrings(view_.localizable());
    }
    // 28
    song.IsModified = false;

    // 29: a recovery copy left by a copy of the program that did not end normally. The question is
    // only asked when projects can be opened: answering Yes must bring the project back.
    const QString recovery = RecoveryFilePath(TempFolder);
    if (ports_.projectFiles && !recovery.isEmpty() && FileExists(recovery)) {
        const MsgResult answer =
            Ports::msgBox(GetMessage(QStringLiteral("以前に異常終了したプロジェクトが見つかりました。回復しますか？")),
                          MsgButtons::YesNo, MsgIcon::Information);
        if (answer == MsgResult::Yes) {
            ports_.projectFiles->OpenFileByType(*this, recovery);
            song.ProjectPath.clear();
            song.SetModified(true);
        }
    }

    // 30: the command line, unless a recovery took place.
    if (!song.IsModified) {
        QString code;
        if (!CommandLine.isEmpty() && ports_.projectFiles) code = ports_.projectFiles->ProcessCommandLine(*this, CommandLine);
        if (code != u"LOADPROJ" && code != u"VOICEDIR" && !song.VoiceDir.isEmpty() && ports_.voiceBanks) {
            ports_.voiceBanks->LoadOtoIni(song.VoiceDir);
            ports_.voiceBanks->LoadPrefixMap(song.VoiceDir);
        }
    }
    // 31-32
    if (ports_.projectFiles) ports_.projectFiles->ShowVoiceInfo(*this);
    view_.closeSplash();
}

void MainWindow::NewProject() {
    if (ports_.voiceBanks) ports_.voiceBanks->ClearOtoTable();
    NoteGeometry = {NoteGeometryRecord()};
    PitchCurvePts = {CurvePoint()};
    VibratoCurvePts = {CurvePoint()};
    song.SelStart = 0;
    song.SelEnd = 0;
    song.makeEmpty();

    // The vertical range of the whole roll (85 rows); a roll taller than that gets 55.
    const int rh = Scale.RowHeight;
    const double inner = view_.picture(QStringLiteral("Picture2")).scaleHeight();
    int m = Vb::CLng((double(rh) * Roll::Rows - inner) / rh);
    if (m < 0) m = 55;
    VScroll1.setMax(m);
    view_.setScrollBar(QStringLiteral("VScroll1"), VScroll1);
    SetVScrollValue(VScroll1.Max >= 28 ? 28 : Vb::CLng(double(VScroll1.Max) * 2 / 3));
    // The new song is shown from its beginning: the old song's position and length would leave the roll
    // far past the new song's end, with the old song's range on the bar until the next redraw.
    SongLength = 0;
    SetHScrollValue(0);

    song.VoiceDir = GetDefaultVoicePath();
    song.Tool1 = settings().Tool1Path;
    song.Tool2 = settings().Tool2Path;
    song.ProjectName = GetMessage(QStringLiteral("新規プロジェクト"));
    song.ProjectPath.clear();
    song.CacheDir.clear();
    song.ProjectFlags.clear();
    UpdateCaption();
    song.ResetUndoHistory();
    view_.setText(QStringLiteral("txtTempo"), QStringLiteral("120.0"));
    song.Tempo = 120.0f;
    UpdateTempoStatus(120.0f);
}

void MainWindow::UpdateTempoStatus(float tempo) {
    if (tempo != 0) view_.setText(QStringLiteral("txtTempo"), Vb::Format(tempo, QStringLiteral("0.00")));
    else tempo = song.Tempo;
    view_.setStatusText(1, Vb::Format(60.0 / double(tempo), QStringLiteral("0.000000")) + QStringLiteral(" sec"));
}

void MainWindow::UpdateRecentFilesMenu() {
    const QString menu = QStringLiteral("mnHistory");
    const QStringList& history = settings().History;
    const int n = int(history.size()) - 1;
    if (n < 1) {
        view_.setVisible(menu, true, 0);
        return;
    }
    for (int i = 1; i <= n; ++i) {
        if (i > view_.menuArrayUpper(menu)) view_.loadMenuElement(menu, i);
        view_.setVisible(menu, true, i);
        view_.setText(menu, history[i], i);
    }
    view_.setVisible(menu, false, 0);
}

}  // namespace tova
