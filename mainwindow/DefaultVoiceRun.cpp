#include "mainwindow/DefaultVoiceRun.h"

#include "core/MessageTable.h"
#include "core/WaveFiles.h"
#include "platform/EventWait.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "tools/initvox/SyllableTable.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <csignal>
#include <cstdio>
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

namespace {

constexpr qsizetype kOutputKept = 16 * 1024;

QString lastLines(const QString& text) {
    QStringList lines = text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts);
    if (lines.size() > 8) lines = lines.mid(lines.size() - 8);
    return lines.join(u'\n');
}

void reportNoBank(const QString& why) {
    Ports::msgBox(GetMessage(QStringLiteral("標準の音源を作れませんでした。")) + u'\n' + why, MsgButtons::OK,
                  MsgIcon::Exclamation);
}

}  // namespace

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
    // The run's output is kept (and passed on to the program's own), so that a run that makes no bank
    // can say why in the generator's words.
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.setChildProcessModifier([] { ::setpgid(0, 0); });
    process.start();
    if (!process.waitForStarted()) {
        reportNoBank(program + QStringLiteral(": ") + process.errorString());
        return false;
    }
    const qint64 group = process.processId();
    QByteArray output;
    auto collect = [&] {
        const QByteArray more = process.readAll();
        if (more.isEmpty()) return;
        std::fwrite(more.constData(), 1, std::size_t(more.size()), stderr);
        output += more;
        if (output.size() > kOutputKept) output.remove(0, output.size() - kOutputKept);
    };

    DefaultVoiceProgress::State shown = progress.poll();
    view.open(shown);
    bool stopped = false;
    EventWait::until(
        [&] {
            collect();
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
        collect();
        view.update(progress.poll());
    }
    view.close();
    if (stopped) return false;
    // The generator writes oto.ini last: without it there is no bank (a folder it may not write, a
    // speech program missing), and the last lines of its output say why.
    if (!QFileInfo::exists(PathText::join(folder, QStringLiteral("oto.ini")))) {
        reportNoBank(lastLines(QString::fromLocal8Bit(output)));
        return false;
    }
    return true;
}

}  // namespace tova
