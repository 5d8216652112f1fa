#pragma once

// The default voice bank as a fresh install makes it: the shipped generator files laid out in a
// program folder of their own, the generator batch run by the batch runner.

#include <QMap>
#include <QString>
#include <QStringList>

namespace tova::test::initvox {

// The kana syllables a default bank must hold: the vowels, the basic syllables with "ん", the voiced
// and p- syllables and the syllables with small ya, yu and yo.
QStringList requiredKana();

struct BankRun {
    QString programFolder;  // holds the note renderer (linked to the build's) and voice/cantu
    QString bankFolder;     // programFolder/voice/cantu
    double seconds = 0.0;   // time the batch took
    int exitCode = -1;      // of the batch runner
    QString output;         // its standard output and error
};

// Lays out `root` as a program folder with the build's generator files in voice/cantu and runs
// "initvox.bat" there with the build's batch runner.
BankRun makeDefaultBank(const QString& root);

// oto.ini of a folder (code page 932) as sample file -> the six fields after "=".
QMap<QString, QStringList> readOto(const QString& bankFolder);

}  // namespace tova::test::initvox
