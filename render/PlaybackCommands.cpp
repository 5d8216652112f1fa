#include "render/PlaybackCommands.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Midi.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "platform/EventGuard.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "render/MciPort.h"
#include "render/PlayState.h"
#include "render/RenderWindow.h"
#include "render/SelectionRenderer.h"
#include "song/Song.h"

#include <filesystem>
#include <system_error>

namespace tova {
namespace {

// Runs one step of a command whose failing steps are skipped (unless DebugMode is on, when the
// failure goes on to the caller).
template <class F>
void skippable(F&& step) {
    if (EventGuard::debugMode()) {
        step();
        return;
    }
    try {
        step();
    } catch (...) {
    }
}

// Runs a command that ends at its first failure with the unexpected-failure message (unless DebugMode
// is on).
template <class F>
void trapped(F&& command) {
    if (EventGuard::debugMode()) {
        command();
        return;
    }
    try {
        command();
    } catch (...) {
        Ports::msgBox(GetMessage(QStringLiteral("予期せぬエラー")));
    }
}

QString describe(std::exception_ptr failure) {
    try {
        std::rethrow_exception(failure);
    } catch (const TovaError& e) {
        return e.description();
    } catch (const std::exception& e) {
        return QString::fromLocal8Bit(e.what());
    } catch (...) {
        return QString();
    }
}

// The short form of a path for the multimedia layer; the path itself while it does not exist yet.
QString shortForm(const QString& path) {
    const QString s = GetShortPath(path);
    return s.isEmpty() ? path : s;
}

// An absolute or network path: "/" first, two separators first, or a drive mark.
bool isRootedPath(const QString& path) {
    return path.startsWith(u'/') || path.startsWith(QStringLiteral("\\\\")) || path.contains(QStringLiteral(":\\")) ||
           path.contains(QStringLiteral(":/"));
}

// Copies a file over an existing one; a failure raises FileError.
void copyOver(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::copy_file(std::filesystem::path(from.toStdU16String()), std::filesystem::path(to.toStdU16String()),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        throw FileError(QStringLiteral("ファイルをコピーできません。 ") + to + QStringLiteral(" (") +
                            QString::fromLocal8Bit(error.message().c_str()) + QStringLiteral(")"),
                        75);
}

// A file that the sound device would not open or play (no device, a refused connection): said in words,
// the window stays as it was.
void showPlayFailure(const QString& failure) {
    Ports::msgBox(GetMessage(QStringLiteral("サウンドを再生できません：{1}"), failure), MsgButtons::OK, MsgIcon::Exclamation);
}

}  // namespace

PlaybackCommands::PlaybackCommands(Song& song, RenderWindow& window, PlayState& state, MciPort& mci,
                                   SelectionRenderer& renderer)
    : song_(song), window_(window), state_(state), mci_(mci), renderer_(renderer) {}

QString PlaybackCommands::TempWavePath() { return TempFolder + QStringLiteral("/temp.wav"); }

QString PlaybackCommands::tempPath() const { return shortForm(TempWavePath()); }

QString PlaybackCommands::OutputWavePath(const QString& outputName, const QString& projectPath) {
    if (isRootedPath(outputName)) return outputName;
    const qsizetype cut = PathText::lastSeparator(projectPath);
    if (cut < 0) return outputName;
    return projectPath.left(cut + 1) + outputName;
}

void PlaybackCommands::btnPlay_Click() {
    if (song_.noteCount() == 0)
        Ports::msgBox(GetMessage(QStringLiteral("音符が入力されていません")));
    else
        playSelection();
    window_.FocusRoll();
}

void PlaybackCommands::btnPause_Click() {
    mnPauseTemp_Click();
    window_.FocusRoll();
}

void PlaybackCommands::btnStop_Click() {
    mnStopTemp_Click();
    window_.FocusRoll();
}

void PlaybackCommands::mnPlayTemp_Click() { playSelection(); }

void PlaybackCommands::playSelection() {
    trapped([&] {
        const qint32 count = song_.noteCount();
        if (song_.SelStart == song_.SelEnd && song_.SelStart >= count) {
            Ports::msgBox(GetMessage(QStringLiteral("選択部分がありません。再生する範囲を選択してください。")), MsgButtons::OK,
                          MsgIcon::Exclamation);
            return;
        }
        const qint32 first = qMin(song_.SelStart, song_.SelEnd);
        qint32 last = qMax(song_.SelStart, song_.SelEnd);
        if (last == count) --last;
        PlayTemp(first, last);
    });
}

void PlaybackCommands::PlayTemp(qint32 first, qint32 last) {
    const QString mode = mci_.GetMode(tempPath());
    if (mode == QStringLiteral("paused")) {
        const QString failure = mci_.Play(tempPath());
        if (!failure.isEmpty())
            showPlayFailure(failure);
        else
            window_.SetPlayTimerEnabled(true);
        return;
    }
    if (mode == QStringLiteral("playing")) return;
    // The device holds the file open: release it before the render writes the file again.
    if (mode == QStringLiteral("stopped")) mci_.Close(tempPath());
    qint32 from = first, to = last;
    if (!renderer_.RenderSelectionToTemp(from, to)) return;
    const QString path = tempPath();
    QString failure = mci_.Open(path);
    if (failure.isEmpty()) {
        mci_.SendString(QStringLiteral("Seek \"") + PathText::baseName(path) + QStringLiteral("\" to start"));
        failure = mci_.Play(path);
    }
    if (!failure.isEmpty()) {
        mci_.Close(path);  // nothing stays half open: the next play starts over
        showPlayFailure(failure);
        return;
    }
    state_.PlayStartNote = first;
    window_.SetPlayTimerEnabled(true);
}

void PlaybackCommands::mnPlayAgain_Click() {
    QString mode;
    skippable([&] { mode = mci_.GetMode(tempPath()); });
    QString failure;
    skippable([&] {
        if (mode.startsWith(QStringLiteral("NG:"))) failure = mci_.Open(tempPath());
    });
    skippable([&] {
        mci_.SendString(QStringLiteral("Seek \"") + PathText::baseName(tempPath()) + QStringLiteral("\" to start"));
    });
    skippable([&] {
        if (failure.isEmpty()) failure = mci_.Play(tempPath());
    });
    if (!failure.isEmpty())
        showPlayFailure(failure);
    else
        window_.SetPlayTimerEnabled(true);
}

void PlaybackCommands::mnPauseTemp_Click() {
    skippable([&] { mci_.Pause(tempPath()); });
}

void PlaybackCommands::mnStopTemp_Click() {
    skippable([&] { mci_.Close(tempPath()); });
}

void PlaybackCommands::mnTempSaveAt_Click() {
    FileDialogRequest request;
    request.save = true;
    request.overwritePrompt = true;
    request.filter = QStringLiteral("wavファイル(*.wav)|*.wav|すべてのファイル(*.*)|*.*");
    request.fileName = QStringLiteral("temp.wav");
    request.filterIndex = 1;
    FileDialogResult result;
    if (!Ports::fileDialog().run(request, result)) return;
    const QString temp = TempWavePath();
    if (result.fileName == temp) return;
    if (EventGuard::debugMode()) {
        copyOver(temp, result.fileName);
        return;
    }
    try {
        copyOver(temp, result.fileName);
    } catch (...) {
        Ports::msgBox(GetMessage(QStringLiteral("予期せぬエラー：{1}"), describe(std::current_exception())));
    }
}

void PlaybackCommands::mnMCIPlay_Click() { outputPlayer(OutputCommand::Play); }
void PlaybackCommands::mnMCIPause_Click() { outputPlayer(OutputCommand::Pause); }
void PlaybackCommands::mnMCIStop_Click() { outputPlayer(OutputCommand::Stop); }

void PlaybackCommands::outputPlayer(OutputCommand command) {
    if (song_.ProjectPath.isEmpty()) {
        if (command == OutputCommand::Play)
            Ports::msgBox(GetMessage(QStringLiteral("このコマンドを実行する前にプロジェクトを保存してください。")));
        return;
    }
    QString file = OutputWavePath(song_.OutFile, song_.ProjectPath);
    bool found = false;
    skippable([&] { found = !SafeDir(file).isEmpty(); });
    if (!found) {
        if (command == OutputCommand::Play) Ports::msgBox(GetMessage(QStringLiteral("wavファイルが生成されていません。")));
        return;
    }
    file = shortForm(file);
    switch (command) {
    case OutputCommand::Pause:
        skippable([&] { mci_.Pause(file); });
        break;
    case OutputCommand::Stop:
        skippable([&] { mci_.Close(file); });
        break;
    case OutputCommand::Play: {
        QString mode;
        skippable([&] { mode = mci_.GetMode(file); });
        skippable([&] {
            if (mode == QStringLiteral("playing") || mode == QStringLiteral("paused") || mode == QStringLiteral("stopped"))
                mci_.Close(file);
        });
        QString failure;
        skippable([&] { failure = mci_.Open(file); });
        skippable([&] {
            if (failure.isEmpty()) failure = mci_.Play(file);
        });
        if (!failure.isEmpty()) showPlayFailure(failure);
        break;
    }
    }
}

void PlaybackCommands::tmrPlaying_Timer() {
    // The timer ignores every failure, also with DebugMode on: it runs 31 times a second while
    // "temp.wav" plays, and switches itself off once it has seen the sound pause or stop.
    auto ignore = [](auto&& step) {
        try {
            step();
        } catch (...) {
        }
    };
    QString mode;
    ignore([&] { mode = mci_.GetMode(tempPath()); });
    if (mode != QStringLiteral("playing")) {
        state_.PlayPosition = 0;
        ignore([&] { window_.HidePlayCursor(); });
        if (mode == QStringLiteral("stopped")) {
            // Played to its end.
            ignore([&] { window_.DrawNotes(); });
            ignore([&] { mci_.Close(tempPath()); });
        }
        ignore([&] { window_.SetPlayTimerEnabled(false); });
        return;
    }
    ignore([&] {
        double position = 0;
        state_.PlayPosition = Vb::TryParse(mci_.Status(tempPath(), QStringLiteral("position")), position)
                                  ? Vb::CLng(position)
                                  : 0;
    });
    if (state_.PlayingNote >= 0) {
        qint32 note = state_.PlayingNote;
        ignore([&] { window_.ScrollToTick(note, 0.5); });
        ignore([&] { window_.DrawBackground(); });
    }
    ignore([&] { window_.DrawNotes(); });
}

void PlaybackCommands::tmrMidiNote_Timer() {
    MidiNoteOff();
    window_.SetMidiNoteTimerEnabled(false);
}

}  // namespace tova
