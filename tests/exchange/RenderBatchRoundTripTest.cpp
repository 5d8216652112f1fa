#include "ExchangeFakes.h"
#include "render/VoiceBankFixture.h"

#include "core/Processes.h"
#include "exchange/ProgramVoiceBankAccess.h"
#include "exchange/RenderBatchReader.h"
#include "platform/Vb.h"
#include "render/RenderBatch.h"
#include "song/NoteExtension.h"

#include <QDir>
#include <QMap>

#include <gtest/gtest.h>

namespace tova::test {
namespace {

using namespace Qt::Literals::StringLiterals;

// A note as rendering sees it: timing values as numbers (an empty velocity is 100), the other fields as
// written, the options as a sorted list with the tempo as a number.
QString canonical(const QString& lyric, qint32 length, qint32 noteNum, const QString& ext) {
    const QStringList f = SplitNoteExt(ext);
    QStringList timing = f[ExtTiming].split(u':');
    while (timing.size() < 3) timing << QString();
    if (timing[2].isEmpty()) timing[2] = u"100"_s;
    QStringList values;
    for (const QString& t : timing.mid(0, 3)) values << Vb::SingleText(float(Vb::Val(t)));
    QStringList options;
    for (const QString& entry : f[ExtOptions].split(OptionSeparator(), Qt::SkipEmptyParts)) {
        const qsizetype eq = entry.indexOf(u'=');
        const QString key = entry.left(eq);
        const QString value = entry.mid(eq + 1);
        options << key + u'=' + (key == u"tempo" || key == u"stp" ? Vb::SingleText(float(Vb::Val(value))) : value);
    }
    options.sort();
    return QStringList{lyric, QString::number(length), QString::number(noteNum), values.join(u':'), f[ExtIntensity],
                       f[ExtModulation], f[ExtPitches], f[ExtFlags], options.join(u'|')}
        .join(u" / "_s);
}

class RoundTripTest : public VoiceBankFixture {
protected:
    void SetUp() override {
        VoiceBankFixture::SetUp();
        useTempFolder();
        // あ a.wav, か in a sub-folder with a blank in its name, う強 u.aiff (the suffix of note E4).
        put(u"bank/oto.ini"_s,
            "a.wav=\x82\xa0,10,60,-100,50,20\r\n"
            "sub\\ka b.wav=\x82\xa9,5,40,-50,30,10\r\n"
            "u.aiff=\x82\xa4\x8b\xad,0,20,0,25,5\r\n");
        put(u"bank/prefix.map"_s, "C4\t\t\r\nD4\t\t\r\nE4\t\t\x8b\xad\r\n");
        put(u"bank/a.wav"_s, tinyWave());
        put(u"bank/sub/ka b.wav"_s, tinyWave());
        put(u"bank/u.aiff"_s, tinyAiff());
        bank = file(u"bank"_s);
        LoadOtoIni(bank);
    }
    QString bank;
};

struct Note {
    QString lyric;
    qint32 length;
    qint32 noteNum;
    QString ext;
};

// What a render batch carries of a song comes back when the batch is read: lyrics (through the sample's
// alias and the prefix map), note numbers, lengths in both length forms, pre-utterance, overlap and
// velocity, intensity, modulation, pitch data, flags (escaped and joined to the project flags by the
// writer), tempo changes on notes and rests, envelopes in both forms, start points and "@" options; a
// flag, envelope or start point that the writer leaves out because it did not change comes back too.
TEST_F(RoundTripTest, NotesWrittenByTheRenderBatchWriterReadBackTheSame) {
    const QList<Note> notes = {
        {u"R"_s, 960, 36, QString()},
        {u"あ"_s, 1920, 36, u"50:20:\t90\t10\t\tg-5\t@foo=1"_s},
        {u"か"_s, 1920, 38, u"30:10:150\t100\t0\t0Q100 5 5 -10\tE10\ttempo=100\\nstp=8\\nenv=0 10 30 0 90 100 0"_s},
        {u"R"_s, 480, 36, u"\t\t\t\t\ttempo=120"_s},  // a rest is always read at note 36
        {u"う"_s, 1440, 40, u"40:5:200\t100\t0\t\t\tstp=4\\nenv=0 10 30 0 90 100 0 % 20 30 50"_s},
        {u"あ"_s, 960, 36, u"50:0:\t100\t100\t\tg-5\tstp=4\\nenv=0 10 30 0 90 100 0"_s},
        {u"あ"_s, 960, 36, u"50:0:\t100\t100\t\tg-5\tstp=4\\nenv=0 10 30 0 90 100 0"_s},
        {u"か"_s, 1920, 38, u"20:0:\t100\t0\t\t\t"_s},
    };
    const struct {
        const char* what;
        bool oldTime, cache;
    } forms[] = {{"tick lengths, cache on", false, true}, {"millisecond lengths, cache off", true, false}};

    for (const auto& form : forms) {
        settings().OldTime = form.oldTime;
        settings().CacheEnable = form.cache;
        Song song;
        song.ProjectName = u"往復"_s;
        song.VoiceDir = bank;
        song.OutFile = u"out.wav"_s;
        song.CacheDir = file(u"song.cache"_s);
        song.Tool1 = u"/prog/catena"_s;
        song.Tool2 = u"/prog/vorsa"_s;
        song.ProjectFlags = u"B40"_s;
        song.Tempo = 120;
        song.makeEmpty();
        for (const Note& n : notes) {
            const qint32 i = song.noteCount();
            song.resizeNotes(i + 1);
            song.Lyrics[i] = n.lyric;
            song.Lengths[i] = n.length;
            song.NoteNums[i] = n.noteNum;
            song.NoteExt[i] = n.ext;
        }
        QString out = song.OutFile;
        const QString batch = file(u"song.bat"_s);
        WriteRenderBatch(song, song.ProjectName, batch, 0, song.noteCount() - 1, out);

        ClearOtoTable();
        FakeProjectWindow window;
        window.NewProject();
        ProgramVoiceBankAccess voices;
        RenderBatchReader(window, voices).ReadBatchNotes(batch);
        const Song& back = window.theSong;
        EXPECT_EQ(back.ProjectName, u"往復"_s) << form.what;
        EXPECT_EQ(back.VoiceDir, bank) << form.what;
        EXPECT_EQ(back.Tool1, u"/prog/catena"_s) << form.what;
        EXPECT_EQ(back.Tool2, u"/prog/vorsa"_s) << form.what;
        EXPECT_EQ(back.OutFile, u"out.wav"_s) << form.what;
        EXPECT_EQ(back.ProjectFlags, u"B40"_s) << form.what;
        EXPECT_FLOAT_EQ(back.Tempo, 120.0f) << form.what;
        ASSERT_EQ(back.noteCount(), notes.size()) << form.what;
        for (qsizetype i = 0; i < notes.size(); ++i)
            EXPECT_EQ(canonical(back.Lyrics[i], back.Lengths[i], back.NoteNums[i], back.NoteExt[i]).toStdString(),
                      canonical(notes[i].lyric, notes[i].length, notes[i].noteNum, notes[i].ext).toStdString())
                << form.what << ", note " << i;
    }
}

// A note without its own pre-utterance and overlap comes back with those of its sample.
TEST_F(RoundTripTest, SampleTimingBecomesTheNotesOwn) {
    Song song;
    song.VoiceDir = bank;
    song.Tempo = 120;
    song.makeEmpty();
    song.resizeNotes(1);
    song.Lyrics[0] = u"あ"_s;
    song.Lengths[0] = 1920;
    song.NoteNums[0] = 36;
    song.NoteExt[0] = u"\t100\t0\t\t\t"_s;
    QString out;
    WriteRenderBatch(song, u"p"_s, file(u"one.bat"_s), 0, 0, out);
    FakeProjectWindow window;
    window.NewProject();
    ProgramVoiceBankAccess voices;
    RenderBatchReader(window, voices).ReadBatchNotes(file(u"one.bat"_s));
    ASSERT_EQ(window.theSong.noteCount(), 1);
    EXPECT_EQ(NoteExtField(window.theSong.NoteExt[0], ExtTiming), u"50:20"_s);
    EXPECT_EQ(out, u"one.wav"_s);
}

}  // namespace
}  // namespace tova::test
