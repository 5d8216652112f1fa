// The bank generator with a speech engine that speaks made-up syllables: files, oto.ini, profile,
// failures, and the note renderer's frequency tables.
#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/SystemErrorText.h"
#include "support/FullDisk.h"
#include "support/TestSupport.h"
#include "tools/initvox/VoiceBankGenerator.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace tova;
using namespace tova::initvox;

namespace {

// Speaks "<consonant ms>:<vowel ms>" as that much noise followed by a 220 Hz vowel, at 22050 Hz with
// 30 ms of silence around; "fail" cannot be spoken; "hiss" is noise alone.
class MadeUpSpeech : public SpeechEngine {
public:
    SpokenAudio speak(const QString& text) override {
        if (text == "fail") throw FileError("the engine broke down");
        const double rate = 22050.0;
        const auto n = [&](double ms) { return size_t(std::lround(ms * rate / 1000.0)); };
        std::mt19937 random(unsigned(text.size()));
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        SpokenAudio a;
        a.sampleRate = rate;
        a.samples.assign(n(30), 0.0f);
        const QStringList parts = text.split(':');
        const double consonant = text == "hiss" ? 400.0 : parts.value(0).toDouble();
        const double vowel = text == "hiss" ? 0.0 : parts.value(1).toDouble();
        for (size_t i = 0; i < n(consonant); ++i) a.samples.push_back(float(0.02 * u(random)));
        for (size_t i = 0; i < n(vowel); ++i) {
            double v = 0.0;
            for (int h = 1; h <= 8; ++h) v += std::sin(2.0 * M_PI * 220.0 * h * double(i) / rate) / 4.0;
            a.samples.push_back(float(0.3 * v));
        }
        a.samples.resize(a.samples.size() + n(30), 0.0f);
        return a;
    }
};

SyllableTable table(const QStringList& lines) {
    return SyllableTable::parse("voice=v\nname=テスト\n" + lines.join('\n'));
}

QString otoText(const QString& folder) { return Cp932::decode(test::readFile(folder + "/oto.ini")); }

}  // namespace

TEST(InitvoxGenerator, MakesSamplesOtoIniAndProfile) {
    QTemporaryDir dir;
    MadeUpSpeech speech;
    // Consonants of different lengths: each sample's pre-utterance follows its own consonant.
    VoiceBankGenerator generator(table({"あ 0:700", "か 60:700", "さ 150:650", "しゃ 220:600", "R"}), dir.path(), speech, 3);
    test::writeFile(dir.filePath("あ_wav.frq"), "an old table of an old sample");
    EXPECT_FALSE(generator.bankComplete());

    QStringList warnings;
    const QList<VoiceBankGenerator::Made> made = generator.makeBank(&warnings);
    EXPECT_TRUE(warnings.isEmpty()) << warnings.join('\n').toStdString();
    EXPECT_TRUE(generator.bankComplete());
    EXPECT_FALSE(QFile::exists(dir.filePath("あ_wav.frq"))) << "a new sample needs a new table";
    ASSERT_EQ(made.size(), 5);
    EXPECT_EQ(made[3].file, QStringLiteral("しゃ.wav"));
    EXPECT_FALSE(made[4].spoken);

    const double consonants[] = {0, 60, 150, 220};
    const QStringList lines = otoText(dir.path()).split("\r\n");
    ASSERT_EQ(lines.size(), 5) << "four records, each ended by CR LF";
    EXPECT_TRUE(lines[4].isEmpty());
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        const QString file = made[i].file;
        EXPECT_EQ(lines[i], made[i].timing.otoLine(file));
        const OtoTiming& t = made[i].timing;
        // 50 ms of silence are kept before the sound, the offset lies 10 ms before it, and the note
        // starts on the vowel.
        EXPECT_EQ(t.offset, 40);
        EXPECT_NEAR(t.preutterance, 10 + consonants[i], 6.0);
        EXPECT_LE(t.overlap, t.preutterance);
        EXPECT_LE(t.preutterance, t.consonant);

        WaveHeader header;
        QVector<qint16> values;
        ASSERT_GT(ReadWaveFile(header, values, dir.filePath(file)), 0);
        EXPECT_EQ(header.samplesPerSec, 44100);
        EXPECT_EQ(header.channels, 1);
        EXPECT_EQ(header.bitsPerSample, 16);
        // The sample lasts its sound (resampled to 44.1 kHz) with 50 ms before it and 40 ms after.
        const double ms = values.size() / 44.1;
        EXPECT_NEAR(ms, 50 + consonants[i] + (i == 0 ? 700 : i == 1 ? 700 : i == 2 ? 650 : 600) + 40, 6.0);
    }
    EXPECT_EQ(test::readFile(dir.filePath("character.txt")), Cp932::encode("name=テスト\r\n"));

    WaveHeader header;
    QVector<qint16> rest;
    ASSERT_EQ(ReadWaveFile(header, rest, dir.filePath("R.wav")), 44100);
    EXPECT_TRUE(std::all_of(rest.begin(), rest.end(), [](qint16 v) { return v == 0; }));
    EXPECT_EQ(generator.samplesWithoutTable(),
              QStringList({"あ.wav", "か.wav", "さ.wav", "しゃ.wav"}));

    // A missing sample makes the bank incomplete again.
    QFile::remove(dir.filePath("R.wav"));
    EXPECT_FALSE(generator.bankComplete());
}

