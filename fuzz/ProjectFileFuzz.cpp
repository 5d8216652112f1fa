// Any bytes as a project file: read, written, read again and written again; the two saves must be the
// same bytes, and the reader's bounds must hold.
#include "FuzzInput.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "song/NoteExtension.h"
#include "song/PitchText.h"
#include "song/ProjectFile.h"

using namespace tova;

namespace {

// One save of what the bytes read as; false when the reader refuses them.
bool save(const QByteArray& bytes, QByteArray& saved) {
    ProjectSettings s;
    NoteArrays notes;
    qint32 index = 0;
    QStringList problems;
    try {
        ReadProjectText(Cp932::decode(bytes), s, index, notes, &problems);
    } catch (const TovaError&) {
        return false;
    }
    fuzz::require(index >= 0 && index <= notes.noteCount() + 1);
    fuzz::require(s.ProjectName.size() <= 4096 && s.Flags.size() <= 1024);
    qsizetype pitchValues = 0;
    for (qint32 i = 0; i < notes.noteCount(); ++i) {
        const QStringList f = SplitNoteExt(notes.NoteExt.value(i));
        fuzz::require(f.size() == 6);
        if (!f[ExtPitches].isEmpty()) pitchValues += f[ExtPitches].count(u' ') + 1;
    }
    fuzz::require(pitchValues <= MaxPitchValuesPerFile + notes.noteCount());
    saved = Cp932::encode(ProjectFileText(s, notes));
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    QByteArray once, twice;
    if (!save(fuzz::bytesOf(data, size), once)) return 0;
    fuzz::require(save(once, twice));
    fuzz::require(once == twice);
    return 0;
}
