// initvox: makes the default voice bank.
//   initvox TABLE [TOOL2]
// TABLE is the generator's table (initvox.txt); the bank is made in its folder when a sample,
// oto.ini or character.txt is missing there, and left alone otherwise. With TOOL2 (the note renderer;
// a Windows-style name such as ..\..\vorsa.exe is accepted) every spoken sample without a frequency
// table gets one. Exit code 0 when the bank is complete, 1 for a wrong call or table, 2 when the bank
// could not be made, 3 when frequency tables are still missing.
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "tools/initvox/EspeakSpeech.h"
#include "tools/initvox/SyllableTable.h"
#include "tools/initvox/VoiceBankGenerator.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>

#include <cstdio>

namespace {

void say(const QString& text) { std::fprintf(stdout, "initvox: %s\n", text.toLocal8Bit().constData()); }
void complain(const QString& text) { std::fprintf(stderr, "initvox: %s\n", text.toLocal8Bit().constData()); }

// A program path as a batch line names it: "\" separators, and ".exe" where the program has none.
QString programPath(const QString& name) {
    QString path = QFileInfo(tova::FileSystem::resolve(name)).absoluteFilePath();
    if (!tova::FileSystem::isFile(path) && path.endsWith(QStringLiteral(".exe"), Qt::CaseInsensitive)) {
        path = tova::FileSystem::resolve(path.chopped(4));
    }
    return path;
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.size() > 2) {
        complain(QStringLiteral("usage: initvox TABLE [TOOL2]"));
        return 1;
    }
    using namespace tova::initvox;
    const QString tablePath = QFileInfo(tova::FileSystem::resolve(args[0])).absoluteFilePath();
    SyllableTable table;
    try {
        table = SyllableTable::read(tablePath);
    } catch (const tova::TovaError& e) {
        complain(e.description());
        return 1;
    }

    EspeakSpeech speech(table.voice, table.speed, table.pitch);
    VoiceBankGenerator generator(table, tova::PathText::folderPart(tablePath), speech);
    if (!generator.bankComplete()) {
        QElapsedTimer clock;
        clock.start();
        try {
            QStringList warnings;
            const auto made = generator.makeBank(&warnings);
            for (const QString& w : warnings) complain(w);
            say(QStringLiteral("made %1 samples in %2 ms").arg(made.size()).arg(clock.elapsed()));
        } catch (const tova::TovaError& e) {
            complain(e.description());
            return 2;
        }
    }

    if (args.size() == 2) {
        const QStringList pending = generator.samplesWithoutTable();
        if (!pending.isEmpty()) {
            const QString tool2 = programPath(args[1]);
            if (!tova::FileSystem::isFile(tool2)) {
                complain(QStringLiteral("no note renderer at %1: %2 samples have no frequency table").arg(args[1]).arg(pending.size()));
                return 3;
            }
            QElapsedTimer clock;
            clock.start();
            const QStringList missing = generator.makeFrequencyTables(tool2, pending);
            if (!missing.isEmpty()) {
                complain(QStringLiteral("no frequency table for %1").arg(missing.join(QStringLiteral(", "))));
                return 3;
            }
            say(QStringLiteral("made %1 frequency tables in %2 ms").arg(pending.size()).arg(clock.elapsed()));
        }
    }
    return 0;
}
