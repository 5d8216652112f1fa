// The default voice bank made as at a first start-up: the generator batch, run by the batch runner in
// a fresh program folder, speaks every kana, writes oto.ini with timings taken from each sample and
// has the note renderer make every sample's frequency table.
#include "DefaultBankFixture.h"

#include "core/WaveFiles.h"
#include "render/AliasLookup.h"
#include "render/OtoIni.h"
#include "render/OtoLoadHost.h"
#include "render/VoiceBankList.h"
#include "support/TestSupport.h"
#include "tools/initvox/BankSample.h"
#include "tools/initvox/SampleShape.h"

#include <QFileInfo>
#include <QSet>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace tova;
using namespace tova::test::initvox;

namespace {

// Records what loading oto.ini would show.
class RecordingHost : public OtoLoadHost {
public:
    void SetOtoStatusText(const QString&) override {}
    void ShowOtoReport(const QString& text) override { report += text; }
    QString report;
};

std::vector<float> readSample(const QString& path, WaveHeader& header) {
    QVector<qint16> values;
    ReadWaveFile(header, values, path);
    return initvox::BankSample::toFloat(std::vector<qint16>(values.begin(), values.end()));
}

}  // namespace

TEST(DefaultBank, FreshInstallMakesEveryKanaWithTimingAndFrequencyTable) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const BankRun run = makeDefaultBank(root.path());
    std::printf("generator batch: %.1f s\n%s", run.seconds, run.output.toUtf8().constData());
    ASSERT_EQ(run.exitCode, 0) << run.output.toStdString();

    const QMap<QString, QStringList> oto = readOto(run.bankFolder);
    EXPECT_EQ(test::readFile(run.bankFolder + "/character.txt"), QByteArray("name=cantu\r\n"));

    WaveHeader restHeader;
    const std::vector<float> rest = readSample(run.bankFolder + "/R.wav", restHeader);
    EXPECT_EQ(restHeader.samplesPerSec, 44100);
    EXPECT_GT(rest.size(), 22050u);
    EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](float v) { return v == 0.0f; })) << "R.wav is silence";
    EXPECT_FALSE(oto.contains("R.wav"));

    QSet<int> preutterances, consonants;
    std::printf("%-8s %6s %6s %6s %6s %6s %7s %7s %7s\n", "sample", "offset", "cons", "cutoff", "pre", "ovl",
                "vowel", "f0", "voiced");
    for (const QString& kana : requiredKana()) {
        SCOPED_TRACE(kana.toStdString());
        const QString file = kana + ".wav";
        const QString path = run.bankFolder + "/" + file;
        ASSERT_TRUE(QFileInfo(path).isFile());
        ASSERT_TRUE(oto.contains(file));
        const QStringList f = oto.value(file);
        ASSERT_EQ(f.size(), 6);
        EXPECT_EQ(f[0], QString()) << "alias: the lyric finds the sample by its file name";
        const double offset = f[1].toDouble(), consonant = f[2].toDouble(), cutoff = f[3].toDouble(),
                     pre = f[4].toDouble(), overlap = f[5].toDouble();

        WaveHeader header;
        const std::vector<float> signal = readSample(path, header);
        EXPECT_EQ(header.samplesPerSec, 44100);
        EXPECT_EQ(header.channels, 1);
        EXPECT_EQ(header.bitsPerSample, 16);
        const double length = double(signal.size()) * 1000.0 / 44100.0;

        // The sample holds a steady vowel of at least half a second...
        const initvox::SampleShape shape = initvox::SampleShape::of(signal, 44100);
        ASSERT_TRUE(shape.hasVowel);
        EXPECT_GE(shape.vowelEnd - shape.vowelStart, 500.0);
        // ...and oto.ini puts the note's start on the vowel and stretches only the vowel.
        EXPECT_LE(0.0, overlap);
        EXPECT_LE(overlap, pre);
        EXPECT_LE(pre, consonant);
        EXPECT_LE(offset, shape.soundStart);
        EXPECT_NEAR(offset + pre, shape.vowelStart, 15.0);
        const double stretchFrom = offset + consonant, stretchTo = length - cutoff;
        EXPECT_GE(stretchTo - stretchFrom, 300.0);
        EXPECT_GE(stretchFrom + 1.0, shape.vowelStart);  // timings are whole milliseconds
        EXPECT_LE(stretchTo, shape.vowelEnd + 10.0);
        preutterances.insert(int(pre));
        consonants.insert(int(consonant));

        // The note renderer's table has the vowel voiced, at the pitch this test measures itself.
        FrqHeader frqHeader;
        QVector<double> frames;
        ASSERT_TRUE(ReadFrqFile(frqHeader, frames, path));
        const int count = frqHeader.frameCount;
        const double frameMs = length / count;
        std::vector<double> vowel;
        int inVowel = 0;
        for (int i = 0; i < count; ++i) {
            const double t = (i + 0.5) * frameMs;
            if (t < offset + pre || t > stretchTo) continue;
            ++inVowel;
            const double hz = frames[2 * i];
            if (hz > 0.0 && hz != 55.0) vowel.push_back(hz);
        }
        ASSERT_GT(inVowel, 0);
        const double voiced = double(vowel.size()) / inVowel;
        EXPECT_GE(voiced, 0.95);
        ASSERT_FALSE(vowel.empty());
        std::nth_element(vowel.begin(), vowel.begin() + vowel.size() / 2, vowel.end());
        const double tableF0 = vowel[vowel.size() / 2];
        EXPECT_LT(std::abs(1200.0 * std::log2(tableF0 / shape.vowelFrequency)), 50.0);
        std::printf("%-8s %6.0f %6.0f %6.0f %6.0f %6.0f %7.0f %7.1f %6.0f%%\n",
                    kana.toUtf8().constData(), offset, consonant, cutoff, pre, overlap,
                    shape.vowelEnd - shape.vowelStart, shape.vowelFrequency, voiced * 100.0);
    }
    // Timings come from each sample, not from a constant.
    EXPECT_GE(preutterances.size(), 20);
    EXPECT_GE(consonants.size(), 20);

    // The editor loads the bank without a consistency report, finds every kana by its lyric and
    // reads the bank's name from its profile.
    RecordingHost host;
    setOtoLoadHost(&host);
    LoadOtoIni(run.bankFolder);
    setOtoLoadHost(nullptr);
    EXPECT_EQ(host.report, QString());
    for (const QString& kana : requiredKana()) {
        QString name = kana;
        const QStringList fields = FindOtoAlias(name);
        EXPECT_EQ(fields.value(0), kana + ".wav");
        EXPECT_EQ(name, kana);
    }
    QString folder = run.bankFolder, name, image, sample, author, web, description;
    ReadCharacterTxt(folder, name, image, sample, author, web, description);
    EXPECT_EQ(name, "cantu");
}
