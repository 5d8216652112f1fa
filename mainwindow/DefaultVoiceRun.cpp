#include "mainwindow/DefaultVoiceRun.h"

#include "core/WaveFiles.h"
#include "platform/EventWait.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "tools/initvox/SyllableTable.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <csignal>
#include <sys/types.h>
#include <unistd.h>

namespace tova {

QString DefaultVoiceProgress::State::text() const {
    return (tables ? QStringLiteral("周波数表 %1 / %2") : QStringLiteral("音節 %1 / %2")).arg(done).arg(total);
}

DefaultVoiceProgress::DefaultVoiceProgress(QString folder, QDateTime since)
    : folder_(std::move(folder)), since_(std::move(since)) {
    try {
        const auto table = initvox::SyllableTable::read(PathText::join(folder_, QStringLiteral("initvox.txt")));
        for (const auto& e : table.entries) {
            samples_ << e.sample + QStringLiteral(".wav");
            if (!e.text.isEmpty()) spoken_ << e.sample + QStringLiteral(".wav");
        }
    } catch (...) {
        // No table, no counts: the generator says itself what is wrong with it.
    }
}

DefaultVoiceProgress::State DefaultVoiceProgress::poll() const {
    State s;
    if (QFileInfo::exists(PathText::join(folder_, QStringLiteral("oto.ini")))) {
        s.tables = true;
        s.total = int(spoken_.size());
        for (const QString& f : spoken_)
            if (QFileInfo::exists(FrqTableName(PathText::join(folder_, f)))) ++s.done;
        return s;
    }
    s.total = int(samples_.size());
    for (const QString& f : samples_) {
        const QFileInfo wave(PathText::join(folder_, f));
        if (wave.exists() && wave.lastModified() >= since_) ++s.done;
    }
    return s;
}

bool DefaultVoiceProgress::discardUnfinished() const {
    if (QFileInfo::exists(PathText::join(folder_, QStringLiteral("oto.ini")))) return false;
    for (const QString& f : samples_) {
        const QString wave = PathText::join(folder_, f);
        QFile::remove(FrqTableName(wave));
        QFile::remove(wave);
    }
    return true;
}

bool RunDefaultVoiceGenerator(const QString& program, const QStringList& arguments, const QString& folder,
                              DefaultVoiceRunView& view, int pollMs) {
    // File times have whole-second precision on some file systems: a sample written in this second counts.
    const QDateTime since = QDateTime::currentDateTime().addSecs(-1);
    const DefaultVoiceProgress progress(folder, since);
    QProcess process;
    process.setProgram(program);
    process.setArguments(arguments);
    process.setWorkingDirectory(FileSystem::resolve(folder));
    process.setStandardInputFile(QProcess::nullDevice());
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted()) return false;
    const qint64 group = process.processId();

    DefaultVoiceProgress::State shown = progress.poll();
    view.open(shown);
    bool stopped = false;
    EventWait::until(
        [&] {
            if (process.state() == QProcess::NotRunning) return true;
            if (view.stopRequested()) return stopped = true;
            const DefaultVoiceProgress::State now = progress.poll();
            if (now.done != shown.done || now.total != shown.total || now.tables != shown.tables) view.update(shown = now);
            return false;
        },
        pollMs);
    if (stopped) {
        ::kill(-pid_t(group), SIGTERM);
        if (!process.waitForFinished(5000)) {
            ::kill(-pid_t(group), SIGKILL);
            process.waitForFinished(5000);
        }
        progress.discardUnfinished();
    } else {
        process.waitForFinished(-1);
        view.update(progress.poll());
    }
    view.close();
    return !stopped;
}

}  // namespace tova
