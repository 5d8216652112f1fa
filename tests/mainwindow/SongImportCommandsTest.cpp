// The File menu's import, append-load and export items on a started main window: each menu item reaches
// its worker, the song and caption follow, and append-load is one step of the Edit menu's history.
#include "../exchange/ExchangeFakes.h"
#include "../exchange/SmfFixtures.h"
#include "MainWindowRig.h"
#include "exchange/TrackChooserPort.h"
#include "exchange/vsq/VsqWriter.h"
#include "mainwindow/ProjectFiles.h"
#include "mainwindow/ProjectSettingsDialogPort.h"
#include "mainwindow/SongImportCommands.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

using namespace tova;
using namespace tova::test;
using namespace tova::test::smf;
using namespace Qt::Literals::StringLiterals;

namespace {

class SecondTrack : public TrackChooserPort {
public:
    int asked = 0;
    qint32 SelectTrack(const QStringList&, qint32) override { return ++asked, 2; }
};

class NoSettingsDialog : public ProjectSettingsDialogPort {
public:
    bool ShowDialog(ProjectSettingsValues&) override { return false; }
};

struct ImportRig {
    MainWindowRig rig;
    FakeVoiceBank voices;
    NoSettingsDialog dialog;
    SecondTrack chooser;
    SongImportCommands commands{voices, chooser};
    ProjectFiles files{[this] {
        ProjectFiles::Services s;
        s.voices = &voices;
        s.projectSettings = &dialog;
        s.import = &commands;
        s.appendLoad = &commands;
        return s;
    }()};

    ImportRig() {
        rig.ports.projectFiles = &files;
        EXPECT_TRUE(rig.start());
    }
    void trigger(const QString& item, const QString& answer) {
        rig.modal.fileDialog.answers.enqueue(answer);
        rig.f().controlAs<QAction>(item)->trigger();
    }
    Song& song() { return rig.w().song; }
    QString file(const QString& name, const QByteArray& data) {
        const QString path = rig.program.path() + u'/' + name;
        writeFile(path, data);
        return path;
    }
};

QByteArray midi(quint32 microseconds, const QList<QByteArray>& lyrics) {
    Track voice;
    voice.name("Voice A");
    for (const QByteArray& l : lyrics) voice.lyric(l).on(0, 60).off(480, 60);
    return file(1, 480, {conductor(microseconds), voice.end()});
}

}  // namespace

TEST(SongImportCommands, FileMenuImportAppendAndExport) {
    ImportRig r;
    r.trigger(u"mnImport"_s, r.file(u"Song.mid"_s, midi(500000, {Sa, Ku})));
    EXPECT_EQ(r.song().Lyrics, QStringList({u"さ"_s, u"く"_s}));
    EXPECT_EQ(r.song().ProjectName, u"Song"_s);
    EXPECT_TRUE(r.rig.f().windowTitle().startsWith(u"Song"_s)) << r.rig.f().windowTitle().toStdString();
    EXPECT_EQ(r.chooser.asked, 1);

    r.trigger(u"mnAppendLoad"_s, r.file(u"more.mid"_s, midi(400000, {Ra})));
    EXPECT_EQ(r.song().Lyrics, QStringList({u"さ"_s, u"く"_s, u"ら"_s}));
    EXPECT_FLOAT_EQ(r.song().Tempo, 150.0f);
    EXPECT_EQ(r.song().SelStart, 2);
    r.rig.f().controlAs<QAction>(u"mnUndo"_s)->trigger();
    EXPECT_EQ(r.song().Lyrics, QStringList({u"さ"_s, u"く"_s}));
    EXPECT_FLOAT_EQ(r.song().Tempo, 120.0f);

    const QString out = r.rig.program.path() + u"/out.vsq"_s;
    r.trigger(u"mnSaveExport"_s, out);
    EXPECT_EQ(readFile(out), VsqFileBytes(120.0f, r.song()));
}

// A project the program wrote keeps its bytes when it is opened and saved again without an edit: an
// imported song (whose notes carry no timing of their own) gains no empty timing lines.
TEST(SongImportCommands, ImportedSongSavedOpenedAndSavedAgainKeepsItsBytes) {
    ImportRig r;
    Track voice;
    voice.name("Voice A");
    voice.lyric(Sa).on(0, 60).off(480, 60).lyric(Ku).on(240, 62).off(240, 62).lyric(Ra).on(0, 64).off(960, 64);
    r.trigger(u"mnImport"_s, r.file(u"Song.mid"_s, file(1, 480, {conductor(500000), voice.end()})));
    ASSERT_EQ(r.song().noteCount(), 4);  // with the rest between the second and third note

    // Saved again over itself (the project's output and cache folder are kept relative to its folder,
    // so another name or folder would change those lines).
    const QString path = r.rig.program.path() + u"/song.tvx"_s;
    r.trigger(u"mnSaveAt"_s, path);
    const QByteArray written = readFile(path);
    EXPECT_FALSE(written.contains("PreUtterance=")) << written.toStdString();
    r.trigger(u"mnOpen"_s, path);
    ASSERT_EQ(r.song().ProjectPath, path);
    EXPECT_FALSE(r.song().IsModified);
    r.trigger(u"mnSaveAt"_s, path);
    // Compared line by line, so that a difference names its line.
    EXPECT_EQ(readFile(path).split('\n'), written.split('\n'));
}
