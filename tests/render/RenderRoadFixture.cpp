#include "RenderRoadFixture.h"

#include "platform/Errors.h"
#include "render/AliasLookup.h"
#include "render/ToolTrust.h"

#include <QFile>
#include <QtEndian>

namespace tova::test {

void CountingRoad::append() {
    ++appends_;
    if (onAppend_) onAppend_(appends_);
    if (appends_ == failAt_) throw FileError(QStringLiteral("書き込みに失敗しました。"), 75);
}

void RenderRoadFixture::SetUp() {
    ASSERT_TRUE(dir.isValid());
    savedFolder = QDir::currentPath();
    settings() = Settings{};
    settings().CacheEnable = true;
    SystemPaths::setProgramFolder(programFolder());
    layOut(dir.path());

    song.ProjectName = QStringLiteral("うた");
    song.Tool1 = programFolder() + QStringLiteral("/catena");
    song.Tempo = 120;
    song.ProjectFlags = QStringLiteral("B50");
    const struct {
        const char* lyric;
        qint32 ticks;
        qint32 note;
        const char* ext;
    } notes[] = {
        {"あ", 1920, 33, ""},
        {"か", 960, 31, "\t\t\t0Q120 10 20 30 40 30 20 10 0\tg-5\t"},
        {"R", 960, 31, ""},
        {"い", 1920, 35, "::80\t90\t50\t\t\tstp=5"},
        {"あ", 960, 36, ""},
    };
    for (const auto& n : notes) addNote(n.lyric, n.ticks, n.note, n.ext);
}

void RenderRoadFixture::addNote(const char* lyric, qint32 ticks, qint32 noteNum, const char* ext) {
    const qint32 i = song.noteCount();
    song.resizeNotes(i + 1);
    song.Lyrics[i] = QString::fromUtf8(lyric);
    song.Lengths[i] = ticks;
    song.NoteNums[i] = noteNum;
    song.NoteExt[i] = QString::fromUtf8(ext);
    song.SelStart = song.SelEnd = song.noteCount();
}

void RenderRoadFixture::layOut(const QString& folder) {
    root = folder;
    QDir home(root);
    TempFolder = home.filePath(QStringLiteral("tmp"));
    QDir().mkpath(TempFolder);
    bank = home.filePath(QStringLiteral("voice bank"));
    WriteFixtureBank(bank);
    LoadOtoIni(bank);
    project = home.filePath(QStringLiteral("my songs/song.tvx"));
    QDir().mkpath(home.filePath(QStringLiteral("my songs")));

    log = home.filePath(QStringLiteral("tool2.log"));
    const QString tool2 = home.filePath(QStringLiteral("tools/vorsa logged"));
    writeFile(tool2, QStringLiteral("#!/bin/sh\nprintf '%s\\n' \"$3\" >> '%1'\nexec '%2' \"$@\"\n")
                         .arg(log, programFolder() + QStringLiteral("/vorsa"))
                         .toUtf8());
    QFile::setPermissions(tool2, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // The user's own wrapper: accepted, so no render asks about it.
    AcceptTool(tool2);
    song.ProjectPath = project;
    song.VoiceDir = bank;
    song.Tool2 = tool2;
}

void RenderRoadFixture::TearDown() {
    QDir::setCurrent(savedFolder);
    ClearOtoTable();
    SystemPaths::setProgramFolder(QString());
    TempFolder.clear();
    StopRequested = 0;
    settings() = Settings{};
}

const char* RenderRoadFixture::roadName(Road r) {
    switch (r) {
    case Road::Batch: return "batch";
    case Road::Program: return "program";
    case Road::Library: return "library";
    }
    return "";
}

void RenderRoadFixture::useRoad(Road road) {
    settings().NonBatchMode = road == Road::Program;
    settings().UseDLL = road == Road::Library;
}

QString RenderRoadFixture::generate(const QString& output) {
    ports.messageBox.shown.clear();
    ports.fileDialog.answers.enqueue(output);
    commands.mnGenerate_Click();
    return ports.messageBox.shown.isEmpty() ? QString() : ports.messageBox.shown.back().text;
}

QStringList RenderRoadFixture::takeRendered() {
    // The library road is counted in process, the other two by the tool 2 script's log (the program
    // road is counted both ways, and both must agree).
    QStringList logged;
    for (const QByteArray& line : readFile(log).split('\n'))
        if (!line.isEmpty()) logged << QString::fromUtf8(line);
    QFile::remove(log);
    const QStringList counted = direct.rendered;
    direct.rendered.clear();
    if (settings().UseDLL) return counted;
    // The program road starts notes side by side: their programs may log in another order.
    if (settings().NonBatchMode) {
        QStringList inCallOrder = counted, inLogOrder = logged;
        inCallOrder.sort();
        inLogOrder.sort();
        EXPECT_EQ(inCallOrder, inLogOrder);
        return counted;
    }
    return logged;
}

void RenderRoadFixture::clearCache() {
    QDir(QDir(root).filePath(QStringLiteral("my songs/song.cache"))).removeRecursively();
    QFile::remove(log);
    direct.rendered.clear();
}

double WaveDurationMs(const QByteArray& b) {
    if (b.size() < 44 || !b.startsWith("RIFF") || b.mid(8, 8) != "WAVEfmt ") return -1;
    auto u32 = [&](int at) { return qFromLittleEndian<quint32>(b.constData() + at); };
    auto u16 = [&](int at) { return qFromLittleEndian<quint16>(b.constData() + at); };
    if (u32(4) != quint32(b.size() - 8) || u32(16) != 16 || u16(20) != 1 || u16(22) != 1 || u32(24) != 44100 ||
        u32(28) != 88200 || u16(32) != 2 || u16(34) != 16 || b.mid(36, 4) != "data" || u32(40) != quint32(b.size() - 44))
        return -1;
    return (b.size() - 44) / 2 / 44.1;
}

}  // namespace tova::test
