// Writes the starting corpus of the MIDI-file fuzz target into the folder given as argument: small
// format 0 and 1 files with running status, lyrics, tempo changes, bends and the export's text events.
#include "SmfBuilder.h"

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

    Track conductor;
    conductor.name("Control").tempo(500000).text("Settings").text("@set tempo=120").tempo(400000, 960).end();
    Track voice;
    voice.name("Voice A").bendRange(12).text("0000: offset=20 mod=30 flag=g-5 env=0,5,35,0,100,100,0 stp=3");
    voice.lyric(Sa).on(0, 60).bend(0, 100).bend(60, -300).off(420, 60).text("0001: pitch=0Q130.00 1 2 3");
    voice.lyric(Ku).on(50, 64).raw(240, bytes({67, 90})).raw(240, bytes({64, 0})).raw(0, bytes({67, 0}));
    voice.raw(0, bytes({0xF0, 0x02, 0x01, 0xF7})).on(0, 72, 80, 3).off(480, 72, 3).end();
    Track single;
    single.tempo(600000).lyric(Ra).on(0, 60, 100, 2).raw(480, bytes({62, 90})).raw(480, bytes({62, 0}));
    single.tempo(300000, 10).on(100, 70, 90, 0).bend(5, 8000, 0).off(200, 70, 0).end();

    const std::vector<std::pair<const char*, QByteArray>> seeds = {
        {"format1.mid", file(1, 480, {conductor, voice})},
        {"format1-three.mid", file(1, 96, {conductor, Track().text("extra").end(), voice})},
        {"format0.mid", file(0, 480, {single})},
        {"format0-division7.mid", file(0, 7, {single})},
    };
    for (const auto& [name, bytes] : seeds) {
        QFile f(folder + u'/' + QString::fromLatin1(name));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) return 1;
    }
    return 0;
}
