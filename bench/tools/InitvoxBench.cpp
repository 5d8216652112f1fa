// Time to make the default voice bank on a fresh install: the shipped generator files in an empty
// program folder, the generator batch run by the batch runner (every sample spoken, oto.ini and
// character.txt written, every frequency table made by the note renderer).
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

const QString kProgramFolder = QStringLiteral(TOVA_PROGRAM_DIR);

void BM_DefaultBankFromScratch(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir root;
        const QString bank = root.path() + QStringLiteral("/voice/cantu");
        QDir().mkpath(bank);
        for (const QString name : {QStringLiteral("initvox.bat"), QStringLiteral("initvox"), QStringLiteral("initvox.txt")}) {
            QFile::copy(kProgramFolder + QStringLiteral("/voice/cantu/") + name, bank + u'/' + name);
        }
        QFile::link(kProgramFolder + QStringLiteral("/vorsa"), root.path() + QStringLiteral("/vorsa"));
        state.ResumeTiming();

        QProcess batch;
        batch.start(kProgramFolder + QStringLiteral("/batrun"), {bank + QStringLiteral("/initvox.bat")});
        batch.waitForFinished(-1);

        state.PauseTiming();
        const int samples = int(QDir(bank).entryList({QStringLiteral("*.wav")}, QDir::Files).size());
        const int tables = int(QDir(bank).entryList({QStringLiteral("*.frq")}, QDir::Files).size());
        if (batch.exitCode() != 0 || !QFile::exists(bank + QStringLiteral("/oto.ini"))) {
            state.SkipWithError("the generator batch failed");
        }
        state.counters["samples"] = samples;
        state.counters["tables"] = tables;
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DefaultBankFromScratch)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

// The same batch on a complete bank: what every later start-up pays.
void BM_DefaultBankAlreadyMade(benchmark::State& state) {
    QTemporaryDir root;
    const QString bank = root.path() + QStringLiteral("/voice/cantu");
    QDir().mkpath(bank);
    for (const QString name : {QStringLiteral("initvox.bat"), QStringLiteral("initvox"), QStringLiteral("initvox.txt")}) {
        QFile::copy(kProgramFolder + QStringLiteral("/voice/cantu/") + name, bank + u'/' + name);
    }
    QFile::link(kProgramFolder + QStringLiteral("/vorsa"), root.path() + QStringLiteral("/vorsa"));
    QProcess first;
    first.start(kProgramFolder + QStringLiteral("/batrun"), {bank + QStringLiteral("/initvox.bat")});
    first.waitForFinished(-1);
    for (auto _ : state) {
        QProcess batch;
        batch.start(kProgramFolder + QStringLiteral("/batrun"), {bank + QStringLiteral("/initvox.bat")});
        batch.waitForFinished(-1);
    }
}
BENCHMARK(BM_DefaultBankAlreadyMade)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
