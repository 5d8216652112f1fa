#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// Running other programs and waiting for them. Everything runs on the user-interface thread; the waits
// that keep the windows live handle pending events between polls.

// Flag of the process wait: `WaitForProcess` sets it to 0 when it starts and stops waiting as soon as
// it is exactly 1 (the wait window's button sets it to 1).
extern std::int16_t WaitAbort;
// Program-wide request to stop a running job: 0, or -1 when the user asked to stop. Whoever starts a
// stoppable job clears it; the text runners stop waiting while it is non-zero.
extern std::int16_t StopRequested;
// The per-instance temporary folder, set at start-up; temporary text files are made in it.
extern QString TempFolder;

// Waits for a running process, handling window events between polls of `pollMs` milliseconds, until it
// ends or `WaitAbort` becomes 1. False only when the process cannot be opened (it has already ended or
// the id is wrong), and then `WaitAbort` is left as it was; true otherwise, whether the process ended or
// the wait was abandoned (the caller reads `WaitAbort`). An abandoned process keeps running.
bool WaitForProcess(qint64 processId, int pollMs);

// Starts a command line and returns the new process's id. The line is split into the program and its
// arguments by the usual quoting rules (double quotes group blanks; no shell is involved: "$", "*" and
// the like reach the program as written). An unquoted program path that holds blanks is taken over as
// many blank-separated words as it needs to name an existing file. The window style (1 normal, 2
// minimised) has no meaning for programs without windows here and is accepted as given. A program that
// cannot be started raises FileError.
qint64 Shell(const QString& commandLine, int windowStyle = 1);
// Starts a batch file with the batch runner of the program folder ("batrun"), the batch path as its
// one argument (so blanks in it need no quoting), and returns the new process's id. The batch runs in
// its own folder. The runner, and every program it starts, ends when this program ends; with a
// `statusPath` the runner writes its exit code there ("0" and a line break when the batch ran to its
// end). A runner that cannot be started raises FileError.
qint64 ShellBatch(const QString& batchPath, const QString& statusPath = QString());
// Starts a command line (as `Shell`) and blocks until it ends, handling no events meanwhile.
void ShellAndWait(const QString& commandLine, int windowStyle);

// The short form of an existing path: here the path as it exists on disk ("\" made "/", letter case as
// stored); the empty text when the path does not exist.
QString GetShortPath(const QString& path);

// Creates a new uniquely named file "tmpXXXX.tmp" in the folder, readable and writable by the user
// only (mode 0600), writes the text into it unchanged (code page 932, or UTF-8 after the mark EF BB BF
// when it holds a character that code page lacks; no line break added) and returns its full path.
// Raises FileError when the folder cannot take the file.
QString WriteTempTextFile(const QString& text, const QString& folder);

// The whole file as lines, each followed by CR LF (a last line without a line break gets one too; CR
// LF, a lone CR and a lone LF end a line); an empty file gives the empty text. The file is opened
// without waiting and read only when it is a regular file: a missing file, a pipe, a folder or a device
// raises FileError at once.
QString ReadTextFile(const QString& path);
// The same reading at most `maxBytes` bytes (negative: no allowance of its own): a longer file raises
// FileError ("ファイルが大きすぎます。").
QString ReadTextFile(const QString& path, qint64 maxBytes);

// Hands the text to a program through a temporary file in `TempFolder` whose path is the program's one
// argument; waits (handling events every 100 ms) until the program ends or `StopRequested` is non-zero,
// then reads the file back and deletes it. Returns the text as the program left it, or the empty text
// when it is unchanged. A program that cannot be started raises FileError (after the file is deleted).
// With `maxBytes` not negative, a file left larger than that is deleted unread and raises FileError; so does a file
// the program left as anything but a regular file (a pipe, a folder), without waiting on it.
QString RunProgramOnText(const QString& programPath, const QString& text, qint64 maxBytes = -1);

// The same with a command and a working folder. A command that begins with a double quote is a quoted
// program followed by its own arguments and is used as given; any other command is the program path as
// a whole, blanks included. The temporary file's path is added as the last argument.
QString RunProcessOnText(const QString& command, const QString& text, const QString& workingFolder,
                         qint64 maxBytes = -1);

}  // namespace tova
