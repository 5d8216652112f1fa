// Writes the starting corpus of the VSQ fuzz target into the folder given as argument: files of the
// program's own export (notes, rests, tempo changes) and files built by the tests' independent builder
// (two voice tracks, bends, CR LF lines, a text cut into one-byte events).
#include "exchange/vsq/VsqWriter.h"
#include "VsqFixtures.h"

#include <QDir>
#include <QFile>

#include <cstdio>

using namespace tova::test::smf;

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s <corpus folder>\n", argv[0]);
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);

    tova::NoteArrays song;
    song.resizeNotes(4);
    song.Lyrics = QStringList({QStringLiteral("さ"), QStringLiteral("R"), QStringLiteral("?か"), QStringLiteral("ん")});
    song.Lengths = {1920, 480, 962, 480};
    song.NoteNums = {36, 36, 40, 47};
    song.NoteExt = QStringList({QString(), QString(), QStringLiteral("\t\t\t\t\ttempo=150"), QStringLiteral("\t130")});

    const QByteArray bends = "[PitchBendBPList]\n0=0\n120=4096\n240=-8192\n960=0\n1440=8191\n1500=0\n";
    QByteArray crlf = vsqText({{0, 480, 60, Sa}, {600, 480, 62, Ku}});
    crlf.replace("\n", "\r\n");
    Track master;
    master.tempo(500000).tempo(400000, 960).end();
    const std::vector<std::pair<const char*, QByteArray>> seeds = {
        {"export.vsq", tova::VsqFileBytes(120.0f, song)},
        {"two-voices.vsq", vsqFile({vsqText({{0, 480, 60, Sa}}), vsqText({{0, 480, 62, Ku}, {480, 240, 64, Ra}})})},
        {"bends.vsq", vsqFile({vsqText({{0, 240, 60, "a"}, {960, 480, 60, "b"}, {1440, 480, 60, "c"}}, bends,
                                       "PMBendDepth=2\n")},
                              master)},
        {"crlf.vsq", vsqFile({crlf})},
        {"one-byte-events.vsq", file(1, 480, {vsqMaster(), vsqVoice(vsqText({{0, 480, 60, Sa + Ku}}), 1)})},
    };
    for (const auto& [name, bytes] : seeds) {
        QFile f(folder + u'/' + QString::fromLatin1(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    return 0;
}
