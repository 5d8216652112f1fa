#include "mainwindow/ProjectFiles.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "core/SettingsFile.h"
#include "exchange/FileOpenDispatch.h"
#include "exchange/ProjectWindow.h"
#include "exchange/VoiceBankAccess.h"
#include "commands/AppendLoadPort.h"
#include "commands/ArchiveInstallerPort.h"
#include "mainwindow/CommandLinePath.h"
#include "mainwindow/CoreServices.h"
#include "platform/EventGuard.h"
#include "commands/ImportPort.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/MidiPort.h"
#include "commands/NotAvailable.h"
#include "mainwindow/OptionsDialogPort.h"
#include "mainwindow/ProjectSettingsDialog.h"
#include "mainwindow/ProjectSettingsDialogPort.h"
#include "mainwindow/WindowOfProject.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "platform/Ports.h"
#include "song/ProjectPaths.h"
#include "voicebank/VoiceBankManagerPort.h"
#include "render/CacheFiles.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include "render/RenderBatch.h"
#include "song/ProjectFile.h"
#include "render/ToolTrust.h"

#include <QDir>
#include <QFile>

#include <functional>

namespace tova {
namespace {

const QString kSaveQuestion = QStringLiteral("プロジェクトは変更されています。変更を保存しますか？");

void removeFile(const QString& path) {
    if (FileExists(path)) QFile::remove(FileSystem::resolve(path));
}

}  // namespace

ProjectFiles::ProjectFiles(const Services& services) : s_(services) {}

// ---------------------------------------------------------------------------------------------------
// Opening

bool ProjectFiles::OpenFileByType(EditContext& context, const QString& path) {
    MainWindow& w = MainWindow::of(context);
    // The copy of the song that is being replaced is finished first (it may be the file opened here).
    w.song.WaitForRecoveryFile();
    WindowOfProject window(w, *this);
    return FileOpenDispatch(window, *s_.voices).OpenFileByType(path);
}

void ProjectFiles::ShowVoiceInfo(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    WindowOfProject window(w, *this);
    FileOpenDispatch(window, *s_.voices).ShowVoiceInfo();
}

// ---------------------------------------------------------------------------------------------------
// Command line and dropped files

QString ProjectFiles::ProcessCommandLine(EditContext& context, const QString& commandLine) {
    MainWindow& w = MainWindow::of(context);
    const QString path = StripQuotes(commandLine);
    QString code;
    switch (ClassifyCommandLinePath(path)) {
        case CommandLinePathKind::Missing:
            // Said, so that a mistyped name does not pass for a new project.
            Ports::msgBox(GetMessage(QStringLiteral("{1} が見つかりません。"), path), MsgButtons::OK, MsgIcon::Exclamation);
            return QString();
        case CommandLinePathKind::Project:
            if (!AskSaveChanges(w)) return QString();
            if (!OpenFileByType(w, path)) {
                code = QStringLiteral("NOP");
                break;
            }
            w.UpdateCaption();
            AddHistory(w.song.ProjectPath);
            w.UpdateRecentFilesMenu();
            code = QStringLiteral("LOADPROJ");
            break;
        case CommandLinePathKind::ZipArchive:
        case CommandLinePathKind::TvzArchive:
            if (s_.installer) {
                s_.installer->InstallArchive(w, path);
                code = CommandLineExtension(path) == u".zip" ? QStringLiteral("INSTZIP") : QStringLiteral("INSTTVZ");
            } else {
                ReportNotAvailable(QStringLiteral("アーカイブのインストール"));
                code = QStringLiteral("NOP");
            }
            break;
        case CommandLinePathKind::Folder:
            code = UseVoiceFolder(w, path) ? QStringLiteral("VOICEDIR") : QStringLiteral("NOP");
            break;
        case CommandLinePathKind::OtherFile:
            Ports::msgBox(GetMessage(QStringLiteral("{1} はTOVAのプロジェクトファイルではありません"), path), MsgButtons::OK,
                          MsgIcon::Exclamation);
            code = QStringLiteral("NOP");
            break;
    }
    if (!w.view().enabled(QStringLiteral("Form1"))) w.view().setEnabled(QStringLiteral("Form1"), true);
    return code;
}

bool ProjectFiles::UseVoiceFolder(MainWindow& w, const QString& folder) {
    Song& song = w.song;
    const bool holdsBank = FileExists(PathText::join(folder, QStringLiteral("oto.ini"))) ||
                           FileExists(PathText::join(folder, QStringLiteral("あ.wav")));
    if (!holdsBank || folder.isEmpty() || folder == song.VoiceDir) return false;

    QString profileFolder = folder;
    QString name;
    QString image;
    s_.voices->ReadCharacterTxt(profileFolder, name, image);
    if (name.isEmpty()) {
        QString bare = folder;
        while (bare.size() > 1 && PathText::isSeparator(bare.back())) bare.chop(1);
        name = PathText::filePart(bare);
    }
    const MsgResult answer =
        Ports::msgBox(GetMessage(QStringLiteral("音源を'{1}'にしますか？（その場所のまま利用します。インストールはされません）"), name),
                      MsgButtons::OKCancel, MsgIcon::Question);
    if (answer != MsgResult::OK) return false;

    song.VoiceDir = folder;
    s_.voices->LoadOtoIni(song.VoiceDir);
    s_.voices->LoadPrefixMap(song.VoiceDir);
    ShowVoiceInfo(w);
    DeleteWavFiles(CacheFolderOrTemp(song.CacheDir));
    song.SetModified(true);
    song.SaveRecoveryFile();  // a change without an undo step: the recovery copy follows it
    return true;
}

void ProjectFiles::Form_OLEDragDrop(EditContext& context, const QStringList& files) {
    if (!files.isEmpty()) ProcessCommandLine(context, files.first());
}

// ---------------------------------------------------------------------------------------------------
// Saving

bool ProjectFiles::AskSaveChanges(MainWindow& w) {
    if (!w.song.IsModified) return true;
    switch (Ports::msgBox(GetMessage(kSaveQuestion), MsgButtons::YesNoCancel)) {
        case MsgResult::Yes:
            return SaveProject(w);
        case MsgResult::No:
            return true;
        default:
            return false;
    }
}

bool ProjectFiles::SaveProject(MainWindow& w) {
    Song& song = w.song;
    if (song.ProjectPath.isEmpty()) return SaveProjectAs(w);
    if (song.ProjectPath.endsWith(QStringLiteral(".tvx"), Qt::CaseInsensitive)) {
        WriteProject(w, song.ProjectPath);
    } else if (song.ProjectPath.endsWith(QStringLiteral(".bat"), Qt::CaseInsensitive)) {
        // A render batch opened as the project is written back as a render batch. A batch holds no
        // empty song (the writer has no note to write), so an empty song goes through Save As rather
        // than leaving the old batch in place as if it had been saved.
        if (song.noteCount() == 0) return SaveProjectAs(w);
        QString path = song.ProjectPath;
        GetRenderFileNames(song, path);
    } else {
        // Never overwrite a file of another form (an older ".wsq", a file without extension).
        return SaveProjectAs(w);
    }
    song.SetModified(false);
    return true;
}

namespace {

// Where Save As of a song never saved starts: the folder of the last project, else the documents folder,
// else the home folder; never the program folder or a folder inside it.
QString NewProjectFolder() {
    const QString program = QDir(SystemPaths::programFolder()).absolutePath();
    const auto usable = [&program](const QString& folder) {
        if (folder.isEmpty() || !QFileInfo(folder).isDir()) return false;
        const QString absolute = QDir(folder).absolutePath();
        return absolute != program && !absolute.startsWith(program + u'/');
    };
    const QStringList& history = settings().History;
    if (history.size() > 1 && !history[1].isEmpty()) {
        const QString folder = QFileInfo(history[1]).absolutePath();
        if (usable(folder)) return folder;
    }
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (usable(documents)) return documents;
    return QDir::homePath();
}

}  // namespace

bool ProjectFiles::SaveProjectAs(MainWindow& w) {
    Song& song = w.song;
    FileDialogRequest request;
    request.save = true;
    request.title = GetMessage(QStringLiteral("名前を付けて保存"));
    request.filter = QStringLiteral("TOVAスクリプト形式(*.tvx)|*.tvx|すべてのファイル(*.*)|*.*");
    request.filterIndex = 1;
    request.overwritePrompt = true;
    request.defaultExtension = QStringLiteral("tvx");
    if (song.ProjectPath.isEmpty()) {
        request.initialFolder = NewProjectFolder();
        request.fileName = request.initialFolder + u'/' + song.ProjectName;
    } else {
        request.fileName = PathText::withoutExtension(song.ProjectPath);
    }
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return false;
    // A name without an extension would be a file that Save sends back here and Open's filter hides.
    if (PathText::extension(chosen.fileName).isEmpty()) chosen.fileName += QStringLiteral(".tvx");
    WriteProject(w, chosen.fileName);
    song.ProjectPath = chosen.fileName;
    w.UpdateCaption();
    AddHistory(song.ProjectPath);
    w.UpdateRecentFilesMenu();
    return true;
}

void ProjectFiles::WriteProject(MainWindow& w, const QString& path) {
    Song& song = w.song;
    song.CacheDir = ProjectCacheFolder(path);
    const bool mode2 = w.view().value(QStringLiteral("chkAutoPitchMode2")) == 1;
    WriteProjectFile(path, StoredProjectSettings(song, path, s_.voices->VoiceBankList(), mode2), song);
    song.SetModified(false);
}

// ---------------------------------------------------------------------------------------------------
// The File menu

void ProjectFiles::mnNew_Click(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    if (!AskSaveChanges(w)) return;
    Song& song = w.song;
    ProjectSettingsValues values;
    values.ProjectName = GetMessage(QStringLiteral("新規プロジェクト"));
    values.OutFile = QStringLiteral("newfile.wav");
    values.VoiceDir = w.GetDefaultVoicePath();
    values.Tool1 = settings().Tool1Path;
    values.Tool2 = settings().Tool2Path;
    values.CacheDir = CacheFolderOrTemp(song.CacheDir);
    if (!s_.projectSettings->ShowDialog(values)) return;

    // The manager's list belongs to the old project's bank.
    if (VoiceBankManagerPort* manager = w.ports().voiceBankManager) manager->Unload();
    w.NewProject();
    song.ProjectName = values.ProjectName;
    song.OutFile = values.OutFile;
    song.VoiceDir = values.VoiceDir;
    song.Tool1 = values.Tool1;
    song.Tool2 = values.Tool2;
    song.ProjectFlags = values.Flags;
    song.CacheDir.clear();
    song.ProjectPath.clear();
    if (!song.VoiceDir.isEmpty()) {
        s_.voices->LoadOtoIni(song.VoiceDir);
        s_.voices->LoadPrefixMap(song.VoiceDir);
    }
    ShowVoiceInfo(w);
    song.SetModified(false);
    w.UpdateCaption();
    w.DrawBackground();
    w.DrawNotes();
}

void ProjectFiles::mnOpen_Click(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    if (!AskSaveChanges(w)) return;
    FileDialogRequest request;
    request.title = GetMessage(QStringLiteral("ファイルを開く"));
    request.filter = GetMessage(
        QStringLiteral("TOVAスクリプト形式(*.tvx)|*.tvx|旧TOVA形式ファイル(*.wsq)|*.wsq|すべてのファイル(*.*)|*.*"));
    request.filterIndex = 1;
    request.fileMustExist = true;
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return;
    if (!OpenFileByType(w, chosen.fileName)) return;
    w.UpdateCaption();
    AddHistory(w.song.ProjectPath);
    w.UpdateRecentFilesMenu();
}

void ProjectFiles::mnSave_Click(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    if (w.song.IsModified) SaveProject(w);
}

void ProjectFiles::mnSaveAt_Click(EditContext& context) { SaveProjectAs(MainWindow::of(context)); }

void ProjectFiles::mnHistory_Click(EditContext& context, int index) {
    MainWindow& w = MainWindow::of(context);
    if (!AskSaveChanges(w)) return;
    const QString path = w.view().text(QStringLiteral("mnHistory"), index);
    if (!path.isEmpty() && FileExists(path)) {
        if (OpenFileByType(w, path)) AddHistory(w.song.ProjectPath);
    } else {
        RemoveHistory(path);
        Ports::msgBox(GetMessage(QStringLiteral("ファイルは移動されたか削除されています")), MsgButtons::OK,
                      MsgIcon::Exclamation);
    }
    w.UpdateRecentFilesMenu();
}

void ProjectFiles::mnAppendLoad_Click(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    if (!s_.appendLoad) {
        ReportNotAvailable(QStringLiteral("追加で読込"));
        return;
    }
    FileDialogRequest request;
    request.title = GetMessage(QStringLiteral("追加で読み込む"));
    request.filter = GetMessage(QStringLiteral("プロジェクトバッチファイル(*.bat)|*.bat|TOVAスクリプト形式(*.tvx)|*.tvx|"
                                               "旧TOVA形式ファイル(*.wsq)|*.wsq|すべてのファイル|*.*"));
    request.filterIndex = 2;
    request.fileMustExist = true;
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return;
    s_.appendLoad->AppendLoadFile(w, chosen.fileName);
}

void ProjectFiles::mnImport_Click(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    if (!s_.import) {
        ReportNotAvailable(QStringLiteral("インポート"));
        return;
    }
    if (!AskSaveChanges(w)) return;
    FileDialogRequest request;
    request.title = GetMessage(QStringLiteral("インポート"));
    request.filter = GetMessage(QStringLiteral("SMF形式ファイル(*.smf,*.mid,*.midi,*.kar)|*.smf;*.mid;*.midi;*.kar|VSQ形式ファイル(*.vsq)|*.vsq"));
    request.fileMustExist = true;
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return;
    s_.import->ImportMidiOrVsq(w, chosen.fileName);
    w.UpdateCaption();
}

void ProjectFiles::mnProjSetting_Click(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    Song& song = w.song;
    ProjectSettingsValues values;
    values.ProjectName = song.ProjectName;
    values.OutFile = StoredProjectRelative(song.OutFile, song.ProjectPath);
    values.VoiceDir = song.VoiceDir;
    values.Tool1 = song.Tool1;
    values.Tool2 = song.Tool2;
    values.CacheDir = song.CacheDir;
    values.Flags = song.ProjectFlags;
    const QString previousVoiceDir = song.VoiceDir;
    if (!s_.projectSettings->ShowDialog(values)) return;

    song.ProjectName = values.ProjectName;
    song.VoiceDir = values.VoiceDir;
    // A tool the user chose here is one the user runs: no question about it at render time.
    if (values.Tool1 != song.Tool1) AcceptTool(values.Tool1);
    if (values.Tool2 != song.Tool2) AcceptTool(values.Tool2);
    song.Tool1 = values.Tool1;
    song.Tool2 = values.Tool2;
    song.ProjectFlags = values.Flags;
    // A bare or relative name lies in the project's folder; a full path typed by the user is taken.
    song.OutFile = ResolveProjectRelative(values.OutFile, song.ProjectPath);
    if (song.VoiceDir != previousVoiceDir && !song.VoiceDir.isEmpty()) {
        s_.voices->LoadOtoIni(song.VoiceDir);
        s_.voices->LoadPrefixMap(song.VoiceDir);
    }
    ShowVoiceInfo(w);
    song.SetModified(true);
    song.SaveRecoveryFile();  // a change without an undo step: the recovery copy follows it
}

void ProjectFiles::mnOptions_Click(EditContext&) {
    if (!s_.options) {
        ReportNotAvailable(QStringLiteral("オプション"));
        return;
    }
    s_.options->ShowOptions(1);
}

// ---------------------------------------------------------------------------------------------------
// Unload

bool ProjectFiles::Form_Unload(EditContext& context) {
    MainWindow& w = MainWindow::of(context);
    UnloadCancelled = false;
    CoreServices* core = w.ports().core;
    if (w.song.IsModified) {
        const MsgResult answer = Ports::msgBox(GetMessage(kSaveQuestion), MsgButtons::YesNoCancel);
        if (answer == MsgResult::Cancel) {
            UnloadCancelled = true;
            return true;
        }
        if (answer == MsgResult::Yes) {
            // A save that does not happen, or fails, keeps the window and the recovery copy.
            bool saved = false;
            try {
                saved = SaveProject(w);
            } catch (const TovaError& e) {
                EventGuard::reportHandlerFailure(e.description());
            } catch (const std::exception& e) {
                EventGuard::reportHandlerFailure(QString::fromLocal8Bit(e.what()));
            }
            if (!saved) {
                UnloadCancelled = true;
                return true;
            }
        }
    }
    // A failure to write the settings is reported, and the unload goes on.
    EventGuard::runHandler([&] {
        if (core) core->saveSettings(w.view().placement());
    });

    // From here every failure is passed over: a file that cannot be deleted stays behind.
    const auto ignoringErrors = [](const std::function<void()>& step) {
        try {
            step();
        } catch (...) {
        }
    };
    ignoringErrors([&] {
        if (core) core->unhookWheels();
    });
    // The recovery copy's writer finishes before the copy is deleted, or it would write it again.
    w.song.WaitForRecoveryFile();
    const QString temp = TempFolder;
    if (!temp.isEmpty()) {
        for (const char* name : {"temp.bat", "temp_helper.bat", "regen.bat"})
            ignoringErrors([&] { removeFile(PathText::join(temp, QString::fromLatin1(name))); });
        ignoringErrors([&] { removeFile(RecoveryFilePath(temp)); });
        ignoringErrors([&] {
            const QString recoveryCache = ProjectCacheFolder(RecoveryFilePath(temp));
            if (!FileSystem::isFolder(recoveryCache)) return;
            QDir dir(FileSystem::resolve(recoveryCache));
            for (const QString& name : dir.entryList(QDir::Files | QDir::Hidden)) dir.remove(name);
            QDir().rmdir(dir.path());
        });
        ignoringErrors([&] {
            const QString tempWave = PathText::join(temp, QStringLiteral("temp.wav"));
            if (!FileExists(tempWave)) return;
            if (core) core->mciClose(GetShortPath(tempWave));
            QFile::remove(FileSystem::resolve(tempWave));
        });
    }
    ignoringErrors([&] { CleanCacheOnExit(w.song.CacheDir); });
    ignoringErrors([&] {
        if (core) core->closeInstanceMap();
    });
    ignoringErrors([&] {
        if (!temp.isEmpty() && FileSystem::isFolder(temp)) QDir().rmdir(FileSystem::resolve(temp));
    });
    if (MidiPort* midi = w.ports().midi) {
        ignoringErrors([&] { midi->CloseMidiIn(); });
        ignoringErrors([&] { midi->CloseMidiOut(); });
    }
    // No window of the program stays open.
    ignoringErrors([&] {
        if (VoiceBankManagerPort* manager = w.ports().voiceBankManager) manager->Unload();
    });
    return false;
}

}  // namespace tova
