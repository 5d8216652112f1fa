#pragma once

#include <QString>

namespace tova {

// What running a plug-in on an exchange text came to.
struct PluginRun {
    enum class Outcome {
        Changed,    // the plug-in rewrote the file: `text` holds what it left
        Unchanged,  // the file came back as it was sent
        NotListed,  // no plug-in of that name
        Failed,     // it could not be started, or its file could not be written or read: `error` says why
        Abandoned,  // the user stopped waiting: whatever the file holds is not applied
    };
    Outcome outcome = Outcome::Unchanged;
    QString text;
    QString error;
};

// Runs a plug-in of the plug-in list on an exchange text and waits for it (the wait window).
class PluginWaitPort {
public:
    virtual ~PluginWaitPort() = default;
    virtual PluginRun go(const QString& name, const QString& text) = 0;
};

// Runs the plug-in of the list whose name equals `name` (the first match): the text goes into a new
// file (mode 0600) in the per-instance private temporary folder, whose path is the program's one
// argument; a plug-in whose shell field is "use" is started as the program itself, any other in its own
// folder. Waits (handling events every 100 ms) until it ends or `StopRequested` is set, then reads the
// file back (at most `ReplyLimit(text)` bytes) and deletes it.
PluginRun RunPluginByName(const QString& name, const QString& text);

// The largest reply read back for a sent text: 8 MiB, or four times the sent text when that is more.
qint64 PluginReplyLimit(const QString& sent);

}  // namespace tova
