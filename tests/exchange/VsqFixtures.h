#pragma once

#include "SmfBuilder.h"

#include <QString>

#include <algorithm>

// VSQ files for the reader's tests, made with the tests' own MIDI builder: a master track with tempo
// events and voice tracks whose sequence text is cut into "DM:" text events here, independently of the
// program's writer (at 100 bytes an event, so that the reader meets other cuts than the writer's).
namespace tova::test::smf {

// Voice track events carrying a sequence text given as bytes.
inline Track vsqVoice(const QByteArray& text, int bytesPerEvent = 100) {
    Track t;
    t.name("Voice1");
    int c = 0;
    for (qsizetype from = 0; from < text.size(); from += bytesPerEvent, ++c) {
        const QByteArray head = QByteArray("DM:") + QByteArray::number(c).rightJustified(4, '0') + ':';
        t.text(head + text.mid(from, bytesPerEvent));
    }
    return t.end();
}

inline Track vsqMaster(quint32 microseconds = 500000) {
    Track t;
    t.name("Master Track").tempo(microseconds).end();
    return t;
}

// A whole file: the master track and one voice track per text (ASCII, or CP932 bytes).
inline QByteArray vsqFile(const QList<QByteArray>& texts, const Track& master = vsqMaster(), int division = 480) {
    QList<Track> tracks{master};
    for (const QByteArray& t : texts) tracks << vsqVoice(t);
    return file(1, division, tracks);
}

// A sequence text of notes: an event list of "tick=ID#nnnn" lines (ticks given), one record and one
// lyric handle per note; `extra` goes at the end (a bend list, other sections).
struct VsqNote {
    int tick;
    int length;
    int noteNum;  // file numbering
    QByteArray lyric;
};

inline QByteArray vsqText(const QList<VsqNote>& notes, const QByteArray& extra = QByteArray(),
                          const QByteArray& recordExtra = QByteArray()) {
    QByteArray events = "[Common]\nVersion=DSB301\n[EventList]\n0=ID#0000\n";
    QByteArray records = "[ID#0000]\nType=Singer\nIconHandle=h#0000\n";
    QByteArray handles = "[h#0000]\nIconID=$07010000\n";
    int end = 0;
    for (qsizetype i = 0; i < notes.size(); ++i) {
        const QByteArray id = QByteArray::number(i + 1).rightJustified(4, '0');
        const VsqNote& n = notes[i];
        events += QByteArray::number(n.tick) + "=ID#" + id + "\n";
        records += "[ID#" + id + "]\nType=Anote\nLength=" + QByteArray::number(n.length) + "\nNote#=" +
                   QByteArray::number(n.noteNum) + "\nDynamics=64\n" + recordExtra + "LyricHandle=h#" + id + "\n";
        handles += "[h#" + id + "]\nL0=\"" + n.lyric + "\",\"a\",0.000000,64,0,0\n";
        end = std::max(end, n.tick + n.length);
    }
    events += QByteArray::number(end) + "=EOS\n";
    return events + records + handles + extra;
}

}  // namespace tova::test::smf
