#pragma once

#include "tools/batrun/ProcessBatchHost.h"
#include "platform/lean/WorkerThreads.h"
#include "tools/vorsa/SampleCache.h"

#include <sys/types.h>

#include <deque>
#include <future>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

namespace tova {

// The batch runner's host that runs the program folder's own tools in process: a program line that
// names the folder's `vorsa` or `catena` (the same file, by any path) calls the tool's code with the
// same arguments in the same folder, writing the same files and the same complaints to standard
// error; every other program starts as a process (ProcessBatchHost), after the tools' work has ended.
//
// Note renderer calls run on other cores while the batch goes on; the concatenator's calls run one
// after the other in the batch's order, each after the renderer calls that write its input. A call
// that writes a file an earlier call still reads or writes, or reads one an earlier call writes, waits
// for it; a renderer call that has a frequency table to make runs alone, after everything before it.
// The batch's look at a file waits for the calls writing it, and its change of a file for the calls
// reading or writing it (BatchHost::await); anything else the batch does (programs started, echo,
// pause, the end) waits for all of it (settle). Files are told apart by their folders as found on disk
// (letter case and links resolved) and their names without regard to case. The calls' complaints reach
// standard error in the batch's order, each as soon as those of the calls before it are out.
class InProcessToolHost : public ProcessBatchHost {
public:
    // `renderers` threads for renderer calls (0: one per core).
    explicit InProcessToolHost(const BatchString& programFolder, unsigned renderers = 0);
    ~InProcessToolHost() override;

    void echo(const BatchString& text) override;
    void warn(const BatchString& text) override;
    void pause(bool quiet) override;
    bool run(const BatchString& program, const BatchStrings& arguments, const BatchString& folder,
             const BatchEnvironment& environment) override;
    void settle() override;
    void await(const BatchString& path, Use use) override;
    bool effectsOf(const BatchString& program, const BatchStrings& arguments, Effects& effects) const override;

private:
    enum class Tool { Other, Vorsa, Catena };
    struct Job {
        std::shared_future<void> done;
        std::vector<std::string> reads, writes;  // as canonical() gives them
    };
    struct FileId {
        dev_t device = 0;
        ino_t inode = 0;
        bool known = false;
    };

    Tool toolOf(const BatchString& program) const;
    bool enter(const BatchString& folder);
    // An argument's full path: "\\" read as "/", from the current folder.
    std::string place(const std::string& argument) const;
    // A full path with its folder as found on disk (letter case, links, "." and ".." resolved) and its
    // name as written. The folders found are kept until the batch makes folders or starts a program
    // (settle, or a program run), the only ways they change during a batch.
    std::string canonical(const std::string& path) const;
    void runVorsa(const std::vector<std::string>& arguments);
    void runCatena(const std::vector<std::string>& arguments);
    void runNow(Tool tool, const std::vector<std::string>& arguments);
    // A call's turn among the complaints, taken in the batch's order; `call` runs the tool and hands
    // its complaints in for that turn.
    std::size_t takeTurn();
    void call(Tool tool, const std::vector<std::string>& arguments, std::size_t turn);
    void report(std::size_t turn, const std::string& errors);
    void forgetDone();
    // Waits for the jobs that write one of `reads` or touch one of `writes`.
    std::vector<std::shared_future<void>> conflicts(const std::vector<std::string>& reads,
                                                    const std::vector<std::string>& writes) const;

    FileId vorsa_, catena_;
    std::string folder_;  // the current folder, once entered
    mutable std::map<std::string, std::string> folders_;  // for canonical()
    std::deque<Job> jobs_;
    unsigned ahead_;
    vorsa::SampleCache cache_;
    std::mutex reportMutex_;
    // The complaints of the calls from `printed_` on, those still running empty.
    std::deque<std::optional<std::string>> unprinted_;
    std::size_t printed_ = 0;
    lean::WorkerThreads renderers_;
    lean::WorkerThreads appender_;  // one thread: the appends run in the batch's order
};

}  // namespace tova
