// libFuzzer entry: any bytes, read as a MIDI file by the track list, the import of the first tracks
// and the read-back of the plain export. Besides the sanitizers, a result that breaks the readers'
// promises aborts: a failure must leave the song as it was, a success must leave four arrays of one
// size that hold the earlier notes unchanged.
#include "core/Settings.h"
#include "exchange/midi/SmfReader.h"
#include "platform/FakePorts.h"

#include <QBuffer>

#include <cmath>
#include <cstdint>
#include <cstdlib>

namespace {

tova::NoteArrays earlierNotes() {
    tova::NoteArrays n;
    n.resizeNotes(1);
    n.Lyrics[0] = QStringLiteral("a");
    n.Lengths[0] = 480;
    n.NoteNums[0] = 36;
    n.NoteExt[0] = QStringLiteral("e");
    return n;
}

void check(bool ok) {
    if (!ok) std::abort();
}

bool sizesAgree(const tova::NoteArrays& n) {
    const qsizetype c = n.Lyrics.size();
    return c >= 1 && n.Lengths.size() == c && n.NoteNums.size() == c && n.NoteExt.size() == c;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tova::ScopedFakePorts ports;  // "Invalid status." goes to a fake message box
    ports.messageBox.shown.clear();
    // Odd sizes read with mode 2 on, so its portamento and vibrato options are reached too.
    tova::settings().Mode2 = (size & 1) != 0;
    tova::settings().Mode2VBR = QStringLiteral("65");

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QBuffer buf;
    buf.setData(bytes);
    check(buf.open(QIODevice::ReadOnly));

    const QStringList list = tova::ListSmfTracks(buf);
    const qint16 lastTrack = qint16(qMin<qsizetype>(3, qMax<qsizetype>(1, list.size())));
    for (qint16 track = 1; track <= lastTrack; ++track) {
        check(buf.seek(0));
        tova::NoteArrays notes = earlierNotes();
        qint32 count = 1;
        float tempo = 120.0f;
        const qint32 r = tova::ImportSmfTrack(buf, track, count, tempo, notes);
        if (r < 0) {
            check(r == -1 && count == 1 && tempo == 120.0f && notes.Lyrics == earlierNotes().Lyrics &&
                  notes.Lengths == earlierNotes().Lengths);
        } else {
            check(r == count && notes.noteCount() == count && sizesAgree(notes));
            check(notes.Lyrics[0] == QStringLiteral("a") && notes.NoteExt[0] == QStringLiteral("e"));
            check(tempo > 0 && std::isfinite(tempo));
        }
    }

    check(buf.seek(0));
    tova::NoteArrays notes = earlierNotes();
    QStringList texts;
    float tempo = 120.0f;
    const qint32 r = tova::ReadSmfFile(tempo, texts, notes, buf);
    if (r < 0) check(r == -1 && texts.isEmpty() && notes.Lyrics == earlierNotes().Lyrics);
    else check(sizesAgree(notes) && tempo > 0);
    return 0;
}
