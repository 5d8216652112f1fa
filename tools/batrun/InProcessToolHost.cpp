#include "tools/batrun/InProcessToolHost.h"

#include "platform/lean/Files.h"
#include "platform/lean/FrqTable.h"
#include "tools/catena/Catena.h"
#include "tools/vorsa/RenderFlags.h"
#include "tools/vorsa/VorsaProgram.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace tova {
namespace {

using Files = lean::Files;

bool samePath(const std::string& a, const std::string& b) { return a == b || Files::compareFolded(a, b) == 0; }

void splitPath(const std::string& path, std::string& folder, std::string& name) {
    const std::size_t slash = path.rfind('/');
    folder = slash == std::string::npos ? std::string() : path.substr(0, slash);
    name = slash == std::string::npos ? path : path.substr(slash + 1);
}

bool isNul(const std::string& text) {
    std::size_t from = text.find_first_not_of(" \t"), to = text.find_last_not_of(" \t");
    if (from == std::string::npos) return false;
    const std::string t = text.substr(from, to - from + 1);
    return t.size() == 3 && (t[0] | 0x20) == 'n' && (t[1] | 0x20) == 'u' && (t[2] | 0x20) == 'l';
}

}  // namespace

InProcessToolHost::InProcessToolHost(const BatchString& programFolder, unsigned renderers)
    : ahead_(2 * (renderers ? renderers : lean::WorkerThreads::cores())), renderers_(renderers), appender_(1) {
    auto idOf = [&](const char* name) {
        FileId id;
        struct stat st {};
        if (::stat((batchUtf8(programFolder) + "/" + name).c_str(), &st) == 0 && S_ISREG(st.st_mode))
            id = {st.st_dev, st.st_ino, true};
        return id;
    };
    vorsa_ = idOf("vorsa");
    catena_ = idOf("catena");
}

InProcessToolHost::~InProcessToolHost() { settle(); }

void InProcessToolHost::echo(const BatchString& text) {
    settle();
    ProcessBatchHost::echo(text);
}

void InProcessToolHost::warn(const BatchString& text) {
    settle();
    ProcessBatchHost::warn(text);
}

void InProcessToolHost::pause(bool quiet) {
    settle();
    ProcessBatchHost::pause(quiet);
}

InProcessToolHost::Tool InProcessToolHost::toolOf(const BatchString& program) const {
    struct stat st {};
    if (::stat(batchUtf8(program).c_str(), &st) != 0) return Tool::Other;
    if (vorsa_.known && st.st_dev == vorsa_.device && st.st_ino == vorsa_.inode) return Tool::Vorsa;
    if (catena_.known && st.st_dev == catena_.device && st.st_ino == catena_.inode) return Tool::Catena;
    return Tool::Other;
}

bool InProcessToolHost::enter(const BatchString& folder) {
    const std::string where = batchUtf8(folder);
    if (where == folder_) return true;
    // The tools take relative paths from the current folder, which is the whole process's.
    settle();
    if (::chdir(where.c_str()) != 0) return false;
    folder_ = where;
    return true;
}

std::string InProcessToolHost::place(const std::string& argument) const {
    std::string p = argument;
    for (char& c : p)
        if (c == '\\') c = '/';
    if (p.empty() || p[0] != '/') p = folder_ + "/" + p;
    return canonical(p);
}

std::string InProcessToolHost::canonical(const std::string& path) const {
    std::string folder, name;
    splitPath(Files::cleanPath(path), folder, name);
    if (folder.empty()) folder = "/";
    auto known = folders_.find(folder);
    if (known == folders_.end()) {
        std::string found = Files::resolve(folder);
        if (char* real = ::realpath(found.c_str(), nullptr)) {
            found = real;
            std::free(real);
        }
        known = folders_.emplace(folder, found).first;
    }
    return known->second == "/" ? "/" + name : known->second + "/" + name;
}

bool InProcessToolHost::run(const BatchString& program, const BatchStrings& arguments, const BatchString& folder,
                            const BatchEnvironment& environment) {
    const Tool tool = toolOf(program);
    if (tool == Tool::Other || !enter(folder)) {
        settle();
        const bool started = ProcessBatchHost::run(program, arguments, folder, environment);
        folders_.clear();  // the program may have made, moved or linked folders
        return started;
    }
    std::vector<std::string> texts;
    for (const BatchString& a : arguments) texts.push_back(batchUtf8(a));
    if (tool == Tool::Vorsa)
        runVorsa(texts);
    else
        runCatena(texts);
    return true;
}

std::size_t InProcessToolHost::takeTurn() {
    std::lock_guard<std::mutex> lock(reportMutex_);
    unprinted_.emplace_back();
    return printed_ + unprinted_.size() - 1;
}

void InProcessToolHost::report(std::size_t turn, const std::string& errors) {
    std::lock_guard<std::mutex> lock(reportMutex_);
    unprinted_[turn - printed_] = errors;
    // What the calls before it have said is out already, or waits for them with this.
    bool wrote = false;
    while (!unprinted_.empty() && unprinted_.front()) {
        wrote = wrote || !unprinted_.front()->empty();
        std::fputs(unprinted_.front()->c_str(), stderr);
        unprinted_.pop_front();
        ++printed_;
    }
    if (wrote) std::fflush(stderr);
}

