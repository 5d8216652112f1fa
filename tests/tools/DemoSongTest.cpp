// The demo song that the README's run command opens: a file the project reader and writer agree on
// byte for byte, and sung by the default voice bank in tune.
#include "DefaultBankFixture.h"

#include "core/NoteNames.h"
#include "core/WaveFiles.h"
#include "platform/Cp932.h"
#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"
#include "song/ProjectFile.h"
#include "support/TestSupport.h"
#include "tools/initvox/PitchEstimator.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

using namespace tova;
using namespace tova::test::initvox;

namespace {

QString demoPath() { return test::sourceFolder() + "/demo/demo.tvx"; }

struct Demo {
    ProjectSettings settings;
    NoteArrays notes;
};

Demo readDemo() {
    Demo d;
    qint32 index = 0;
    ReadProjectFile(demoPath(), d.settings, index, d.notes);
    return d;
}

bool isBent(const QString& ext) { return !GetNoteOption(ext, "PBW").isEmpty() || !GetNoteOption(ext, "PBY").isEmpty(); }
bool hasVibrato(const QString& ext) { return !GetNoteOption(ext, "VBR").isEmpty(); }

// Runs one tool program of the build; the test fails when it does not end with exit code 0.
void runTool(const QString& name, const QStringList& arguments) {
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(test::programFolder() + "/" + name, arguments);
    ASSERT_TRUE(p.waitForFinished(120000));
    ASSERT_EQ(p.exitCode(), 0) << name.toStdString() << " " << arguments.join(' ').toStdString() << "\n"
                               << p.readAll().toStdString();
}

QString ms(double v) { return Vb::Format(v, "0.0###"); }

// Timing of a note as the renderer uses it: the bank's pre-utterance and overlap, shrunk when they
// reach too far into the note before (its half, or all of a rest before), the cut moved into the
// start point.
struct Timing {
    double pre = 0, ovl = 0, stp = 0;
};

}  // namespace

TEST(DemoSong, ProjectWriterGivesBackTheShippedFile) {
    const QByteArray shipped = test::readFile(demoPath());
    ASSERT_FALSE(shipped.isEmpty());
    const Demo d = readDemo();
    EXPECT_EQ(Cp932::encode(ProjectFileText(d.settings, d.notes)), shipped);

    // A children's song in kana with a tempo change, a rest, a pitch bend and a vibrato, sung by the
    // default bank.
    EXPECT_TRUE(d.settings.Mode2);
    EXPECT_EQ(d.settings.VoiceDir, "%VOICE%cantu");
    int tempoChanges = 0, rests = 0, bends = 0, vibratos = 0;
    const QString table = QString::fromUtf8(test::readFile(test::programFolder() + "/voice/cantu/initvox.txt"));
    for (int i = 0; i < d.notes.noteCount(); ++i) {
        const QString& ext = d.notes.NoteExt[i];
        tempoChanges += !GetNoteOption(ext, "tempo").isEmpty();
        bends += isBent(ext);
        vibratos += hasVibrato(ext);
        if (IsRestLyric(d.notes.Lyrics[i])) {
            ++rests;
        } else {
            EXPECT_TRUE(table.contains("\n" + d.notes.Lyrics[i] + " ")) << d.notes.Lyrics[i].toStdString();
        }
    }
    EXPECT_GE(tempoChanges, 1);
    EXPECT_GE(rests, 1);
    EXPECT_GE(bends, 1);
    EXPECT_GE(vibratos, 1);
}

