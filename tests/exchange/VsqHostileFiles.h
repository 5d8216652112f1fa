#pragma once

#include "VsqFixtures.h"

#include <QList>

// Damaged and hostile VSQ files: each one must give the format failure (-1) or no element (0), and leave
// the song as it was.
namespace tova::test::smf {

struct HostileVsq {
    const char* what;
    QByteArray data;
};

inline QList<HostileVsq> hostileVsqFiles() {
    const QByteArray good = vsqText({{1920, 480, 72, "a"}});
    QList<HostileVsq> list;
    list.append({"not a MIDI file", QByteArray("RIFF....WAVEfmt ")});
    list.append({"format 2", file(2, 480, {vsqMaster(), vsqVoice(good)})});
    list.append({"master track only", file(1, 480, {vsqMaster()})});
    list.append({"voice chunk without its name", header(1, 2, 480) + vsqMaster().chunk() + "MTrX" + QByteArray(8, 0)});
    list.append({"voice chunk longer than the file", header(1, 2, 480) + vsqMaster().chunk() + vsqVoice(good).chunk(1 << 30)});
    list.append({"voice chunk cut short", vsqFile({good}).chopped(7)});
    list.append({"division 0", vsqFile({good}, vsqMaster(), 0)});
    list.append({"no sequence text", file(1, 480, {vsqMaster(), Track().name("Voice1").text("hello").end()})});
    list.append({"text without line ends", vsqFile({QByteArray(5000, '[')})});
    list.append({"records without an event list", vsqFile({"[ID#0001]\nType=Anote\nLength=480\n"})});
    list.append({"event tick beyond 32 bits", vsqFile({"[EventList]\n1E+20=ID#0001\n0=EOS\n[ID#0001]\nLength=1\n"})});
    list.append({"length beyond 32 bits", vsqFile({vsqText({{0, 480, 60, "a"}}).replace("Length=480", "Length=9E+300")})});
    list.append({"length at the edge of 32 bits",
                 vsqFile({vsqText({{0, 480, 60, "a"}, {2000000000, 10, 60, "b"}}).replace("Length=480", "Length=-2000000000")},
                         vsqMaster(), 1920)});
    list.append({"note number beyond 32 bits", vsqFile({vsqText({{0, 480, 60, "a"}}).replace("Note#=60", "Note#=-2147483640")})});
    list.append({"bend depth beyond 16 bits",
                 vsqFile({vsqText({{0, 480, 60, "a"}}, "[PitchBendBPList]\n0=100\n10=200\n", "PMBendDepth=99999\n")})});
    list.append({"tempo of 0", vsqFile({good}, Track().tempo(0).end())});
    return list;
}

}  // namespace tova::test::smf
