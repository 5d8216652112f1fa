#include "RenderFakes.h"

#include "platform/Errors.h"
#include "platform/PathText.h"
#include "render/PlaybackCommands.h"
#include "support/TestSupport.h"

#include <QFileInfo>

namespace tova::test {

QString FakeMci::alias(const QString& path) { return PathText::baseName(path); }

void FakeMci::check(const QString& what) {
    calls << what;
    if (failAll) throw FileError(QStringLiteral("device failure"));
}

void FakeMci::advance(qint64 ms) {
    for (Device& d : devices) {
        if (d.mode != QStringLiteral("playing")) continue;
        d.positionMs = qMin(d.positionMs + ms, d.lengthMs);
        if (d.positionMs >= d.lengthMs) d.mode = QStringLiteral("stopped");
    }
}

QString FakeMci::Open(const QString& path) {
    check(QStringLiteral("open ") + alias(path));
    QFileInfo info(path);
    if (!info.exists()) return QStringLiteral("指定されたファイルが見つかりません。");  // later questions answer "NG:"
    Device d;
    d.path = path;
    d.lengthMs = qMax<qint64>(0, info.size() - 44) / 2 * 1000 / 44100;
    devices[alias(path)] = d;
    return QString();
}

void FakeMci::Close(const QString& path) {
    check(QStringLiteral("close ") + alias(path));
    devices.remove(alias(path));
}

QString FakeMci::Play(const QString& path) {
    check(QStringLiteral("play ") + alias(path));
    auto it = devices.find(alias(path));
    if (it == devices.end()) return QStringLiteral("指定されたデバイスは開かれていません。");
    if (it->positionMs < it->lengthMs) it->mode = QStringLiteral("playing");
    return QString();
}

void FakeMci::Pause(const QString& path) {
    check(QStringLiteral("pause ") + alias(path));
    auto it = devices.find(alias(path));
    if (it != devices.end() && it->mode == QStringLiteral("playing")) it->mode = QStringLiteral("paused");
}

QString FakeMci::Status(const QString& path, const QString& item) {
    check(QStringLiteral("status ") + alias(path) + u' ' + item);
    auto it = devices.find(alias(path));
    if (it == devices.end()) return QStringLiteral("NG:指定されたデバイスは開かれていません。");
    if (item == QStringLiteral("position")) return QString::number(it->positionMs);
    return it->mode;
}

QString FakeMci::GetMode(const QString& path) {
    calls << QStringLiteral("mode ") + alias(path);
    if (failAll) throw FileError(QStringLiteral("device failure"));
    auto it = devices.find(alias(path));
    return it == devices.end() ? QStringLiteral("NG:指定されたデバイスは開かれていません。") : it->mode;
}

void FakeMci::SendString(const QString& command) {
    check(command);
    // "Seek "alias" to start"
    const QStringList words = command.split(u' ');
    if (words.size() == 4 && words[0].compare(QStringLiteral("seek"), Qt::CaseInsensitive) == 0) {
        QString name = words[1];
        name.remove(u'"');
        auto it = devices.find(name);
        if (it != devices.end()) {
            it->positionMs = 0;
            it->mode = QStringLiteral("stopped");
        }
    }
}

bool FakeSelectionRenderer::RenderSelectionToTemp(qint32& first, qint32& last) {
    renders.append({first, last});
    if (fail) throw FileError(QStringLiteral("render failure"));
    if (!succeed) return false;
    const QString path = PlaybackCommands::TempWavePath();
    if (tempIsOpen_()) ++writesWhileOpen;
    writeFile(path, SilentWave(ms));
    return true;
}

RenderEnd FakeInProcessRender::RenderDirect(const QString& projectName, const QString& path, qint32 first, qint32 last,
                                            QString& outputName) {
    calls << QStringLiteral("RenderDirect %1 %2 %3 %4 %5").arg(projectName, path).arg(first).arg(last).arg(outputName);
    if (writeOutput) writeFile(outputName, SilentWave(10));
    return end;
}

}  // namespace tova::test
