#include "commands/CommandFrame.h"

#include "commands/CommandRegistry.h"
#include "commands/EditContext.h"
#include "core/MessageTable.h"
#include "platform/InputBoxPort.h"
#include "platform/Vb.h"
#include "render/NoteRenderParams.h"
#include "song/Song.h"

namespace tova {

void RunEditCommand(EditContext& context, const std::function<void()>& command) {
    Song& song = context.editedSong();
    // The arrays share their data until the command writes, so the snapshot costs nothing up front.
    const NoteArrays notes = song;
    const qint32 selStart = song.SelStart, selEnd = song.SelEnd, cur = context.curNote();
    const bool modified = song.IsModified, wasModified = song.WasModified;
    const qint32 undoPos = song.UndoPos;
    const qsizetype records = song.UndoTexts.size();
    const QString lastUndo = records > 0 ? song.UndoTexts.back() : QString();
    try {
        command();
    } catch (...) {
        const bool recorded = song.UndoPos != undoPos || song.UndoTexts.size() != records ||
                              (records > 0 && song.UndoTexts.back() != lastUndo);
        if (!recorded) {
            static_cast<NoteArrays&>(song) = notes;
            song.SelStart = selStart;
            song.SelEnd = selEnd;
            context.setCurNote(cur);
            song.IsModified = modified;
            song.WasModified = wasModified;
            song.SetModified(modified);
            song.WasModified = wasModified;
            context.Redraw();
        }
        throw;
    }
}

void addEditCommand(CommandRegistry& registry, const QString& name, void (*command)(EditContext&)) {
    registry.add(name, [command](EditContext& c) { RunEditCommand(c, [&] { command(c); }); });
}

bool AskText(EditContext& context, const QString& caption, QString& text) {
    InputRequest request;
    request.title = GetMessage(caption);
    request.defaultText = text;
    QString answer = text;
    if (!context.inputBox().ask(request, answer)) return false;
    text = answer;
    return true;
}

bool AskNumber(EditContext& context, const QString& caption, const QString& start, double& value,
               const std::function<bool(double)>& accept) {
    const QString text = start;
    for (;;) {
        QString answer = text;
        if (!AskText(context, caption, answer)) return false;
        if (!Vb::IsNumeric(answer)) continue;
        value = Vb::Val(answer);
        if (!accept || accept(value)) return true;
    }
}

QString DeleteLine(qint32 first, qint32 last) {
    return QStringLiteral("DEL\t") + QString::number(first) + u'\t' + QString::number(last);
}

float TempoAt(const EditContext& context, qint32 index) {
    float tempo = 0;
    FindTempoAt(context.editedSong(), index, tempo);
    return tempo;
}

float NoteLengthMs(const EditContext& context, qint32 index) {
    return float(double(context.editedSong().Lengths.at(index)) * 31.25 / double(TempoAt(context, index)));
}

}  // namespace tova
