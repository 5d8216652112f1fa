#include "tools/initvox/VoiceBankGenerator.h"

#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "tools/initvox/BankSample.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <atomic>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace tova::initvox {
namespace {

constexpr int kToolTimeoutMs = 120000;

// Runs job(i) for i in [0, count) on `workers` threads; rethrows the first failure after all ended.
void runParallel(int count, int workers, const std::function<void(int)>& job) {
    std::atomic<int> next{0};
    std::exception_ptr failure;
    std::mutex failureLock;
    const auto work = [&] {
        for (int i = next.fetch_add(1); i < count; i = next.fetch_add(1)) {
            try {
                job(i);
            } catch (...) {
                const std::lock_guard<std::mutex> lock(failureLock);
                if (!failure) failure = std::current_exception();
                next.store(count);  // stop handing out work
            }
        }
    };
    std::vector<std::thread> threads;
    for (int t = 1; t < std::min(workers, count); ++t) threads.emplace_back(work);
    work();
    for (std::thread& t : threads) t.join();
    if (failure) std::rethrow_exception(failure);
}

void writeCp932(const QString& path, const QStringList& lines) {
    QByteArray bytes;
    for (const QString& line : lines) bytes += Cp932::encode(line) + "\r\n";
    QString reason;
    if (!ReplaceFile(path, bytes, &reason)) throw FileError(QStringLiteral("%1: %2").arg(path, reason));
}

QString sampleFile(const SyllableTable::Entry& entry) { return entry.sample + QStringLiteral(".wav"); }

}  // namespace

VoiceBankGenerator::VoiceBankGenerator(SyllableTable table, QString folder, SpeechEngine& speech, int workers)
    : table_(std::move(table)),
      folder_(std::move(folder)),
      speech_(speech),
      workers_(workers > 0 ? workers : std::max(1, QThread::idealThreadCount())) {}

QString VoiceBankGenerator::path(const QString& file) const { return FileSystem::resolve(PathText::join(folder_, file)); }

bool VoiceBankGenerator::bankComplete() const {
    if (!FileSystem::isFile(path(QStringLiteral("oto.ini"))) || !FileSystem::isFile(path(QStringLiteral("character.txt")))) {
        return false;
    }
    for (const SyllableTable::Entry& entry : table_.entries) {
        if (!FileSystem::isFile(path(sampleFile(entry)))) return false;
    }
    return true;
}

QList<VoiceBankGenerator::Made> VoiceBankGenerator::makeBank(QStringList* warnings) {
    if (!QDir().mkpath(folder_)) throw FileError(QStringLiteral("cannot make the folder %1").arg(folder_));
    const QString oto = path(QStringLiteral("oto.ini"));
    if (QFile::exists(oto) && !QFile::remove(oto)) throw FileError(QStringLiteral("cannot replace %1").arg(oto));

    // Read-only access from the worker threads: a detaching QList access would race.
    const QList<SyllableTable::Entry>& entries = table_.entries;
    std::vector<Made> made(std::size_t(entries.size()));
    runParallel(int(entries.size()), workers_, [&](int i) {
        const SyllableTable::Entry& entry = entries.at(i);
        Made& m = made[std::size_t(i)];
        m.file = sampleFile(entry);
        m.spoken = !entry.text.isEmpty();
        std::vector<qint16> values;
        if (m.spoken) {
            try {
                values = BankSample::fromSpeech(speech_.speak(entry.text));
            } catch (const TovaError& e) {
                throw TovaError(e.number(), QStringLiteral("%1: %2").arg(m.file, e.description()));
            }
            m.shape = SampleShape::of(BankSample::toFloat(values), BankSample::kSampleRate);
            if (!m.shape.hasVowel) {
                throw InvalidCallError(QStringLiteral("%1: \"%2\" has no voiced vowel").arg(m.file, entry.text));
            }
            m.timing = OtoTiming::estimate(m.shape);
        } else {
            values = BankSample::silence();
        }
        const QString wave = path(m.file);
        BankSample::write(wave, values);
        const QString table = FrqTableName(wave);
        if (QFile::exists(table)) QFile::remove(table);
    });

    QStringList otoLines;
    for (const Made& m : made) {
        if (!m.spoken) continue;
        otoLines << m.timing.otoLine(m.file);
        const double vowel = m.shape.vowelEnd - m.shape.vowelStart;
        if (warnings && vowel < kShortestVowelMs) {
            *warnings << QStringLiteral("%1: the vowel lasts only %2 ms").arg(m.file).arg(qRound(vowel));
        }
    }
    writeCp932(path(QStringLiteral("character.txt")), {QStringLiteral("name=") + table_.bankName});
    writeCp932(oto, otoLines);
    return QList<Made>(made.begin(), made.end());
}

QStringList VoiceBankGenerator::samplesWithoutTable() const {
    QStringList missing;
    for (const SyllableTable::Entry& entry : table_.entries) {
        if (entry.text.isEmpty()) continue;
        const QString wave = path(sampleFile(entry));
        if (!FileSystem::isFile(FrqTableName(wave))) missing << sampleFile(entry);
    }
    return missing;
}

QStringList VoiceBankGenerator::makeFrequencyTables(const QString& tool2, const QStringList& files) const {
    runParallel(int(files.size()), workers_, [&](int i) {
        const QString file = files.at(i);
        QProcess process;
        process.setWorkingDirectory(folder_);
        process.setProcessChannelMode(QProcess::ForwardedChannels);
        process.start(tool2, {path(file), QStringLiteral("nul"), QStringLiteral("100"), QStringLiteral("100"),
                              QStringLiteral("GN"), QStringLiteral("0"), QStringLiteral("100")});
        if (process.waitForStarted(kToolTimeoutMs) && !process.waitForFinished(kToolTimeoutMs)) {
            process.kill();
            process.waitForFinished();
        }
    });
    QStringList missing;
    for (const QString& file : files) {
        if (!FileSystem::isFile(FrqTableName(path(file)))) missing << file;
    }
    return missing;
}

}  // namespace tova::initvox
