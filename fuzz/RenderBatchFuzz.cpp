// Any bytes as a render batch read into a new project and appended to it: no crash, no runaway memory
// (the pitch values the file expands to stay within the file's budget).
#include "FuzzInput.h"

#include "exchange/ExchangeFakes.h"
#include "exchange/RenderBatchReader.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "platform/Cp932Lines.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"

using namespace tova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static ScopedFakePorts ports;
    ports.messageBox.shown.clear();
    const QString text = Cp932::decode(fuzz::bytesOf(data, size));
    QStringList lines;
    for (QStringView line : TextLines(text)) lines << line.toString();

    test::FakeProjectWindow window;
    test::FakeVoiceBank voices;
    window.NewProject();
    RenderBatchReader reader(window, voices);
    for (bool append : {false, true}) {
        try {
            reader.readLines(lines, append);
        } catch (const TovaError&) {
        }
    }
    qsizetype values = 0;
    const Song& song = window.theSong;
    for (qint32 i = 0; i < song.noteCount(); ++i) {
        const QString pitches = NoteExtField(song.NoteExt.value(i), ExtPitches);
        if (!pitches.isEmpty()) values += pitches.count(u' ') + 1;
    }
    // Two readings of the file (new and appended), each within its budget; plain lists are the file's own text.
    fuzz::require(values <= 2 * MaxPitchValuesPerFile + qsizetype(size) + 2 * song.noteCount());
    return 0;
}
