#include "render/RenderCommands.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/EventGuard.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemErrorText.h"
#include "platform/lean/Files.h"
#include "render/InProcessRender.h"
#include "render/RenderBatchWriter.h"
#include "render/RenderLeftovers.h"
#include "render/RenderValueCheck.h"
#include "render/ToolTrust.h"
#include "render/RenderWindow.h"
#include "song/Song.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

#include <sys/stat.h>

#include <exception>

namespace tova {
namespace {

const QString kFailed = QStringLiteral("wavファイルの生成に失敗しました。設定を確認してください。");

QString describe(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const TovaError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QStringLiteral("unknown failure");
    }
}

// What a file is on disk, to tell whether a run wrote it anew.
struct FileState {
    bool exists = false;
    struct stat st {};
    bool operator==(const FileState& o) const {
        return exists == o.exists && (!exists || (st.st_ino == o.st.st_ino && st.st_dev == o.st.st_dev &&
                                                  st.st_size == o.st.st_size && st.st_mtim.tv_sec == o.st.st_mtim.tv_sec &&
                                                  st.st_mtim.tv_nsec == o.st.st_mtim.tv_nsec));
    }
};

FileState stateOf(const QString& path) {
    FileState f;
    f.exists = ::stat(QFile::encodeName(FileSystem::resolve(path)).constData(), &f.st) == 0;
    return f;
}

// A wave holds all its header announces: "RIFF", a size, "WAVE", and at least that many bytes.
bool isWholeWave(const QString& path) {
    QFile f;
    if (!FileSystem::openRegularFile(f, path)) return false;
    const QByteArray head = f.read(12);
    if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return false;
    const quint32 size = qFromLittleEndian<quint32>(head.constData() + 4);
    return f.size() >= qint64(size) + 8;
}

// The runner's exit code as it left it in the status file; -1 when it left none.
int runnerExitCode(const QString& statusPath) {
    QFile f;
    if (!FileSystem::openRegularFile(f, statusPath)) return -1;
    bool ok = false;
    const int code = QString::fromLatin1(f.read(16)).trimmed().toInt(&ok);
    return ok ? code : -1;
}

// Why a render made no output, as far as the output's place tells: a file there that cannot take a few
// megabytes (a full disk, a quota, no right to write) is named with the reason; otherwise the general
// message. The trial file has the temporary form of the render's own files and is removed at once.
QString failedRenderText(const QString& output) {
    if (!output.isEmpty()) {
        lean::AtomicFile trial(QFile::encodeName(FileSystem::resolve(output)).toStdString());
        const std::string block(std::size_t(1) << 22, '\0');
        if (!trial.isOpen() || !trial.write(block.data(), block.size()))
            return GetMessage(QStringLiteral("{1} を書き込めませんでした。{2}"), output,
                              SystemErrorText(trial.errorNumber()));
    }
    return GetMessage(kFailed);
}

// An unexpected failure: its description under the title "予期せぬエラー".
void reportFailure(std::exception_ptr failure) {
    Ports::msgBox(describe(failure), MsgButtons::OK, MsgIcon::None, GetMessage(QStringLiteral("予期せぬエラー")));
}

// Runs an operation whose unexpected failures are reported and end it (unless DebugMode is on, when
// they go on to the caller). Answers false after a failure.
template <class F>
bool trapped(F&& operation) {
    try {
        operation();
        return true;
    } catch (const RenderValueError& e) {
        // A project value that no batch line or command line may carry: refused, and said so.
        Ports::msgBox(e.description(), MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    } catch (...) {
        if (EventGuard::debugMode()) throw;
        reportFailure(std::current_exception());
        return false;
    }
}

// A name that holds no folder: no separator of either kind.
bool hasFolder(const QString& name) { return name.contains(u'\\') || name.contains(u'/'); }

}  // namespace

RenderCommands::RenderCommands(Song& song, RenderWindow& window, RenderBatchWriter& writer, InProcessRender& direct)
    : song_(song), window_(window), writer_(writer), direct_(direct) {}

bool RenderCommands::inProcess() const { return settings().NonBatchMode || settings().UseDLL; }

void RenderCommands::mnGenerate_Click() {
    trapped([&] {
        if (song_.ProjectPath.isEmpty()) {
            Ports::msgBox(song_.IsModified ? GetMessage(QStringLiteral("このコマンドを実行する前にプロジェクトを保存してください。"))
                                           : GetMessage(QStringLiteral("何も作成されていません。")));
            return;
        }
        if (song_.VoiceDir.isEmpty()) {
            Ports::msgBox(
                GetMessage(QStringLiteral("音声フォルダが設定されていません。プロジェクトの設定で音声ファイルの場所を設定してください。")),
                MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        const QString projectPath = song_.ProjectPath;
        const QString folder = projectPath.left(PathText::lastSeparator(projectPath) + 1);
        const qsizetype dot = projectPath.lastIndexOf(u'.');
        const QString extension = dot < 0 ? QString() : projectPath.mid(dot);

        if (!song_.OutFile.isEmpty() && !hasFolder(song_.OutFile)) song_.OutFile = folder + song_.OutFile;
        if (!AskOutputFileName(song_.OutFile)) return;

        QString path = projectPath;
        bool made = false;
        if (inProcess()) {
            const RenderEnd end = direct_.RenderDirect(song_.ProjectName, path, 0, song_.noteCount() - 1, song_.OutFile);
            if (end == RenderEnd::Stopped) {
                Ports::msgBox(GetMessage(QStringLiteral("wavファイルの生成を中断しました。")));
                return;
            }
            made = !SafeDir(song_.OutFile).isEmpty();
        } else {
            // A project kept as a render batch names its output relative to the batch's own folder.
            if (extension == QStringLiteral(".bat") && song_.OutFile.startsWith(folder, Qt::CaseInsensitive))
                song_.OutFile = song_.OutFile.mid(folder.size());
            if (!ConfirmProjectTools(song_.Tool1, song_.Tool2)) {
                Ports::msgBox(GetMessage(QStringLiteral("wavファイルの生成を中断しました。")));
                return;
            }
            writer_.GetRenderFileNames(path);
            made = RunBatchAndWait(path, song_.OutFile);
        }
        if (made) {
            // Notes without a sample come out silent: the message says which, so the user can mend them.
            const QString missing = (inProcess() ? direct_.missingSamples() : writer_.missingSamples()).text();
            const QString done = GetMessage(QStringLiteral("{1}を作成しました。"), song_.OutFile);
            if (missing.isEmpty())
                Ports::msgBox(done);
            else
                Ports::msgBox(done + u'\n' + missing, MsgButtons::OK, MsgIcon::Exclamation);
        }
        else
            Ports::msgBox(failedRenderText(song_.OutFile));
    });
}

bool RenderCommands::AskOutputFileName(QString& fileName) {
    bool chosen = false;
    trapped([&] {
        FileDialogRequest request;
        request.save = true;
        request.title = QStringLiteral("出力ファイル名");
        request.overwritePrompt = true;
        request.filter = GetMessage(QStringLiteral("wavファイル")) + QStringLiteral("|*.wav|") +
                         GetMessage(QStringLiteral("すべてのファイル")) + QStringLiteral("|*.*");
        request.filterIndex = 1;
        request.fileName = fileName;
        FileDialogResult result;
        if (!Ports::fileDialog().run(request, result)) return;
        fileName = result.fileName;
        chosen = true;
    });
    return chosen;
}

bool RenderCommands::RunBatchAndWait(const QString& batchPath, QString outputName) {
    bool result = false;
    bool locked = false;
    bool waiting = false;
    const auto unlock = [&] {
        if (waiting) {
            window_.UnloadRunningWindow();
            window_.SetWindowEnabled(true);
            waiting = false;
        }
        if (locked) {
            window_.SetRenderControlsEnabled(true);
            locked = false;
        }
    };
    const bool ok = trapped([&] {
        try {
            const qsizetype cut = PathText::lastSeparator(batchPath);
            if (cut < 0) return;
            const QString folder = batchPath.left(cut);
            if (folder.isEmpty()) {
                Ports::msgBox(GetMessage(QStringLiteral("プロジェクトのファイルパスが不正です。")), MsgButtons::OK,
                              MsgIcon::Exclamation);
                return;
            }
            window_.SetRenderControlsEnabled(false);
            locked = true;
            // Relative names inside the batch and the output name resolve in the batch's folder.
            if (!QDir::setCurrent(folder))
                throw FileError(QStringLiteral("パスが見つかりません。 ") + folder, 76);
            // The output counts only when the runner ran the batch to its end and wrote the output
            // anew, whole: not one left by an earlier render or still being written.
            if (!outputName.contains(u':') && !hasFolder(outputName)) outputName = folder + u'/' + outputName;
            const QString statusPath = batchPath + QStringLiteral(".status");
            QFile::remove(statusPath);
            const FileState before = stateOf(outputName);
            // Temporary files a killed render left of this render's files go first.
            RenderLeftovers::Remove(outputName, {folder}, song_.CacheDir);
            const qint64 process = ShellBatch(batchPath, statusPath);

            window_.SetWindowEnabled(false);
            window_.ShowRunningWindow();
            waiting = true;
            WaitForProcess(process, 100);
            window_.UnloadRunningWindow();
            window_.SetWindowEnabled(true);
            waiting = false;
            // The user stopped waiting: the window is usable again, but the render and play controls
            // stay locked until the batch has ended.
            if (WaitAbort == 1) WaitForProcess(process, 50);

            const int exitCode = runnerExitCode(statusPath);
            QFile::remove(statusPath);
            result = exitCode == 0 && !SafeDir(outputName).isEmpty() && !(stateOf(outputName) == before) &&
                     isWholeWave(outputName);
            window_.SetRenderControlsEnabled(true);
            locked = false;
        } catch (...) {
            unlock();
            throw;
        }
    });
    if (!ok) result = false;
    return result;
}

bool RenderCommands::RenderSelectionToTemp(qint32& first, qint32& last) {
    bool result = false;
    trapped([&] {
        const QString batchPath = TempFolder + QStringLiteral("/temp.bat");
        if (inProcess()) {
            QString output = TempFolder + QStringLiteral("/temp.wav");
            // A render the user stopped plays nothing and needs no message.
            if (direct_.RenderDirect(song_.ProjectName, batchPath, first, last, output) == RenderEnd::Stopped) return;
            if (!SafeDir(output).isEmpty()) {
                result = true;
                return;
            }
            Ports::msgBox(failedRenderText(output), MsgButtons::OK, MsgIcon::Exclamation);
            return;
        }
        // Tools the user would not run: nothing plays, as after a stopped render.
        if (!ConfirmProjectTools(song_.Tool1, song_.Tool2)) return;
        QString output = QStringLiteral("temp.wav");
        writer_.WriteRenderBatch(song_.ProjectName, batchPath, first, last, output);
        if (SafeDir(batchPath).isEmpty()) {
            Ports::msgBox(GetMessage(QStringLiteral("プロジェクトの仮作成に失敗しました。設定を確認してください。")), MsgButtons::OK,
                          MsgIcon::Exclamation);
            return;
        }
        if (RunBatchAndWait(batchPath, QStringLiteral("temp.wav"))) {
            result = true;
            return;
        }
        Ports::msgBox(failedRenderText(TempFolder + QStringLiteral("/temp.wav")), MsgButtons::OK, MsgIcon::Exclamation);
    });
    return result;
}

}  // namespace tova
