// libFuzzer entry: any bytes as the exchange file a plug-in leaves behind, read back as the runner reads
// it and applied to a small song as the plug-in command does. Besides the sanitizers, a result that
// breaks the command's promises aborts: four arrays of one size, no control character in a lyric,
// lengths of at least one tick, and an undo step that gives back the song exactly (and a redo that
// gives back the plug-in's result exactly).
#include "NoteSnapshot.h"
#include "core/Processes.h"
#include "core/Settings.h"
#include "exchange/plugins/PluginCommand.h"
#include "exchange/plugins/PluginRun.h"
#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FakePorts.h"
#include "song/Song.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

using Snapshot = tova::test::NoteSnapshot;
using tova::test::snapshotOf;

Snapshot snapshot(const tova::Song& s) { return snapshotOf(s); }

// Hands back the fuzzer's bytes as the plug-in's reply, read through the runner's file reading.
class ReplyWait : public tova::PluginWaitPort {
public:
    QString path;
    QByteArray bytes;
    tova::PluginRun go(const QString&, const QString& sent) override {
        tova::PluginRun run;
        QFile f(path);
        check(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        check(f.write(bytes) == bytes.size());
        f.close();
        try {
            run.text = tova::ReadTextFile(path, tova::PluginReplyLimit(sent));
        } catch (const tova::TovaError& e) {
            run.outcome = tova::PluginRun::Outcome::Failed;
            run.error = e.description();
            return run;
        }
        run.outcome = run.text == sent ? tova::PluginRun::Outcome::Unchanged : tova::PluginRun::Outcome::Changed;
        if (run.outcome == tova::PluginRun::Outcome::Unchanged) run.text.clear();
        return run;
    }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static tova::ScopedFakePorts ports;
    static QTemporaryDir dir;
    ports.messageBox.shown.clear();
    if (size < 2) return 0;

    tova::Song song;
    song.resizeNotes(6);
    for (int i = 0; i < 6; ++i) {
        song.Lengths[i] = 480 * (i + 1);
        song.Lyrics[i] = QString(QChar(u'あ' + i));
        song.NoteNums[i] = 40 + i;
        song.NoteExt[i] = QStringLiteral("10:5:100\t100\t0\t\tg-3\tlabel=L");
    }
    // The first two bytes choose the selection (either order, possibly past the notes).
    song.SelStart = data[0] % 8;
    song.SelEnd = data[1] % 8;
    const Snapshot before = snapshot(song);

    ReplyWait wait;
    wait.path = dir.path() + QStringLiteral("/reply.tmp");
    wait.bytes = QByteArray(reinterpret_cast<const char*>(data + 2), qsizetype(size - 2));
    const bool changed = tova::PluginCommand(song, wait).Run(QStringLiteral("Fuzz"), 120.0f);

    const qsizetype count = song.Lyrics.size();
    check(song.Lengths.size() == qMax<qsizetype>(count, 1) && song.NoteNums.size() == song.Lengths.size() &&
          song.NoteExt.size() == song.Lengths.size());
    const Snapshot after = snapshot(song);
    for (qsizetype i = 0; i < count; ++i) {
        check(after.lengths[i] >= 1);
        for (QChar c : after.lyrics[i]) check(c.unicode() >= 0x20 && c.unicode() != 0x7F);
        check(after.ext[i].count(u'\t') == 5);
    }
    if (!changed) {
        check(after == before && song.UndoTexts.isEmpty());
        return 0;
    }
    check(song.UndoTexts.size() == 1);
    check(song.Undo());
    check(snapshot(song) == before);
    check(song.Redo());
    check(snapshot(song) == after);
    return 0;
}
