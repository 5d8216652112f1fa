// Writes the starting corpus of the wave-file fuzz target into the folder given as argument.
#include "WaveFixtures.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace tova::test::wave;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const QVector<qint16> values = {0, 100, -100, 32767, -32768, 5, 6, 7};
    std::vector<std::pair<const char*, QByteArray>> seeds;
    WavSpec mono; mono.data = pcm16(values);
    seeds.push_back({"mono.wav", makeWav(mono)});
    WavSpec stereo = mono; stereo.channels = 2; stereo.rate = 48000;
    stereo.beforeFmt = chunk("LIST", QByteArray("INFOISFT\3\0\0\0ab\0", 15));
    stereo.beforeData = chunk("LIST", QByteArray("INFO", 4));
    seeds.push_back({"stereo-list.wav", makeWav(stereo)});
    WavSpec ext = mono; ext.fmtSize = 18; ext.dataSizeField = 0;
    seeds.push_back({"fmt18-size0.wav", makeWav(ext)});
    WavSpec eight = mono; eight.bits = 8;
    seeds.push_back({"8bit.wav", makeWav(eight)});
    AiffSpec aiff; aiff.frames = values.size(); aiff.sound = pcm16be(values);
    seeds.push_back({"mono.aiff", makeAiff(aiff)});
    AiffSpec aiff24; aiff24.frames = 2; aiff24.bits = 24; aiff24.rate80 = extended(48000);
    aiff24.sound = QByteArray("\1\2\3\4\5\6", 6);
    seeds.push_back({"24bit.aiff", makeAiff(aiff24)});
    tova::FrqHeader h;
    h.signature = "FREQ0003";
    h.averageFreq = 220.0;
    h.frameCount = 3;
    seeds.push_back({"a_wav.frq", makeFrq(h, {220.0, 1.0, 55.0, 0.0, 221.5, 0.5})});
    for (const auto& [name, bytes] : seeds) {
        QFile f(folder + u'/' + QString::fromLatin1(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    return 0;
}
