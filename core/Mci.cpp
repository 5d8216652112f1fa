#include "core/Mci.h"

#include "core/MciSystem.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/audio/AsyncSound.h"

namespace tova {
namespace {

QString quoted(const QString& text) { return u'"' + text + u'"'; }

// The text of a command's result: "" for success.
QString failureText(int code) {
    if (code == 0) return QString();
    QString text;
    return MciGetErrorString(code, &text) ? text : QStringLiteral("Error (文字列が取れません)");
}

// The answer buffers of the command interface: 256 and 512 characters with a closing NUL.
QString untilNul(const QString& text, qsizetype capacity) {
    QString s = text.left(capacity - 1);
    const qsizetype nul = s.indexOf(QChar(0));
    return nul < 0 ? s : s.left(nul);
}

}  // namespace

QString GetMciAlias(const QString& path) { return PathText::baseName(path); }

int MciSendString(const QString& command, QString* answer) { return MciSystem::instance().sendString(command, answer); }

bool MciGetErrorString(int code, QString* text) { return MciSystem::errorString(code, text); }

QString MciOpen(const QString& path) {
    const QString alias = GetMciAlias(path);
    const QString held = MciSystem::instance().fileOf(alias);
    if (!held.isEmpty() && held != MciSystem::fileKey(path)) MciClose(path);
    return failureText(MciSendString(QStringLiteral("Open ") + quoted(path) + QStringLiteral(" alias ") + alias));
}

void MciClose(const QString& path) { MciSendString(QStringLiteral("Close ") + quoted(GetMciAlias(path))); }

QString MciPlay(const QString& path) {
    return failureText(MciSendString(QStringLiteral("Play ") + quoted(GetMciAlias(path))));
}

void MciPause(const QString& path) { MciSendString(QStringLiteral("Pause ") + quoted(GetMciAlias(path))); }

QString MciStatus(const QString& path, const QString& item) {
    QString answer;
    const int code =
        MciSendString(QStringLiteral("Status ") + quoted(GetMciAlias(path)) + u' ' + item, &answer);
    if (code == 0) return untilNul(answer, 256);
    QString text;
    const QString message =
        MciGetErrorString(code, &text) ? untilNul(text, 512) : QStringLiteral("Error (文字列が取れません)");
    return QStringLiteral("NG:") + message;
}

QString MciGetMode(const QString& path) { return MciStatus(path, QStringLiteral("mode")); }

void PlaySoundAsync(const QString& path) { AsyncSound::play(path.isEmpty() ? path : FileSystem::resolve(path)); }

}  // namespace tova
