// The first start's default-voice run: progress read from what the generator leaves in the voice folder,
// and a stop that ends the whole run and leaves no half-made bank.
#include "core/Processes.h"
#include "core/ui/frmProgress.h"
#include "mainwindow/DefaultVoiceRun.h"
#include "mainwindow/ui/QtDefaultVoiceRunView.h"
#include "platform/FakePorts.h"
#include "support/TestSupport.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QProgressBar>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>

using namespace tova;
using namespace Qt::Literals::StringLiterals;

namespace {

// A voice folder with a three-sample table and a stand-in generator that behaves as the real one does:
// it removes oto.ini, speaks the samples one by one, writes oto.ini and character.txt, then gives each
// spoken sample its frequency table. It starts a helper that would outlive it, noting its id.
struct VoiceFolder {
    QTemporaryDir dir;
    QString folder() const { return dir.path(); }
    QString file(const QString& name) const { return dir.filePath(name); }
    VoiceFolder() {
        test::writeFile(file(u"initvox.txt"_s), "voice=ja\nname=t\n\na \xe3\x81\x82\xe3\x83\xbc\nka \xe3\x81\x8b\xe3\x83\xbc\nR\n");
        test::writeFile(file(u"readme.txt"_s), "mine");
        test::writeFile(file(u"generate.sh"_s),
                        "sleep 30 & echo $! > helper.pid\n"
                        "rm -f oto.ini\n"
                        "for s in a ka R; do sleep 0.3; echo wave > $s.wav; done\n"
                        "echo oto > oto.ini; echo name=t > character.txt\n"
                        "for s in a ka; do sleep 0.3; echo table > ${s}_wav.frq; done\n");
    }
    ~VoiceFolder() {
        const qint64 pid = test::readFile(file(u"helper.pid"_s)).trimmed().toLongLong();
        if (pid > 0) ::kill(pid_t(pid), SIGKILL);  // a run that was not stopped leaves it
    }
    // Whether the helper still runs a moment after a stop (the signal takes a little while).
    bool helperOutlives() const {
        for (int i = 0; i < 100; ++i) {
            if (!helperRunning()) return false;
            QTest::qWait(20);
        }
        return true;
    }
    bool helperRunning() const {
        // A helper that has ended but is not collected yet (a zombie, "Z") does not run.
        const QByteArray pid = test::readFile(file(u"helper.pid"_s)).trimmed();
        QFile stat(u"/proc/"_s + QString::fromLatin1(pid) + u"/stat"_s);
        if (pid.isEmpty() || !stat.open(QIODevice::ReadOnly)) return false;
        const QByteArray line = stat.readAll();
        const qsizetype close = line.lastIndexOf(')');
        return close > 0 && line.mid(close + 2, 1) != "Z";
    }
};

struct RecordingView : DefaultVoiceRunView {
    QStringList seen;
    int opened = 0, closed = 0;
    std::function<bool(const DefaultVoiceProgress::State&)> stopAt;
    DefaultVoiceProgress::State last;
    void open(const DefaultVoiceProgress::State& s) override { ++opened; update(s); }
    void update(const DefaultVoiceProgress::State& s) override {
        last = s;
        if (seen.isEmpty() || seen.back() != s.text()) seen << s.text();
    }
    bool stopRequested() override { return stopAt && stopAt(last); }
    void close() override { ++closed; }
};

TEST(DefaultVoiceRun, ShowsSamplesThenTablesUntilTheBankIsWhole) {
    VoiceFolder v;
    RecordingView view;
    EXPECT_TRUE(RunDefaultVoiceGenerator(u"/bin/sh"_s, {u"generate.sh"_s}, v.folder(), view, 20));
    EXPECT_EQ(view.opened, 1);
    EXPECT_EQ(view.closed, 1);
    ASSERT_FALSE(view.seen.isEmpty());
    EXPECT_EQ(view.seen.front(), u"音節 0 / 3"_s);
    EXPECT_TRUE(view.seen.contains(u"音節 2 / 3"_s)) << view.seen.join(u", "_s).toStdString();
    EXPECT_EQ(view.seen.back(), u"周波数表 2 / 2"_s);
    EXPECT_TRUE(QFile::exists(v.file(u"oto.ini"_s)));
    EXPECT_TRUE(QFile::exists(v.file(u"R.wav"_s)));
    // Samples left from an earlier run do not count as done.
    DefaultVoiceProgress later(v.folder(), QDateTime::currentDateTime().addSecs(5));
    QFile::remove(v.file(u"oto.ini"_s));
    EXPECT_EQ(later.poll().done, 0);
    EXPECT_EQ(later.poll().total, 3);
}

TEST(DefaultVoiceRun, StopEndsEveryProgramOfTheRunAndLeavesNoHalfMadeBank) {
    VoiceFolder v;
    RecordingView view;
    view.stopAt = [](const DefaultVoiceProgress::State& s) { return s.done >= 1; };
    EXPECT_FALSE(RunDefaultVoiceGenerator(u"/bin/sh"_s, {u"generate.sh"_s}, v.folder(), view, 20));
    EXPECT_EQ(view.closed, 1);
    EXPECT_FALSE(v.helperOutlives());
    QStringList left = QDir(v.folder()).entryList(QDir::Files);
    left.sort();
    EXPECT_EQ(left, (QStringList{u"generate.sh"_s, u"helper.pid"_s, u"initvox.txt"_s, u"readme.txt"_s}));

    // Stopped among the tables, the bank itself is whole and stays; the next run makes the rest.
    VoiceFolder w;
    RecordingView tables;
    tables.stopAt = [](const DefaultVoiceProgress::State& s) { return s.tables && s.done >= 1; };
    EXPECT_FALSE(RunDefaultVoiceGenerator(u"/bin/sh"_s, {u"generate.sh"_s}, w.folder(), tables, 20));
    EXPECT_TRUE(QFile::exists(w.file(u"oto.ini"_s)));
    EXPECT_TRUE(QFile::exists(w.file(u"a.wav"_s)));
    EXPECT_FALSE(w.helperOutlives());
}

// A run that ends without making the bank (a program folder the user may not write, say) says why in
// the generator's own words; a bank left without samples would otherwise go unexplained. A run that
// makes the bank says nothing.
TEST(DefaultVoiceRun, ARunThatMakesNoBankSaysWhy) {
    ScopedFakePorts ports;
    VoiceFolder v;
    test::writeFile(v.file(u"generate.sh"_s), "echo speaking\n"
                                              "echo 'initvox: cannot create \xe3\x81\x8a.wav: Permission denied.' >&2\n"
                                              "exit 1\n");
    RecordingView view;
    EXPECT_FALSE(RunDefaultVoiceGenerator(u"/bin/sh"_s, {u"generate.sh"_s}, v.folder(), view, 20));
    EXPECT_EQ(view.closed, 1);
    ASSERT_EQ(ports.messageBox.shown.size(), 1);
    EXPECT_EQ(ports.messageBox.lastText(),
              u"標準の音源を作れませんでした。\nspeaking\ninitvox: cannot create お.wav: Permission denied."_s);
    EXPECT_EQ(ports.messageBox.shown.front().icon, MsgIcon::Exclamation);

    RecordingView none;
    EXPECT_FALSE(RunDefaultVoiceGenerator(v.file(u"no such generator"_s), {}, v.folder(), none, 20));
    ASSERT_EQ(ports.messageBox.shown.size(), 2);
    EXPECT_TRUE(ports.messageBox.lastText().startsWith(u"標準の音源を作れませんでした。\n"_s + v.file(u"no such generator"_s)))
        << ports.messageBox.lastText().toStdString();

    VoiceFolder whole;
    RecordingView made;
    EXPECT_TRUE(RunDefaultVoiceGenerator(u"/bin/sh"_s, {u"generate.sh"_s}, whole.folder(), made, 20));
    EXPECT_EQ(ports.messageBox.shown.size(), 2);
}

// The window of the first start: counts, bar and the stop link, which asks the run to stop.
TEST(DefaultVoiceRun, ProgressWindowShowsTheCountsAndStops) {
    QtDefaultVoiceRunView view;
    DefaultVoiceProgress::State s;
    s.done = 12;
    s.total = 80;
    view.open(s);
    frmProgress& f = frmProgress::form();
    EXPECT_EQ(f.Label1->text(), u"標準音源を作成中　音節 12 / 80"_s);
    EXPECT_EQ(f.ProgressBar1->maximum(), 80);
    EXPECT_EQ(f.ProgressBar1->value(), 12);
    EXPECT_FALSE(f.Label1->fontMetrics().horizontalAdvance(f.Label1->text()) > f.Label1->width());
    const QString png = test::savePng(&f, u"first_start_progress"_s);
    EXPECT_FALSE(QImage(png).isNull());
    EXPECT_FALSE(view.stopRequested());
    QTest::mouseClick(f.Label2, Qt::LeftButton);
    EXPECT_TRUE(view.stopRequested());
    view.update(s);  // the window keeps saying that it stops
    EXPECT_EQ(f.Label1->text(), u"中断します..."_s);
    view.close();
    EXPECT_FALSE(frmProgress::isLoaded());
    EXPECT_EQ(StopRequested, 0);
}

}  // namespace
