#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace tova {

// What the default-voice generator has made so far, told by the files it leaves in the voice folder: it
// speaks every sample of its table "initvox.txt" into "<sample>.wav" (oto.ini is removed first and
// written last), then gives every spoken sample a frequency table.
class DefaultVoiceProgress {
public:
    struct State {
        int done = 0;
        int total = 0;
        bool tables = false;  // making frequency tables (else speaking the samples)
        // "音節 12 / 80" or "周波数表 3 / 78".
        QString text() const;
    };

    // Reads the table of the folder; a table that cannot be read leaves the counts at 0.
    DefaultVoiceProgress(QString folder, QDateTime since);

    // The samples spoken since `since` while oto.ini is missing; once oto.ini is there, the spoken
    // samples that have their frequency table.
    State poll() const;
    // After a stopped run: while oto.ini is missing the bank is unfinished, and the sample waves of the
    // table (with their tables) are removed, so the folder holds no half-made bank; the next run makes
    // it whole. Nothing else in the folder is touched. Returns whether it removed the samples.
    bool discardUnfinished() const;

    int sampleCount() const { return int(samples_.size()); }

private:
    QString folder_;
    QDateTime since_;
    QStringList samples_;  // every sample's file name, "<sample>.wav"
    QStringList spoken_;   // those with spoken text
};

// Where a run of the generator shows itself: a window with the counts and a stop.
class DefaultVoiceRunView {
public:
    virtual ~DefaultVoiceRunView() = default;
    virtual void open(const DefaultVoiceProgress::State& state) = 0;
    virtual void update(const DefaultVoiceProgress::State& state) = 0;
    // True once the user asked to stop.
    virtual bool stopRequested() = 0;
    virtual void close() = 0;
};

// Runs the generator (`program` with `arguments` in `folder`, in a process group of its own so a stop
// ends the batch runner and everything it started), showing its progress every `pollMs` while events
// are handled. A stop ends the whole group and discards an unfinished bank. A run that could not start,
// or that ended without making the bank (no oto.ini), says so with the last lines of the generator's
// output. Returns false when the run was stopped, could not start or made no bank.
bool RunDefaultVoiceGenerator(const QString& program, const QStringList& arguments, const QString& folder,
                              DefaultVoiceRunView& view, int pollMs = 100);

}  // namespace tova
