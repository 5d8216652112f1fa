#pragma once

#include <QString>

#include <functional>

namespace tova {

class CommandRegistry;
class EditContext;

// Runs an editing command so that a failure part-way never leaves a changed song without an undo step.
// When the command raises an error before it recorded its step, the notes, the selection, the current
// note and the modified flag are put back as they were before the command, the roll is redrawn, and the
// error goes on to the handler guard (which shows it). A command that recorded its step keeps it: the
// step describes what changed.
void RunEditCommand(EditContext& context, const std::function<void()>& command);

// Registers an editing command under its control name, run through RunEditCommand.
void addEditCommand(CommandRegistry& registry, const QString& name, void (*command)(EditContext&));

// The range of record lines a note range gives: "DEL" TAB first TAB last.
QString DeleteLine(qint32 first, qint32 last);

// Asks for one line of text in the input box (caption through the message table), starting from `text`.
// False when cancelled; `text` then stays as it was.
bool AskText(EditContext& context, const QString& caption, QString& text);
// Asks for a number until the text is numeric and `accept` takes its value (the box shows the same text
// again otherwise). False when cancelled.
bool AskNumber(EditContext& context, const QString& caption, const QString& start, double& value,
               const std::function<bool(double)>& accept = {});

// The tempo in force at a note (the project tempo for an index below 0), and a note's length in
// milliseconds at the tempo in force at it (ticks x 31.25 / tempo).
float TempoAt(const EditContext& context, qint32 index);
float NoteLengthMs(const EditContext& context, qint32 index);

// CR LF, the end of every undo record line.
inline const QString& RecordLineEnd() {
    static const QString s = QStringLiteral("\r\n");
    return s;
}

}  // namespace tova