void InProcessToolHost::call(Tool tool, const std::vector<std::string>& arguments, std::size_t turn) {
    std::string errors;
    // The turn is handed in whatever happens, or the complaints after it would never come out.
    struct Handed {
        InProcessToolHost& host;
        std::size_t turn;
        const std::string& errors;
        ~Handed() { host.report(turn, errors); }
    } handed{*this, turn, errors};
    if (tool == Tool::Vorsa)
        vorsa::VorsaProgram::run(arguments, errors, &cache_);
    else
        Catena::runProgram(arguments, errors);
}

void InProcessToolHost::runNow(Tool tool, const std::vector<std::string>& arguments) {
    settle();
    call(tool, arguments, takeTurn());
}

void InProcessToolHost::forgetDone() {
    for (auto it = jobs_.begin(); it != jobs_.end();)
        it = it->done.wait_for(std::chrono::seconds(0)) == std::future_status::ready ? jobs_.erase(it) : std::next(it);
}

std::vector<std::shared_future<void>> InProcessToolHost::conflicts(const std::vector<std::string>& reads,
                                                                   const std::vector<std::string>& writes) const {
    std::vector<std::shared_future<void>> out;
    for (const Job& job : jobs_) {
        bool conflict = false;
        for (const std::string& w : job.writes) {
            for (const std::string& r : reads) conflict = conflict || samePath(w, r);
            for (const std::string& x : writes) conflict = conflict || samePath(w, x);
        }
        for (const std::string& r : job.reads)
            for (const std::string& x : writes) conflict = conflict || samePath(r, x);
        if (conflict) out.push_back(job.done);
    }
    return out;
}

void InProcessToolHost::runVorsa(const std::vector<std::string>& arguments) {
    // A call that only makes a frequency table, or has one to make, runs alone: no other call reads
    // the table while it is written.
    if (arguments.size() < 2 || isNul(arguments[1])) return runNow(Tool::Vorsa, arguments);
    const std::string input = place(arguments[0]);
    const std::string sample = Files::resolve(input);
    const bool remake = arguments.size() > 4 && vorsa::RenderFlags::parse(arguments[4]).remakeTable;
    if (remake || !Files::exists(sample) || !Files::exists(lean::FrqTable::nameFor(sample)))
        return runNow(Tool::Vorsa, arguments);

    // The call reads the sample's frequency table too.
    const std::vector<std::string> reads{input, canonical(lean::FrqTable::nameFor(sample))},
        writes{place(arguments[1])};
    forgetDone();
    for (const auto& f : conflicts(reads, writes)) f.wait();
    while (jobs_.size() >= ahead_) {
        jobs_.front().done.wait();
        jobs_.pop_front();
    }
    const std::size_t turn = takeTurn();
    std::shared_future<void> done =
        renderers_.submit([this, arguments, turn] { call(Tool::Vorsa, arguments, turn); }).share();
    jobs_.push_back({done, reads, writes});
}

void InProcessToolHost::runCatena(const std::vector<std::string>& arguments) {
    if (arguments.size() < 4) return runNow(Tool::Catena, arguments);
    const std::string output = place(arguments[0]);
    const std::vector<std::string> reads{place(arguments[1])}, writes{output + ".whd", output + ".dat"};
    forgetDone();
    // Appends run in the batch's order on one thread; each first waits for what writes its input.
    std::vector<std::shared_future<void>> before = conflicts(reads, writes);
    while (jobs_.size() >= ahead_) {
        jobs_.front().done.wait();
        jobs_.pop_front();
    }
    const std::size_t turn = takeTurn();
    std::shared_future<void> done = appender_.submit([this, arguments, before, turn] {
        for (const auto& f : before) f.wait();
        call(Tool::Catena, arguments, turn);
    }).share();
    jobs_.push_back({done, reads, writes});
}

void InProcessToolHost::settle() {
    for (Job& job : jobs_) job.done.wait();
    jobs_.clear();
    folders_.clear();  // the batch settles before it makes folders
}

void InProcessToolHost::await(const BatchString& path, Use use) {
    forgetDone();
    if (jobs_.empty()) return;
    std::string folder, pattern;
    splitPath(canonical(batchUtf8(path)), folder, pattern);
    auto names = [&](const std::vector<std::string>& files) {
        for (const std::string& file : files) {
            std::string f, name;
            splitPath(file, f, name);
            if (samePath(f, folder) && Files::wildcardMatch(name, pattern)) return true;
        }
        return false;
    };
    for (const Job& job : jobs_)
        if (names(job.writes) || (use == Use::ReadOrWrite && names(job.reads))) job.done.wait();
}

bool InProcessToolHost::effectsOf(const BatchString& program, const BatchStrings& arguments, Effects& effects) const {
    switch (toolOf(program)) {
    case Tool::Vorsa:
        // The note, and beside the sample its frequency table when it has none.
        if (arguments.size() >= 2 && !isNul(batchUtf8(arguments[1]))) effects.madeFiles.push_back(arguments[1]);
        if (!arguments.empty()) effects.filesWithNewNeighbours.push_back(arguments[0]);
        return true;
    case Tool::Catena:
        if (!arguments.empty()) {
            effects.madeFiles.push_back(arguments[0] + u".whd");
            effects.madeFiles.push_back(arguments[0] + u".dat");
        }
        return true;
    case Tool::Other: break;
    }
    return false;
}

}  // namespace tova
