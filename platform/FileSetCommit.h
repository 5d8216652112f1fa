#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

// Replaces several files of one folder tree as a set: after a failure none of them is replaced, and a
// set left half done by a killed program is completed or cleaned at the next `Recover`.
//
// The steps: every new file is written in full beside its target (target + ".tova-new") and flushed;
// each existing target gets a second name (target + ".tova-old", a hard link, or a copy where links
// are not possible). Then the journal (a file in the folder, written whole under a temporary name and
// renamed) names the targets: from the moment it exists the set counts as saved. The new files are
// renamed over their targets; a failure there puts the old files back from their second names. At the
// end the journal and the second names are removed.
//
// `Recover` on a folder with a journal renames every new file still waiting over its target; without a
// journal it removes the new files of a save that never reached its journal. Either way the second
// names and the journal go. A commit holds a lock on the journal's folder while it runs, and `Recover`
// leaves a set alone while another commit (of this or another program) holds it.
class FileSetCommit {
public:
    // The steps a test can make fail.
    enum class Step { WriteNew, KeepOld, Journal, Replace };
    // What the test hook answers at a step: go on, fail (the set is rolled back), or stop at once as a
    // killed program would, leaving everything as it stands.
    enum class Fault { None, Fail, Kill };
    using Hook = std::function<Fault(Step, const QString& target)>;

    // `journal` is the journal's path; the targets are given relative to its folder or absolute.
    explicit FileSetCommit(QString journal) : journal_(std::move(journal)) {}

    void add(const QString& target, const QByteArray& bytes) { files_.append({target, bytes}); }
    // Replaces every target; false with `error` set when nothing was replaced.
    bool commit(QString* error = nullptr);

    // Completes or cleans what a killed commit with this journal left. `targets` are the files such a
    // commit may have touched (their leftovers are removed when there is no journal).
    static void Recover(const QString& journal, const QStringList& targets);

    static QString newName(const QString& target) { return target + QStringLiteral(".tova-new"); }
    static QString oldName(const QString& target) { return target + QStringLiteral(".tova-old"); }

    // Set by tests only.
    static Hook& testHook();

private:
    struct File {
        QString target;
        QByteArray bytes;
    };
    QString journal_;
    QList<File> files_;
};

}  // namespace tova
