#include "VoiceBankFixture.h"

#include "core/Processes.h"
#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "platform/PathText.h"
#include "render/RenderBatch.h"
#include "song/NoteExtension.h"
#include "song/Song.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>

#include <cmath>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// The written batch run as the generate command runs it: by the batch runner, in the batch's folder,
// with the two tools of the program folder.
class RenderBatchRunTest : public VoiceBankFixture {
protected:
    void SetUp() override {
        VoiceBankFixture::SetUp();
        useTempFolder();
        // One second of a 220 Hz tone with its octave.
        QVector<qint16> tone(44100);
        for (int k = 0; k < tone.size(); ++k)
            tone[k] = qint16(8000 * std::sin(2 * M_PI * 220 * k / 44100.0) + 3000 * std::sin(2 * M_PI * 440 * k / 44100.0));
        wave::WavSpec w;
        w.data = wave::pcm16(tone);
        put(u"bank/a.wav"_s, wave::makeWav(w));
        put(u"bank/sub/ka.wav"_s, wave::makeWav(w));
        put(u"bank/oto.ini"_s, "a.wav=\x82\xa0,100,200,-300,50,20\r\nsub\\ka.wav=\x82\xa9,100,150,-300,30,10\r\n");
        LoadOtoIni(file(u"bank"_s));

        const QString bin = programFolder();
        song.VoiceDir = file(u"bank"_s);
        song.Tool1 = bin + u"/catena"_s;
        song.Tool2 = bin + u"/vorsa"_s;
        song.ProjectPath = file(u"song.tvx"_s);
        song.OutFile = file(u"out.wav"_s);
        song.resizeNotes(4);
        const char16_t* lyrics[] = {u"R", u"あ", u"か", u"あ"};
        for (int i = 0; i < 4; ++i) {
            song.Lyrics[i] = QString::fromUtf16(lyrics[i]);
            song.Lengths[i] = 1920;  // 500 ms at tempo 120
            song.NoteNums[i] = 36 + i;
        }
        song.NoteExt[2] = u"\t\t\t\tE10e\t@foo=a@b"_s;
    }

    // Writes and runs the whole song; the batch's own diagnostics on failure.
    void render() {
        batch.clear();
        GetRenderFileNames(song, batch);
        QProcess run;
        run.setWorkingDirectory(PathText::folderPart(batch));
        run.start(programFolder() + u"/batrun"_s, {batch});
        ASSERT_TRUE(run.waitForFinished(120000));
        ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();
    }
    QStringList cacheFiles() const {
        return QDir(song.CacheDir).entryList(QDir::Files, QDir::Name);
    }
    // The cache names the batch gives its notes.
    QStringList namedInBatch() const {
        QStringList names;
        const QRegularExpression re(u"@set temp=\"%cachedir%\\\\([^\"]+)\""_s);
        auto it = re.globalMatch(Cp932::decode(readFile(batch)));
        while (it.hasNext()) names << it.next().captured(1);
        names.sort();
        return names;
    }

    Song song;
    QString batch;
};

TEST_F(RenderBatchRunTest, CachedNotesAreReusedOnlyForTheSameArguments) {
    settings().CacheEnable = true;
    render();
    const QStringList first = cacheFiles();
    ASSERT_EQ(first.size(), 3);
    EXPECT_EQ(first, namedInBatch());
    WaveHeader header;
    QVector<qint16> samples;
    const qint32 count = ReadWaveFile(header, samples, song.OutFile);
    // Four notes of 500 ms; the sung notes' crossfades shorten the whole by their overlaps at most.
    EXPECT_NEAR(count / 44.1, 2000, 60);
    EXPECT_FALSE(QFileInfo::exists(song.OutFile + u".whd"_s));
    EXPECT_FALSE(QFileInfo::exists(song.OutFile + u".dat"_s));
    const QByteArray output = readFile(song.OutFile);

    // Again: tool 2 is not run, the notes come from the cache unchanged.
    QMap<QString, QDateTime> times;
    for (const QString& f : first) times[f] = QFileInfo(song.CacheDir + u'/' + f).lastModified();
    render();
    EXPECT_EQ(cacheFiles(), first);
    for (const QString& f : first) EXPECT_EQ(QFileInfo(song.CacheDir + u'/' + f).lastModified(), times[f]) << f.toStdString();
    EXPECT_EQ(readFile(song.OutFile), output);

    // A note whose tool-2 arguments changed (here its flags) is rendered anew, although its index, sample,
    // pitch and length are the same, and its older file goes.
    SetNoteIntensityModFlags(song.NoteExt[2], 100, 0, u"g-20"_s);
    render();
    const QStringList second = cacheFiles();
    EXPECT_EQ(second, namedInBatch());
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(second.at(0), first.at(0));
    EXPECT_NE(second.at(1), first.at(1));
    EXPECT_TRUE(second.at(1).startsWith(first.at(1).left(first.at(1).lastIndexOf(u'_'))));
    EXPECT_EQ(second.at(2), first.at(2));
}

TEST_F(RenderBatchRunTest, WithoutCacheNothingIsLeftBehind) {
    render();
    EXPECT_GT(QFileInfo(song.OutFile).size(), 44);
    EXPECT_TRUE(cacheFiles().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(PathText::join(TempFolder, u"temp$$$.wav"_s)));
    // Parts left by an aborted run are not appended to.
    writeFile(song.OutFile + u".whd"_s, QByteArray(100, 'x'));
    writeFile(song.OutFile + u".dat"_s, QByteArray(1000, 'x'));
    const QByteArray before = readFile(song.OutFile);
    render();
    EXPECT_EQ(readFile(song.OutFile), before);
}

}  // namespace
}  // namespace tova::test
