#include "tools/batrun/BatchRunner.h"

#include "platform/lean/Cp932Text.h"
#include "platform/lean/Failure.h"
#include "platform/lean/Files.h"
#include "tools/batrun/BatchLineError.h"
#include "tools/batrun/BatchText.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <vector>
#include <locale.h>
#include <string>
#include <wctype.h>

namespace tova {
namespace {

using Files = lean::Files;

bool isBlank(char16_t c) { return c == u' ' || c == u'\t'; }
bool isSeparator(char16_t c) { return c == u'/' || c == u'\\'; }

bool isLetter(char16_t c) {
    static const locale_t l = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (c < 0x80 || !l) return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
    return iswalpha_l(wint_t(c), l) != 0;
}

bool hasWildcard(const BatchString& s) { return s.find_first_of(u"*?") != BatchString::npos; }

std::size_t lastSeparator(const BatchString& path) {
    for (std::size_t i = path.size(); i-- > 0;)
        if (isSeparator(path[i])) return i;
    return BatchString::npos;
}

// Everything up to and with the last separator ("" when there is none).
BatchString writtenFolder(const BatchString& path) {
    const std::size_t sep = lastSeparator(path);
    return sep == BatchString::npos ? BatchString() : path.substr(0, sep + 1);
}

BatchString namePart(const BatchString& path) {
    const std::size_t sep = lastSeparator(path);
    return sep == BatchString::npos ? path : path.substr(sep + 1);
}

BatchString folderPart(const BatchString& path) {
    const std::size_t sep = lastSeparator(path);
    if (sep == BatchString::npos) return {};
    return sep == 0 ? path.substr(0, 1) : path.substr(0, sep);  // the root itself
}

BatchString join(const BatchString& folder, const BatchString& name) {
    if (folder.empty()) return name;
    if (isSeparator(folder.back())) return folder + name;
    return folder + u'/' + name;
}

BatchString toSlashes(BatchString path) {
    for (char16_t& c : path)
        if (c == u'\\') c = u'/';
    return path;
}

struct stat statOf(const BatchString& path, bool& found) {
    struct stat st {};
    found = ::stat(batchUtf8(path).c_str(), &st) == 0;
    return st;
}

bool isFile(const BatchString& path) {
    bool found = false;
    const struct stat st = statOf(path, found);
    return found && S_ISREG(st.st_mode);
}

bool isFolder(const BatchString& path) {
    bool found = false;
    const struct stat st = statOf(path, found);
    return found && S_ISDIR(st.st_mode);
}

bool exists(const BatchString& path) {
    bool found = false;
    statOf(path, found);
    return found;
}

// "/X" or "/-X" outside quotes: a statement switch, returned upper-case; empty otherwise.
BatchString switchOf(const BatchToken& t) {
    const BatchString& r = t.raw;
    if (r.size() == 2 && r[0] == u'/' && isLetter(r[1])) return batchUpper(r);
    if (r.size() == 3 && r[0] == u'/' && r[1] == u'-' && isLetter(r[2])) return batchUpper(r);
    return {};
}

// The first word of a statement (up to a blank or tab).
BatchString keywordOf(const BatchString& s) {
    std::size_t i = 0;
    while (i < s.size() && !isBlank(s[i])) ++i;
    return s.substr(0, i);
}

// The label a line defines (text after ":" up to a blank), or nothing when it is no label line.
bool labelOf(const BatchString& line, BatchString& label) {
    const BatchString t = batchRest(line, 0);
    if (t.empty() || t[0] != u':') return false;
    label = keywordOf(t.substr(1));
    return true;
}

bool isRemark(const BatchString& line) {
    BatchString t = batchRest(line, 0);
    while (!t.empty() && t[0] == u'@') t = batchRest(t, 1);
    return batchEqualNoCase(keywordOf(t), u"rem");
}

bool isBatchName(const BatchString& name) {
    return batchEndsWithNoCase(name, u".bat") || batchEndsWithNoCase(name, u".cmd");
}

BatchString lineTooLong() {
    return u"a line holds at most " + batchNumber(BatchRunner::MaxLineLength) + u" characters";
}

// The temporary root: $TEMP, else $TMPDIR, else /tmp.
BatchString tempRoot() {
    for (const char* name : {"TEMP", "TMPDIR"}) {
        const char* v = std::getenv(name);
        if (v && *v) return batchText(v);
    }
    return u"/tmp";
}

void replaceAll(BatchString& s, const BatchString& what, const BatchString& with) {
    if (what.empty()) return;
    for (std::size_t at = s.find(what); at != BatchString::npos; at = s.find(what, at + with.size()))
        s.replace(at, what.size(), with);
}

void removeAll(BatchString& s, char16_t c) { std::erase(s, c); }

}  // namespace

// Files named `pattern` (wildcards allowed) in `folder`, and with `recursive` in every folder below it
// (links to folders are not followed).
void BatchRunner::collectFiles(const BatchString& folder, const BatchString& pattern, bool recursive,
                               BatchStrings& out) const {
    for (const std::string& name : listings_.list(batchUtf8(folder), batchUtf8(pattern), false)) {
        const BatchString path = join(folder, batchText(name));
        if (isFile(path)) out.push_back(path);
    }
    if (!recursive) return;
    for (const std::string& sub : Files::subFolders(batchUtf8(folder)))
        collectFiles(join(folder, batchText(sub)), pattern, true, out);
}

BatchString BatchRunner::resolve(const BatchString& path) const { return batchText(listings_.resolve(batchUtf8(path))); }

BatchRunner::BatchRunner(BatchHost& host, const BatchEnvironment& environment, const BatchString& programFolder)
    : host_(host), programFolder_(programFolder), folder_(batchText(Files::currentFolder())),
      childEnvironment_(environment),
      listings_([this](const std::string& folder) {
          host_.await(batchText(folder == "/" ? std::string("/*") : folder + "/*"), BatchHost::Use::Write);
      }) {
    for (const auto& [name, value] : environment.entries()) variables_.insert_or_assign(name, Variable{name, value});
    // "%TEMP%" is the temporary root even where the environment does not name it so.
    if (!variables_.count(u"TEMP")) variables_.emplace(u"TEMP", Variable{u"TEMP", tempRoot()});
}

BatchString BatchRunner::variable(const BatchString& name) const {
    const auto it = variables_.find(name);
    return it == variables_.end() ? BatchString() : it->second.value;
}

void BatchRunner::run(const BatchString& batchPath, const BatchStrings& arguments) {
    BatchString path = toSlashes(batchPath);
    if (path.empty() || path[0] != u'/') path = join(batchText(Files::currentFolder()), path);
    path = resolve(batchText(Files::cleanPath(batchUtf8(path))));
    folder_ = folderPart(path);
    if (folder_.empty()) folder_ = u"/";
    BatchStrings all{batchPath};
    all.insert(all.end(), arguments.begin(), arguments.end());
    Frame frame{path, readLines(path), all, 0};
    // What the host still runs ends before the run does, a failure included (its complaints come
    // before the runner's).
    try {
        runFrame(frame, 0);
    } catch (...) {
        host_.settle();
        throw;
    }
    host_.settle();
}

BatchStrings BatchRunner::readLines(const BatchString& path) {
    std::string bytes;
    if (!Files::read(batchUtf8(path), bytes))
        throw lean::Failure(lean::Failure::FileNotFound, "cannot read " + batchUtf8(path));
    // A batch that starts with EF BB BF is UTF-8 (written so when a path holds characters the code
    // page lacks); any other is code page 932.
    const BatchString text = batchText(lean::decodeMarkedCp932(bytes));
    BatchStrings lines;
    for (std::size_t from = 0;;) {
        const std::size_t end = text.find(u'\n', from);
        BatchString line = text.substr(from, end == BatchString::npos ? BatchString::npos : end - from);
        if (!line.empty() && line.back() == u'\r') line.pop_back();
        lines.push_back(line);
        if (end == BatchString::npos) break;
        from = end + 1;
    }
    if (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

void BatchRunner::runFrame(Frame& frame, int depth) {
    auto lookup = [this](const BatchString& name) { return variable(name); };
    for (frame.index = 0; frame.index < int(frame.lines.size()); ++frame.index) {
        const BatchString raw = frame.lines[std::size_t(frame.index)];
        try {
            if (raw.size() > std::size_t(MaxLineLength)) throw BatchLineError(lineTooLong());
            BatchString label;
            if (labelOf(raw, label) || isRemark(raw)) continue;
            // A jump leaves frame.index on the label's line; the loop goes on after it.
            execute(batchExpand(raw, lookup, frame.arguments, MaxLineLength), frame, depth);
        } catch (BatchLineError& e) {
            if (!e.located()) e.locate(frame.path, frame.index + 1, raw);
            throw;
        }
    }
}

BatchRunner::Flow BatchRunner::execute(const BatchString& statement, Frame& frame, int depth) {
    std::size_t skip = 0;
    while (skip < statement.size() && (isBlank(statement[skip]) || statement[skip] == u'@')) ++skip;
    const BatchString s = statement.substr(skip);
    if (s.empty() || s[0] == u':') return Flow::Next;

    const BatchString word = keywordOf(s);
    const BatchString kw = batchLower(word);
    if (batchStartsWith(kw, u"pause") && (kw.size() == 5 || kw[5] == u'>')) return pauseStatement(s.substr(5));
    const BatchString rest = s.substr(word.size());
    if (kw == u"rem") return Flow::Next;
    if (kw == u"set") return setStatement(batchRest(rest, 0));
    if (kw == u"call") return callStatement(rest, depth);
    if (kw == u"if") return ifStatement(rest, frame, depth);
    if (kw == u"goto") return gotoStatement(rest, frame);
    if (kw == u"del") return delStatement(rest);
    // The statements below see the disk (or the console) as the programs before them left it.
    if (kw == u"mkdir" || kw == u"copy" || kw == u"for" || kw == u"echo") host_.settle();
    if (kw == u"mkdir") return mkdirStatement(rest);
    if (kw == u"copy") return copyStatement(rest);
    if (kw == u"for") return forStatement(rest, frame, depth);
    if (kw == u"echo") {
        host_.echo(!rest.empty() && isBlank(rest[0]) ? rest.substr(1) : rest);
        return Flow::Next;
    }
    return programLine(s);
}

BatchRunner::Flow BatchRunner::setStatement(const BatchString& rest) {
    const std::size_t eq = rest.find(u'=');
    if (eq == BatchString::npos || eq == 0) throw BatchLineError(u"set needs NAME=VALUE");
    const BatchString name = rest.substr(0, eq);
    if (name.find(u'"') != BatchString::npos) throw BatchLineError(u"a variable name cannot hold a double quote");
    setVariable(name, rest.substr(eq + 1));
    return Flow::Next;
}

void BatchRunner::setVariable(const BatchString& name, const BatchString& value) {
    if (name.size() + 1 + value.size() > std::size_t(MaxLineLength))
        throw BatchLineError(u"a variable holds at most " + batchNumber(MaxLineLength) + u" characters");
    // One variable per name without regard to the case of ASCII letters: the batch's spelling replaces
    // an earlier one. It is the batch's alone: the programs the batch starts keep the runner's own
    // environment, so no variable a batch line (a note's "@" option) sets reaches a shell, the loader
    // or an interpreter under any name.
    variables_.erase(name);
    if (value.empty()) return;
    variables_.emplace(name, Variable{name, value});
}

BatchRunner::Flow BatchRunner::callStatement(const BatchString& rest, int depth) {
    const std::vector<BatchToken> tokens = batchTokens(rest);
    if (tokens.empty()) throw BatchLineError(u"call needs a batch file");
    const BatchString target = tokens[0].text;
    if (!isBatchName(target)) throw BatchLineError(u"call runs only .bat and .cmd files");
    awaitTools(target);
    const BatchString path = absolute(target);
    if (!isFile(path)) throw BatchLineError(u"batch file not found: " + target);
    if (depth + 1 > MaxCallDepth)
        throw BatchLineError(u"calls nested more than " + batchNumber(MaxCallDepth) + u" deep");
    BatchStrings arguments;
    for (const BatchToken& t : tokens) arguments.push_back(t.raw);
    Frame child;
    child.path = path;
    try {
        child.lines = readLines(path);
    } catch (const lean::Failure& e) {
        throw BatchLineError(batchText(e.what()));
    }
    child.arguments = arguments;
    runFrame(child, depth + 1);
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::ifStatement(const BatchString& rest, Frame& frame, int depth) {
    const std::vector<BatchToken> tokens = batchTokens(rest);
    std::size_t i = 0;
    bool negate = false;
    if (i < tokens.size() && batchEqualNoCase(tokens[i].raw, u"not")) {
        negate = true;
        ++i;
    }
    if (i >= tokens.size() || !batchEqualNoCase(tokens[i].raw, u"exist"))
        throw BatchLineError(u"only \"if [not] exist\" is supported");
    ++i;
    if (i >= tokens.size()) throw BatchLineError(u"if exist needs a path");
    const BatchToken& path = tokens[i];
    const BatchString statement = batchRest(rest, path.end);
    if (statement.empty()) throw BatchLineError(u"if exist needs a statement");

    bool found = false;
    if (!path.text.empty()) awaitTools(path.text);
    if (!path.text.empty())
        found = hasWildcard(path.text) ? !matches(path.text, true).empty() : exists(absolute(path.text));
    return found != negate ? execute(statement, frame, depth) : Flow::Next;
}

BatchRunner::Flow BatchRunner::gotoStatement(const BatchString& rest, Frame& frame) {
    const std::vector<BatchToken> tokens = batchTokens(rest);
    BatchString target = tokens.empty() ? BatchString() : tokens[0].text;
    if (!target.empty() && target[0] == u':') target.erase(0, 1);
    if (target.empty()) throw BatchLineError(u"goto needs a label");
    const int n = int(frame.lines.size());
    for (int step = 1; step <= n; ++step) {
        const int i = (frame.index + step) % n;
        BatchString label;
        if (labelOf(frame.lines[std::size_t(i)], label) && batchEqualNoCase(label, target)) {
            frame.index = i;
            return Flow::Jump;
        }
    }
    throw BatchLineError(u"label not found: " + target);
}

BatchRunner::Flow BatchRunner::delStatement(const BatchString& rest) {
    bool recursive = false;
    std::vector<BatchToken> targets;
    for (const BatchToken& t : batchTokens(rest)) {
        const BatchString sw = switchOf(t);
        if (sw == u"/S")
            recursive = true;
        else if (sw == u"/Q")
            continue;
        else if (!sw.empty())
            throw BatchLineError(u"del switch " + t.raw + u" is not supported");
        else
            targets.push_back(t);
    }
    if (targets.empty()) throw BatchLineError(u"del needs a file");

    for (const BatchToken& t : targets) {
        const BatchString& text = t.text;
        if (text.empty()) {
            host_.warn(u"del: empty file name");
            continue;
        }
        // The files go only once the programs still reading or writing them are done with them
        // (in every folder below with /S).
        if (recursive)
            host_.settle();
        else
            awaitTools(text, BatchHost::Use::ReadOrWrite);
        const BatchString written = writtenFolder(text);
        const BatchString name = namePart(text);
        // A folder named on its own is left alone: only files are ever deleted.
        if (name.empty() || (!hasWildcard(name) && !recursive && isFolder(absolute(text)))) {
            host_.warn(u"del: " + text + u" is a folder; nothing deleted");
            continue;
        }
        BatchStrings files;
        if (!hasWildcard(name) && !recursive) {
            // One named file: looked up directly, so a "for" over many files does not list the folder
            // once per file.
            const BatchString path = absolute(text);
            if (isFile(path)) files.push_back(path);
        } else {
            collectFiles(absolute(written.empty() ? BatchString(u".") : written), name, recursive, files);
        }
        // Nothing to delete is no failure (the render batches delete what may not be there).
        for (const BatchString& f : files)
            if (::unlink(batchUtf8(f).c_str()) != 0)
                host_.warn(u"del: cannot delete " + f);
            else
                listings_.removed(batchUtf8(f));
    }
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::mkdirStatement(const BatchString& rest) {
    const std::vector<BatchToken> tokens = batchTokens(rest);
    if (tokens.empty()) throw BatchLineError(u"mkdir needs a folder");
    for (const BatchToken& t : tokens) {
        if (t.text.empty()) {
            host_.warn(u"mkdir: empty folder name");
            continue;
        }
        const BatchString path = absolute(t.text);
        // A folder that is there already is what was asked for; a file in its place is a failure.
        if (isFolder(path)) continue;
        if (exists(path))
            host_.warn(u"mkdir: " + t.text + u" exists and is no folder");
        else if (!Files::makePath(batchUtf8(path)))
            host_.warn(u"mkdir: cannot make " + t.text);
        listings_.clear();  // folders made anywhere along the path
    }
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::copyStatement(const BatchString& rest) {
    // Groups of names joined by "+": the first group is the sources, the second the destination.
    std::vector<BatchStrings> groups;
    bool joinNext = false;
    for (const BatchToken& t : batchTokens(rest)) {
        const BatchString sw = switchOf(t);
        if (sw == u"/Y" || sw == u"/-Y" || sw == u"/B" || sw == u"/V") continue;
        if (!sw.empty()) throw BatchLineError(u"copy switch " + t.raw + u" is not supported");
        const BatchStrings parts = batchSplitOutsideQuotes(t.raw, u"+");
        for (std::size_t i = 0; i < parts.size(); ++i) {
            if (i > 0) joinNext = true;
            BatchString name = parts[i];
            removeAll(name, u'"');
            if (parts[i].empty()) continue;
            if (joinNext && !groups.empty())
                groups.back().push_back(name);
            else
                groups.push_back(BatchStrings{name});
            joinNext = false;
        }
    }
    if (groups.size() != 2 || groups[1].size() != 1)
        throw BatchLineError(u"copy needs SOURCE [+ SOURCE...] DESTINATION");

    BatchStrings sources;
    for (const BatchString& s : groups[0]) {
        const BatchString path = absolute(s);
        if (!isFile(path)) {
            host_.warn(u"copy: cannot find " + s + u"; nothing copied");
            return Flow::Next;
        }
        sources.push_back(path);
    }
    BatchString dest = absolute(groups[1][0]);
    if (isFolder(dest)) dest = join(dest, namePart(sources[0]));

    lean::AtomicFile out(batchUtf8(dest));
    if (!out.isOpen()) {
        host_.warn(u"copy: cannot write " + groups[1][0]);
        return Flow::Next;
    }
    std::vector<char> chunk(std::size_t(1) << 20);
    for (const BatchString& s : sources) {
        const int fd = ::open(batchUtf8(s).c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        bool read = fd >= 0;
        while (read) {
            const ssize_t n = ::read(fd, chunk.data(), chunk.size());
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) {
                read = n == 0;
                break;
            }
            if (!out.write(chunk.data(), std::size_t(n))) break;
        }
        if (fd >= 0) ::close(fd);
        if (!read) {
            host_.warn(u"copy: cannot read " + s + u"; nothing copied");
            return Flow::Next;
        }
        if (!out.isOpen()) break;
    }
    if (!out.commit())
        host_.warn(u"copy: cannot write " + groups[1][0]);
    else
        listings_.added(batchUtf8(dest));
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::pauseStatement(const BatchString& rest) {
    BatchString r = rest;
    removeAll(r, u' ');
    removeAll(r, u'\t');
    if (r.empty())
        host_.pause(false);
    else if (batchEqualNoCase(r, u">nul"))
        host_.pause(true);
    else
        throw BatchLineError(u"pause takes nothing but \">nul\"");
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::forStatement(const BatchString& rest, Frame& frame, int depth) {
    const BatchString usage = u"for needs %V in (ITEMS) do STATEMENT";
    const std::vector<BatchToken> tokens = batchTokens(rest);
    if (tokens.size() < 2) throw BatchLineError(usage);
    const BatchString var = tokens[0].raw;
    if (!switchOf(tokens[0]).empty()) throw BatchLineError(u"for switch " + var + u" is not supported");
    if (var.size() != 2 || var[0] != u'%' || var[1] == u'%' || isBlank(var[1])) throw BatchLineError(usage);
    if (!batchEqualNoCase(tokens[1].raw, u"in")) throw BatchLineError(usage);

    const BatchString after = batchRest(rest, tokens[1].end);
    if (after.empty() || after[0] != u'(') throw BatchLineError(usage);
    std::size_t close = BatchString::npos;
    bool quoted = false;
    for (std::size_t i = 1; i < after.size(); ++i) {
        if (after[i] == u'"') quoted = !quoted;
        if (!quoted && after[i] == u')') {
            close = i;
            break;
        }
    }
    if (close == BatchString::npos) throw BatchLineError(usage);
    const BatchString tail = batchRest(after, close + 1);
    if (!batchEqualNoCase(keywordOf(tail), u"do")) throw BatchLineError(usage);
    const BatchString statement = batchRest(tail, 2);
    if (statement.empty()) throw BatchLineError(usage);

    BatchStrings values;
    for (const BatchString& item : batchSplitOutsideQuotes(after.substr(1, close - 1), u" \t,;")) {
        if (item.empty()) continue;
        BatchString bare = item;
        removeAll(bare, u'"');
        if (hasWildcard(bare)) {
            const BatchStrings found = matches(bare, false);
            values.insert(values.end(), found.begin(), found.end());
        } else {
            values.push_back(item);
        }
    }
    for (const BatchString& value : values) {
        BatchString s = statement;
        replaceAll(s, var, value);
        if (s.size() > std::size_t(MaxLineLength)) throw BatchLineError(lineTooLong());
        if (execute(s, frame, depth) == Flow::Jump) return Flow::Jump;
    }
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::programLine(const BatchString& statement) {
    const std::vector<BatchToken> tokens = batchTokens(statement);
    const BatchString name = tokens.empty() ? BatchString() : tokens[0].text;
    if (name.empty()) throw BatchLineError(u"no program named");
    if (isBatchName(name)) throw BatchLineError(u"a batch file runs through call");
    const BatchString program = findProgram(name);
    if (program.empty()) throw BatchLineError(u"program not found: " + name);
    BatchStrings arguments;
    for (std::size_t i = 1; i < tokens.size(); ++i) arguments.push_back(tokens[i].text);
    BatchHost::Effects effects;
    const bool known = host_.effectsOf(program, arguments, effects);
    if (!host_.run(program, arguments, folder_, childEnvironment_))
        throw BatchLineError(u"program could not be started: " + program);
    if (!known) {
        listings_.clear();  // a program of its own may have changed anything
        return Flow::Next;
    }
    for (const BatchString& made : effects.madeFiles) {
        // Made where the tool makes it: in the folder found on disk, under the name as written.
        const BatchString path = written(made);
        listings_.added(batchUtf8(join(resolve(folderPart(path)), namePart(path))));
    }
    for (const BatchString& beside : effects.filesWithNewNeighbours)
        listings_.forget(batchUtf8(folderPart(absolute(beside))));
    return Flow::Next;
}

BatchString BatchRunner::findProgram(const BatchString& name) const {
    // "name.exe" is the program "name" here; either spelling is looked for, without regard to case.
    auto tryPath = [this](const BatchString& path) -> BatchString {
        BatchStrings candidates{path};
        if (batchEndsWithNoCase(path, u".exe")) candidates.push_back(path.substr(0, path.size() - 4));
        for (const BatchString& c : candidates) {
            const BatchString r = resolve(c);
            if (isFile(r) && ::access(batchUtf8(r).c_str(), X_OK) == 0) return r;
        }
        return {};
    };
    if (lastSeparator(name) != BatchString::npos) return tryPath(absolute(name));
    BatchStrings folders{folder_, programFolder_};
    const BatchString path = variable(u"PATH");
    for (std::size_t from = 0; from < path.size();) {
        std::size_t colon = path.find(u':', from);
        if (colon == BatchString::npos) colon = path.size();
        if (colon > from) folders.push_back(path.substr(from, colon - from));
        from = colon + 1;
    }
    for (const BatchString& f : folders) {
        if (f.empty()) continue;
        const BatchString found = tryPath(join(f, name));
        if (!found.empty()) return found;
    }
    return {};
}

BatchString BatchRunner::written(const BatchString& path) const {
    BatchString p = toSlashes(path);
    if (p.empty() || p[0] != u'/') p = join(folder_, p);
    return batchText(Files::cleanPath(batchUtf8(p)));
}

BatchString BatchRunner::absolute(const BatchString& path) const {
    BatchString p = toSlashes(path);
    if (p.empty() || p[0] != u'/') p = join(folder_, p);
    return resolve(p);
}

void BatchRunner::awaitTools(const BatchString& path, BatchHost::Use use) { host_.await(written(path), use); }

BatchStrings BatchRunner::matches(const BatchString& pattern, bool withFolders) const {
    const BatchString written = writtenFolder(pattern);
    const BatchString name = namePart(pattern);
    if (name.empty()) return {};
    BatchStrings out;
    for (const std::string& n :
         listings_.list(batchUtf8(absolute(written.empty() ? BatchString(u".") : written)), batchUtf8(name), withFolders))
        if (n != "." && n != "..") out.push_back(written + batchText(n));
    return out;
}

}  // namespace tova
