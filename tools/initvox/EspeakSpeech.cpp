#include "tools/initvox/EspeakSpeech.h"

#include "core/WaveFiles.h"
#include "platform/Errors.h"

#include <QFile>
#include <QProcess>

namespace tova::initvox {
namespace {

constexpr int kTimeoutMs = 60000;

QString escapeMarkup(const QString& text) {
    QString out = text;
    out.replace(u'&', QStringLiteral("&amp;")).replace(u'<', QStringLiteral("&lt;")).replace(u'>', QStringLiteral("&gt;"));
    return out;
}

}  // namespace

EspeakSpeech::EspeakSpeech(const QString& voice, int speed, int pitch, const QString& program)
    : voice_(voice), speed_(speed), pitch_(pitch), program_(program) {}

QStringList EspeakSpeech::arguments(const QString& text, const QString& waveFile) const {
    return {QStringLiteral("-b"), QStringLiteral("1"),  // the text is UTF-8
            QStringLiteral("-m"),                       // SSML
            QStringLiteral("-v"), voice_,
            QStringLiteral("-s"), QString::number(speed_),
            QStringLiteral("-p"), QString::number(pitch_),
            QStringLiteral("-w"), waveFile,
            QStringLiteral("<speak><prosody range=\"0%\">") + escapeMarkup(text) + QStringLiteral("</prosody></speak>")};
}

SpokenAudio EspeakSpeech::speak(const QString& text) {
    if (!scratch_.isValid()) throw FileError(QStringLiteral("no scratch folder for the speech output"));
    const QString file = scratch_.filePath(QStringLiteral("speech%1.wav").arg(counter_.fetch_add(1)));
    QProcess process;
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.start(program_, arguments(text, file));
    if (!process.waitForStarted(kTimeoutMs)) {
        throw FileError(QStringLiteral("%1 cannot be started: %2").arg(program_, process.errorString()));
    }
    if (!process.waitForFinished(kTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        throw FileError(QStringLiteral("%1 did not finish speaking \"%2\"").arg(program_, text));
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        QFile::remove(file);
        throw FileError(QStringLiteral("%1 failed on \"%2\" (exit code %3)").arg(program_, text).arg(process.exitCode()));
    }
    WaveHeader header;
    QVector<qint16> values;
    const qint32 count = ReadWaveFile(header, values, file);
    QFile::remove(file);
    if (count <= 0 || header.channels != 1 || header.bitsPerSample != 16 || header.samplesPerSec <= 0) {
        throw FileError(QStringLiteral("%1 gave no 16-bit mono sound for \"%2\"").arg(program_, text));
    }
    SpokenAudio audio;
    audio.sampleRate = header.samplesPerSec;
    audio.samples.reserve(values.size());
    for (const qint16 v : values) audio.samples.push_back(float(v) / 32768.0f);
    return audio;
}

}  // namespace tova::initvox
