// libFuzzer entry: any bytes, read as a VSQ file (voice tracks 2 and 3). Besides the sanitizers, a
// result that breaks the reader's promises aborts: a failure or an empty result must leave the song and
// tempo as they were; a success must give that many elements of six fields in four arrays of one size
// and a usable tempo.
#include "core/DefaultEnvelope.h"
#include "core/Settings.h"
#include "exchange/vsq/VsqReader.h"
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
    n.NoteExt[0] = QStringLiteral("e");
    return n;
}

void check(bool ok) {
    if (!ok) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tova::ScopedFakePorts ports;  // "Invalid status." goes to a fake message box
    ports.messageBox.shown.clear();
    // Odd sizes read with mode 2 on, so the portamento and vibrato options are reached too.
    tova::Settings& s = tova::settings();
    s.Mode2 = (size & 1) != 0;
    s.Mode2PBS = QStringLiteral("-40");
    s.Mode2PBW = QStringLiteral("80");
    s.Mode2VBR = QStringLiteral("65");
    s.DefaultEnv = tova::DefaultEnvelope();

    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    for (qint16 wanted : {qint16(2), qint16(3)}) {
        QBuffer buf;
        buf.setData(bytes);
        check(buf.open(QIODevice::ReadOnly));
        tova::NoteArrays notes = earlierNotes();
        float tempo = 120.0f;
        qint16 track = wanted;
        const qint32 r = tova::ReadVsqFile(buf, tempo, notes, track);
        check(track >= 2);
        if (r <= 0) {
            check(r >= -1 && tempo == 120.0f && notes.Lyrics == earlierNotes().Lyrics &&
                  notes.NoteExt == earlierNotes().NoteExt);
            continue;
        }
        const qsizetype c = notes.Lyrics.size();
        check(c == r && notes.Lengths.size() == c && notes.NoteNums.size() == c && notes.NoteExt.size() == c);
        for (const QString& ext : notes.NoteExt) check(ext.count(u'\t') == 5);
        check(tempo > 0 && std::isfinite(tempo));
    }
    return 0;
}
