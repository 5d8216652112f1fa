#pragma once

#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "render/MciPort.h"
#include "support/TestSupport.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace tova::test {

// A voice bank made by a test in a temporary folder: oto.ini files from bytes, samples as empty files
// (the manager only looks at their names).
struct BankFolder {
    QTemporaryDir dir;
    QString root() const { return dir.path() + QStringLiteral("/bank"); }
    QString path(const QString& name) const { return root() + u'/' + name; }
    BankFolder() { QDir().mkpath(root()); }
    void file(const QString& name, const QByteArray& bytes) const { writeFile(path(name), bytes); }
    void samples(const QStringList& names) const {
        for (const QString& n : names) file(n, QByteArray());
    }
    // An oto.ini written from text in code page 932.
    void oto(const QString& name, const QString& text) const { file(name, Cp932::encode(text)); }
    QByteArray bytes(const QString& name) const { return readFile(path(name)); }
};

// The multimedia layer as a log of what it was asked; `failure` is the answer of Play.
class LoggingMci : public MciPort {
public:
    QStringList log;
    QString failure;
    QString Open(const QString& path) override { return log << QStringLiteral("open ") + path, QString(); }
    void Close(const QString& path) override { log << QStringLiteral("close ") + path; }
    QString Play(const QString& path) override { return log << QStringLiteral("play ") + path, failure; }
    void Pause(const QString&) override {}
    QString Status(const QString&, const QString&) override { return QString(); }
    QString GetMode(const QString&) override { return QStringLiteral("stopped"); }
    void SendString(const QString& command) override { log << command; }
};

// Writes the frequency table of a sample: `frames` frames of the key frequency `average`.
inline bool writeFrq(const QString& samplePath, double average, qint32 frames) {
    FrqHeader h;
    h.signature = "FREQ0003";
    h.averageFreq = average;
    h.frameCount = frames;
    return WriteFrqFile(h, QVector<double>(2 * frames, average), samplePath);
}

}  // namespace tova::test
