#pragma once

#include <QString>
#include <QStringList>

namespace tova {

// The note renderer (tool 2) as the voice-bank tools call it: to make frequency tables and to cut a
// piece of a sample for playback. The program's implementation runs the real tool; tests install a
// fake that records the calls and writes what the tool would.
class Tool2Calls {
public:
    virtual ~Tool2Calls() = default;
    // Runs a command line (quoted program, then its arguments) and waits until it ends, handling no
    // window events meanwhile. A program that cannot be started raises FileError.
    virtual void runAndWait(const QString& commandLine) = 0;
    // Runs a batch file with the batch runner and waits until it ends.
    virtual void runBatchAndWait(const QString& batchPath) = 0;
    // Calls the library form's `exec` with its thirteen texts; the answer of the library (ignored by
    // the callers). Between calls the progress callback lets window events run.
    virtual int libraryExec(const QStringList& arguments) = 0;
    // Starts a command line and waits at most `timeoutMs`, handling window events while it waits; a
    // program still running then is stopped. True when it ended by itself within the time.
    virtual bool runWithTimeLimit(const QString& commandLine, int timeoutMs) = 0;
    // Starts a batch file without waiting; false (with the reason in `error`) when it cannot start.
    virtual bool startBatch(const QString& batchPath, QString& error) = 0;
    // Whether the batch this object started last still runs.
    virtual bool batchRunning() = 0;
    // Stops the batch this object started last (with the programs it runs).
    virtual void stopBatch() {}
};

// The program's tool 2: ShellAndWait, the batch runner and the library of the program folder.
class ProgramTool2Calls : public Tool2Calls {
public:
    ~ProgramTool2Calls() override;
    void runAndWait(const QString& commandLine) override;
    void runBatchAndWait(const QString& batchPath) override;
    int libraryExec(const QStringList& arguments) override;
    bool runWithTimeLimit(const QString& commandLine, int timeoutMs) override;
    bool startBatch(const QString& batchPath, QString& error) override;
    bool batchRunning() override;
    void stopBatch() override;

private:
    qint64 batchPid_ = 0;
};

}  // namespace tova