// Renders the demo note by note with the tools, as the per-note lines of a render batch call them
// (tool 2 renders the note from its sample, tool 1 appends it with its envelope and overlap), and
// measures every sung note's fundamental over the middle half of the note.
TEST(DemoSong, DefaultBankSingsEveryNoteInTune) {
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    const BankRun bank = makeDefaultBank(root.path());
    ASSERT_EQ(bank.exitCode, 0) << bank.output.toStdString();
    const QMap<QString, QStringList> oto = readOto(bank.bankFolder);

    const Demo d = readDemo();
    const NoteArrays& n = d.notes;
    const int count = n.noteCount();
    std::vector<double> tempo(count), length(count);
    double t = d.settings.Tempo;
    for (int i = 0; i < count; ++i) {
        const QString opt = GetNoteOption(n.NoteExt[i], "tempo");
        if (!opt.isEmpty()) t = Vb::Val(opt);
        tempo[i] = t;
        length[i] = n.Lengths[i] * 31.25 / t;
    }
    const auto rest = [&](int i) { return IsRestLyric(n.Lyrics[i]); };
    const auto otoOf = [&](int i) { return oto.value(n.Lyrics[i].trimmed() + ".wav"); };
    const auto timing = [&](int i) {
        Timing m;
        if (i >= count || rest(i)) return m;
        const QStringList f = otoOf(i);
        m.pre = f.value(4).toDouble();
        m.ovl = f.value(5).toDouble();
        if (i >= 1 && m.pre > m.ovl) {
            const double room = rest(i - 1) ? length[i - 1] : length[i - 1] * 0.5;
            if (m.pre - m.ovl > room) {
                const double s = room / (m.pre - m.ovl), p0 = m.pre;
                m.pre *= s;
                m.ovl *= s;
                m.stp += p0 - m.pre;
            }
        }
        return m;
    };

    const QString output = root.path() + "/demo.wav";
    const QString temp = root.path() + "/note.wav";
    for (int i = 0; i < count; ++i) {
        const Timing next = timing(i + 1);
        if (rest(i)) {
            runTool("catena", {output, bank.bankFolder + "/R.wav", "0", ms(length[i] - next.pre + next.ovl), "0", "0"});
            continue;
        }
        const QStringList f = otoOf(i);
        ASSERT_EQ(f.size(), 6) << n.Lyrics[i].toStdString();
        const Timing m = timing(i);
        const double sounding = m.pre + length[i] - next.pre + next.ovl;
        const double required = std::floor((m.pre + length[i] + m.stp - next.pre + next.ovl) / 50.0 + 1.5) * 50.0;
        QFile::remove(temp);
        runTool("vorsa", {bank.bankFolder + "/" + n.Lyrics[i] + ".wav", temp, NoteNumToName(n.NoteNums[i]), "100", "",
                          ms(f[1].toDouble()), Vb::DoubleText(required), ms(f[2].toDouble()), ms(f[3].toDouble()),
                          "100", "100", ""});
        QStringList envelope = QString("0 5 35 0 100 100 0").split(' ');
        envelope << Vb::DoubleText(m.ovl);
        runTool("catena", QStringList{output, temp, Vb::DoubleText(m.stp), ms(sounding)} + envelope);
        if (HasFatalFailure()) return;
    }
    QFile wave(output);
    ASSERT_TRUE(wave.open(QIODevice::WriteOnly));
    wave.write(test::readFile(output + ".whd") + test::readFile(output + ".dat"));
    wave.close();
    QFile::remove(test::outputFolder() + "/demo.wav");
    QFile::copy(output, test::outputFolder() + "/demo.wav");  // for people to listen to

    WaveHeader header;
    QVector<qint16> values;
    ASSERT_GT(ReadWaveFile(header, values, output), 0);
    std::vector<float> signal(values.size());
    for (int i = 0; i < values.size(); ++i) signal[size_t(i)] = values[i] / 32768.0f;
    const initvox::PitchEstimator estimator(44100.0);

    std::printf("%4s %-4s %-4s %8s %7s %8s %8s %7s  %s\n", "note", "lyr", "name", "start", "ms", "target", "sung",
                "cents", "");
    double start = 0.0;  // the song starts with a rest: every note starts where the notes before it end
    int checked = 0;
    for (int i = 0; i < count; ++i) {
        const double from = start + length[i] / 4.0, to = start + length[i] * 3.0 / 4.0;
        start += length[i];
        if (rest(i)) continue;
        const double target = NoteNumToFreq(n.NoteNums[i]);
        const double sung = estimator.medianFrequency(signal, size_t(from * 44.1), size_t(to * 44.1), 220);
        const double cents = sung > 0.0 ? 1200.0 * std::log2(sung / target) : NAN;
        const bool excepted = isBent(n.NoteExt[i]) || hasVibrato(n.NoteExt[i]);
        std::printf("%4d %-4s %-4s %8.0f %7.0f %8.2f %8.2f %7.1f  %s\n", i, n.Lyrics[i].toUtf8().constData(),
                    NoteNumToName(n.NoteNums[i]).toUtf8().constData(), from - length[i] / 4.0, length[i], target, sung,
                    cents, isBent(n.NoteExt[i]) ? "bent" : hasVibrato(n.NoteExt[i]) ? "vibrato" : "");
        if (excepted) continue;
        ++checked;
        EXPECT_LE(std::abs(cents), 20.0) << "note " << i << " " << n.Lyrics[i].toStdString();
    }
    EXPECT_GE(checked, 20);
}
