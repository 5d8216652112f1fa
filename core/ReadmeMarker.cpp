#include "core/ReadmeMarker.h"

#include "core/FileHelpers.h"
#include "platform/Cp932.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QSysInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tova {
namespace {

bool fileFound(const QString& path) { return !SafeDir(path).isEmpty(); }

QString markerPath(const QString& folder) { return PathText::join(folder, QStringLiteral("$read")); }

QByteArray machineId() {
    for (const char* path : {"/etc/machine-id", "/var/lib/dbus/machine-id"}) {
        QFile f(QString::fromLatin1(path));
        if (f.open(QIODevice::ReadOnly)) {
            const QByteArray id = f.readLine().trimmed();
            if (!id.isEmpty()) return id;
        }
    }
    return QSysInfo::machineHostName().toUtf8();
}

// First line of the marker; empty when it cannot be read.
QString markerFirstLine(const QString& path) {
    QFile f;
    if (!FileSystem::openRegularFile(f, path)) return QString();
    // The token is one short line: a marker that is something else is not read whole.
    const QString text = Cp932::decode(f.read(4096));
    const qsizetype end = text.indexOf(QRegularExpression(QStringLiteral("[\r\n]")));
    return end < 0 ? text : text.left(end);
}

}  // namespace

QString ReadmeMarkerToken() {
    QCryptographicHash h(QCryptographicHash::Sha256);
    h.addData(QByteArrayLiteral("tova readme marker\n"));
    h.addData(machineId());
    return QString::fromLatin1(h.result().toHex());
}

bool WriteReadMarker(const QString& folder) {
    // Only a regular file of the folder itself is written: a marker that is a link (in a bank someone
    // passed on) would make the token land wherever it points, and a pipe would block.
    const QByteArray path = QFile::encodeName(FileSystem::resolve(markerPath(folder)));
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    struct stat st {};
    QFile f;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || ::ftruncate(fd, 0) != 0 ||
        !f.open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return false;
    }
    const QByteArray line = Cp932::encode(ReadmeMarkerToken()) + "\r\n";
    return f.write(line) == line.size();
}

bool CheckReadMarker(const QString& folder) {
    const QString path = markerPath(folder);
    const bool show = !fileFound(path) || markerFirstLine(path) != ReadmeMarkerToken();
    if (show) WriteReadMarker(folder);  // a folder that cannot be written simply shows the readme again
    return show;
}

QString FindVoiceReadme(const QString& folder) {
    for (const char* name : {"readme.txt", "read me.txt"}) {
        const QString path = PathText::join(folder, QString::fromLatin1(name));
        if (fileFound(path)) return path;
    }
    return QString();
}

bool VoiceReadmeUnread(const QString& folder) {
    if (FindVoiceReadme(folder).isEmpty()) return false;
    const QString path = markerPath(folder);
    return !fileFound(path) || markerFirstLine(path) != ReadmeMarkerToken();
}

QString ReadProgramReadme() {
    const QString path = PathText::join(SystemPaths::programFolder(), QStringLiteral("readme.txt"));
    if (!fileFound(path)) return QString();
    QFile f(FileSystem::resolve(path));
    if (!f.open(QIODevice::ReadOnly)) return QString();
    QByteArray bytes = f.readAll();
    if (bytes.startsWith("\xEF\xBB\xBF")) bytes.remove(0, 3);
    // The program's readme is UTF-8; one saved by an older editor of the user may be CP932.
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) text = Cp932::decode(bytes);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text.isNull() ? QStringLiteral("") : text;
}

}  // namespace tova
