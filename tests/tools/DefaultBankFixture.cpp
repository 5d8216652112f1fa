#include "DefaultBankFixture.h"

#include "platform/Cp932.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <stdexcept>

namespace tova::test::initvox {

QStringList requiredKana() {
    QStringList kana;
    const QStringList rows = {
        QStringLiteral("あいうえお"), QStringLiteral("かきくけこ"), QStringLiteral("さしすせそ"), QStringLiteral("たちつてと"),
        QStringLiteral("なにぬねの"), QStringLiteral("はひふへほ"), QStringLiteral("まみむめも"), QStringLiteral("やゆよ"),
        QStringLiteral("らりるれろ"), QStringLiteral("わをん"),
        QStringLiteral("がぎぐげご"), QStringLiteral("ざじずぜぞ"), QStringLiteral("だぢづでど"), QStringLiteral("ばびぶべぼ"),
        QStringLiteral("ぱぴぷぺぽ")};
    for (const QString& row : rows) {
        for (const QChar c : row) kana << QString(c);
    }
    for (const QChar c : QStringLiteral("きしちにひみりぎじびぴ")) {
        for (const QChar small : QStringLiteral("ゃゅょ")) kana << QString(c) + small;
    }
    return kana;
}

BankRun makeDefaultBank(const QString& root) {
    BankRun run;
    run.programFolder = root;
    run.bankFolder = root + QStringLiteral("/voice/cantu");
    QDir().mkpath(run.bankFolder);
    const QString shipped = programFolder() + QStringLiteral("/voice/cantu/");
    for (const QString name : {QStringLiteral("initvox.bat"), QStringLiteral("initvox"), QStringLiteral("initvox.txt")}) {
        QFile::remove(run.bankFolder + u'/' + name);
        if (!QFile::copy(shipped + name, run.bankFolder + u'/' + name)) throw std::runtime_error("cannot copy the generator files");
    }
    QFile::remove(root + QStringLiteral("/vorsa"));
    if (!QFile::link(programFolder() + QStringLiteral("/vorsa"), root + QStringLiteral("/vorsa"))) {
        throw std::runtime_error("cannot link the note renderer");
    }

    QElapsedTimer clock;
    clock.start();
    QProcess batch;
    batch.setProcessChannelMode(QProcess::MergedChannels);
    batch.start(programFolder() + QStringLiteral("/batrun"), {run.bankFolder + QStringLiteral("/initvox.bat")});
    batch.waitForFinished(300000);
    run.seconds = double(clock.elapsed()) / 1000.0;
    run.exitCode = batch.exitStatus() == QProcess::NormalExit ? batch.exitCode() : -1;
    run.output = QString::fromUtf8(batch.readAll());
    return run;
}

QMap<QString, QStringList> readOto(const QString& bankFolder) {
    QMap<QString, QStringList> oto;
    const QString text = Cp932::decode(readFile(bankFolder + QStringLiteral("/oto.ini")));
    for (const QString& line : text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts)) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        oto.insert(line.left(eq), line.mid(eq + 1).split(u','));
    }
    return oto;
}

}  // namespace tova::test::initvox