TEST(InitvoxGenerator, AFailedSampleLeavesNoOtoIni) {
    struct Case {
        const char* name;
        QString line;
        const char* named;  // what the failure names
    };
    const Case cases[] = {
        {"speech fails", "か fail", "か.wav"},
        {"no vowel in the speech", "す hiss", "す.wav"},
        {"nothing spoken", "ん 0:0", "ん.wav"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        QTemporaryDir dir;
        MadeUpSpeech speech;
        test::writeFile(dir.filePath("oto.ini"), "あ.wav=,1,2,3,4,5\r\n");
        test::writeFile(dir.filePath("character.txt"), "name=old\r\n");
        VoiceBankGenerator generator(table({"あ 0:700", c.line, "R"}), dir.path(), speech, 2);
        try {
            generator.makeBank();
            ADD_FAILURE() << "no failure";
        } catch (const TovaError& e) {
            EXPECT_TRUE(e.description().contains(QString::fromUtf8(c.named))) << e.description().toStdString();
        }
        EXPECT_FALSE(QFile::exists(dir.filePath("oto.ini")));
        EXPECT_FALSE(generator.bankComplete());
    }
}

TEST(InitvoxGenerator, ReportsAShortVowel) {
    QTemporaryDir dir;
    MadeUpSpeech speech;
    VoiceBankGenerator generator(table({"あ 0:700", "い 0:350"}), dir.path(), speech, 1);
    QStringList warnings;
    generator.makeBank(&warnings);
    ASSERT_EQ(warnings.size(), 1);
    EXPECT_TRUE(warnings[0].startsWith(QStringLiteral("い.wav"))) << warnings[0].toStdString();
    EXPECT_TRUE(generator.bankComplete()) << "a short vowel still makes a usable sample";
}

TEST(InitvoxGenerator, NoteRendererMakesTheFrequencyTables) {
    QTemporaryDir dir;
    MadeUpSpeech speech;
    VoiceBankGenerator generator(table({"あ 0:700", "か 60:700", "R"}), dir.path(), speech, 2);
    generator.makeBank();
    const QStringList pending = generator.samplesWithoutTable();
    ASSERT_EQ(pending.size(), 2);

    EXPECT_EQ(generator.makeFrequencyTables(dir.filePath("no-such-renderer"), pending), pending);
    EXPECT_TRUE(generator.makeFrequencyTables(test::programFolder() + "/vorsa", pending).isEmpty());
    EXPECT_TRUE(generator.samplesWithoutTable().isEmpty());
    FrqHeader header;
    QVector<double> frames;
    ASSERT_TRUE(ReadFrqFile(header, frames, dir.filePath("か.wav")));
    EXPECT_NEAR(header.averageFreq, 220.0, 2.0);
}

// On a full disk the bank's files that stand keep their content, the failure says why in words and
// no temporary file stays.
TEST(InitvoxGenerator, AFullDiskKeepsTheFilesThatStand) {
    QTemporaryDir dir;
    MadeUpSpeech speech;
    VoiceBankGenerator generator(table({"あ 0:700", "R"}), dir.path(), speech, 1);
    test::writeFile(dir.filePath("あ.wav"), "an old sample");
    test::writeFile(dir.filePath("character.txt"), "name=old");
    QString error;
    {
        test::FileSizeLimit limit(1000);
        try {
            generator.makeBank();
        } catch (const TovaError& e) {
            error = e.description();
        }
    }
    EXPECT_TRUE(error.contains(SystemErrorText(EFBIG))) << error.toStdString();
    EXPECT_EQ(test::readFile(dir.filePath("あ.wav")), QByteArray("an old sample"));
    EXPECT_EQ(test::readFile(dir.filePath("character.txt")), QByteArray("name=old"));
    EXPECT_EQ(test::temporaryFiles(dir.path()), QStringList{});
}
