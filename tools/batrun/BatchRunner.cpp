#include "tools/batrun/BatchRunner.h"

#include "platform/Cp932.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"
#include "tools/batrun/BatchLineError.h"
#include "tools/batrun/BatchText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace tova {
namespace {

bool isBlank(QChar c) { return c == u' ' || c == u'\t'; }

bool hasWildcard(const QString& s) { return s.contains(u'*') || s.contains(u'?'); }

// "/X" or "/-X" outside quotes: a statement switch, returned upper-case; empty otherwise.
QString switchOf(const BatchToken& t) {
    const QString& r = t.raw;
    if (r.size() == 2 && r[0] == u'/' && r[1].isLetter()) return r.toUpper();
    if (r.size() == 3 && r[0] == u'/' && r[1] == u'-' && r[2].isLetter()) return r.toUpper();
    return {};
}

// The first word of a statement (up to a blank or tab).
QString keywordOf(const QString& s) {
    qsizetype i = 0;
    while (i < s.size() && !isBlank(s[i])) ++i;
    return s.left(i);
}

// The label a line defines (text after ":" up to a blank), or nothing when it is no label line.
bool labelOf(const QString& line, QString& label) {
    const QString t = batchRest(line, 0);
    if (!t.startsWith(u':')) return false;
    label = keywordOf(t.mid(1));
    return true;
}

bool isRemark(const QString& line) {
    QString t = batchRest(line, 0);
    while (t.startsWith(u'@')) t = batchRest(t, 1);
    return keywordOf(t).compare(u"rem", Qt::CaseInsensitive) == 0;
}

bool isBatchName(const QString& name) {
    return name.endsWith(u".bat", Qt::CaseInsensitive) || name.endsWith(u".cmd", Qt::CaseInsensitive);
}

// Files named `pattern` (wildcards allowed) in `folder`, and with `recursive` in every folder below it
// (links to folders are not followed).
void collectFiles(const QString& folder, const QString& pattern, bool recursive, QStringList& out) {
    for (const QString& name : FileSystem::list(folder, pattern, false)) {
        const QString path = PathText::join(folder, name);
        if (QFileInfo(path).isFile()) out << path;
    }
    if (!recursive) return;
    QStringList subs = QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::NoSymLinks,
                                              QDir::Name | QDir::IgnoreCase);
    for (const QString& sub : subs) collectFiles(PathText::join(folder, sub), pattern, true, out);
}

QString lineTooLong() {
    return QStringLiteral("a line holds at most %1 characters").arg(BatchRunner::MaxLineLength);
}

}  // namespace

BatchRunner::BatchRunner(BatchHost& host, const QProcessEnvironment& environment, const QString& programFolder)
    : host_(host), programFolder_(programFolder), folder_(QDir::currentPath()), childEnvironment_(environment) {
    for (const QString& key : environment.keys()) variables_.insert(key.toUpper(), Variable{key, environment.value(key)});
    // "%TEMP%" is the temporary root even where the environment does not name it so.
    if (!variables_.contains(QStringLiteral("TEMP")))
        variables_.insert(QStringLiteral("TEMP"), Variable{QStringLiteral("TEMP"), SystemPaths::tempRoot()});
}

QString BatchRunner::variable(const QString& name) const {
    auto it = variables_.constFind(name.toUpper());
    return it == variables_.constEnd() ? QString() : it->value;
}

void BatchRunner::run(const QString& batchPath, const QStringList& arguments) {
    QString path = PathText::toSlashes(batchPath);
    if (!path.startsWith(u'/')) path = QDir::current().absoluteFilePath(path);
    path = FileSystem::resolve(QDir::cleanPath(path));
    folder_ = PathText::folderPart(path);
    if (folder_.isEmpty()) folder_ = QStringLiteral("/");
    Frame frame{path, readLines(path), QStringList{batchPath} + arguments, 0};
    runFrame(frame, 0);
}

QStringList BatchRunner::readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) throw FileError(QStringLiteral("cannot read %1").arg(path));
    // A batch that starts with EF BB BF is UTF-8 (written so when a path holds characters the code
    // page lacks); any other is code page 932.
    QStringList lines = Cp932::decodeMarked(f.readAll()).split(u'\n');
    for (QString& l : lines)
        if (l.endsWith(u'\r')) l.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
    return lines;
}

void BatchRunner::runFrame(Frame& frame, int depth) {
    auto lookup = [this](const QString& name) { return variable(name); };
    for (frame.index = 0; frame.index < frame.lines.size(); ++frame.index) {
        const QString raw = frame.lines[frame.index];
        try {
            if (raw.size() > MaxLineLength) throw BatchLineError(lineTooLong());
            QString label;
            if (labelOf(raw, label) || isRemark(raw)) continue;
            // A jump leaves frame.index on the label's line; the loop goes on after it.
            execute(batchExpand(raw, lookup, frame.arguments, MaxLineLength), frame, depth);
        } catch (BatchLineError& e) {
            if (!e.located()) e.locate(frame.path, frame.index + 1, raw);
            throw;
        }
    }
}

BatchRunner::Flow BatchRunner::execute(const QString& statement, Frame& frame, int depth) {
    QString s = statement;
    while (!s.isEmpty() && (isBlank(s[0]) || s[0] == u'@')) s.remove(0, 1);
    if (s.isEmpty() || s.startsWith(u':')) return Flow::Next;

    const QString word = keywordOf(s);
    const QString kw = word.toLower();
    if (kw.startsWith(u"pause") && (kw.size() == 5 || kw[5] == u'>')) return pauseStatement(s.mid(5));
    const QString rest = s.mid(word.size());
    if (kw == u"rem") return Flow::Next;
    if (kw == u"set") return setStatement(batchRest(rest, 0));
    if (kw == u"call") return callStatement(rest, depth);
    if (kw == u"if") return ifStatement(rest, frame, depth);
    if (kw == u"goto") return gotoStatement(rest, frame);
    if (kw == u"del") return delStatement(rest);
    if (kw == u"mkdir") return mkdirStatement(rest);
    if (kw == u"copy") return copyStatement(rest);
    if (kw == u"for") return forStatement(rest, frame, depth);
    if (kw == u"echo") {
        host_.echo(!rest.isEmpty() && isBlank(rest[0]) ? rest.mid(1) : rest);
        return Flow::Next;
    }
    return programLine(s);
}

BatchRunner::Flow BatchRunner::setStatement(const QString& rest) {
    const qsizetype eq = rest.indexOf(u'=');
    if (eq <= 0) throw BatchLineError(QStringLiteral("set needs NAME=VALUE"));
    const QString name = rest.left(eq);
    if (name.contains(u'"')) throw BatchLineError(QStringLiteral("a variable name cannot hold a double quote"));
    setVariable(name, rest.mid(eq + 1));
    return Flow::Next;
}

void BatchRunner::setVariable(const QString& name, const QString& value) {
    if (name.size() + 1 + value.size() > MaxLineLength)
        throw BatchLineError(QStringLiteral("a variable holds at most %1 characters").arg(MaxLineLength));
    // One variable per name without regard to case: the batch's spelling replaces an earlier one,
    // for the batch and for the programs it starts.
    const QString key = name.toUpper();
    auto it = variables_.find(key);
    if (it != variables_.end()) {
        childEnvironment_.remove(it->name);
        variables_.erase(it);
    }
    childEnvironment_.remove(name);
    if (value.isEmpty()) return;
    variables_.insert(key, Variable{name, value});
    childEnvironment_.insert(name, value);
}

BatchRunner::Flow BatchRunner::callStatement(const QString& rest, int depth) {
    const QList<BatchToken> tokens = batchTokens(rest);
    if (tokens.isEmpty()) throw BatchLineError(QStringLiteral("call needs a batch file"));
    const QString target = tokens[0].text;
    if (!isBatchName(target)) throw BatchLineError(QStringLiteral("call runs only .bat and .cmd files"));
    const QString path = absolute(target);
    if (!QFileInfo(path).isFile()) throw BatchLineError(QStringLiteral("batch file not found: %1").arg(target));
    if (depth + 1 > MaxCallDepth)
        throw BatchLineError(QStringLiteral("calls nested more than %1 deep").arg(MaxCallDepth));
    QStringList arguments{tokens[0].raw};
    for (qsizetype i = 1; i < tokens.size(); ++i) arguments << tokens[i].raw;
    Frame child;
    child.path = path;
    try {
        child.lines = readLines(path);
    } catch (const FileError& e) {
        throw BatchLineError(e.description());
    }
    child.arguments = arguments;
    runFrame(child, depth + 1);
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::ifStatement(const QString& rest, Frame& frame, int depth) {
    const QList<BatchToken> tokens = batchTokens(rest);
    qsizetype i = 0;
    bool negate = false;
    if (i < tokens.size() && tokens[i].raw.compare(u"not", Qt::CaseInsensitive) == 0) {
        negate = true;
        ++i;
    }
    if (i >= tokens.size() || tokens[i].raw.compare(u"exist", Qt::CaseInsensitive) != 0)
        throw BatchLineError(QStringLiteral("only \"if [not] exist\" is supported"));
    ++i;
    if (i >= tokens.size()) throw BatchLineError(QStringLiteral("if exist needs a path"));
    const BatchToken& path = tokens[i];
    const QString statement = batchRest(rest, path.end);
    if (statement.isEmpty()) throw BatchLineError(QStringLiteral("if exist needs a statement"));

    bool found = false;
    if (!path.text.isEmpty())
        found = hasWildcard(path.text) ? !matches(path.text, true).isEmpty() : FileSystem::exists(absolute(path.text));
    return found != negate ? execute(statement, frame, depth) : Flow::Next;
}

BatchRunner::Flow BatchRunner::gotoStatement(const QString& rest, Frame& frame) {
    const QList<BatchToken> tokens = batchTokens(rest);
    QString target = tokens.isEmpty() ? QString() : tokens[0].text;
    if (target.startsWith(u':')) target.remove(0, 1);
    if (target.isEmpty()) throw BatchLineError(QStringLiteral("goto needs a label"));
    const int n = int(frame.lines.size());
    for (int step = 1; step <= n; ++step) {
        const int i = (frame.index + step) % n;
        QString label;
        if (labelOf(frame.lines[i], label) && label.compare(target, Qt::CaseInsensitive) == 0) {
            frame.index = i;
            return Flow::Jump;
        }
    }
    throw BatchLineError(QStringLiteral("label not found: %1").arg(target));
}

BatchRunner::Flow BatchRunner::delStatement(const QString& rest) {
    bool recursive = false;
    QList<BatchToken> targets;
    for (const BatchToken& t : batchTokens(rest)) {
        const QString sw = switchOf(t);
        if (sw == u"/S")
            recursive = true;
        else if (sw == u"/Q")
            continue;
        else if (!sw.isEmpty())
            throw BatchLineError(QStringLiteral("del switch %1 is not supported").arg(t.raw));
        else
            targets << t;
    }
    if (targets.isEmpty()) throw BatchLineError(QStringLiteral("del needs a file"));

    for (const BatchToken& t : targets) {
        const QString& text = t.text;
        if (text.isEmpty()) {
            host_.warn(QStringLiteral("del: empty file name"));
            continue;
        }
        const qsizetype sep = PathText::lastSeparator(text);
        const QString written = text.left(sep + 1);
        const QString name = text.mid(sep + 1);
        // A folder named on its own is left alone: only files are ever deleted.
        if (name.isEmpty() || (!hasWildcard(name) && !recursive && QFileInfo(absolute(text)).isDir())) {
            host_.warn(QStringLiteral("del: %1 is a folder; nothing deleted").arg(text));
            continue;
        }
        QStringList files;
        if (!hasWildcard(name) && !recursive) {
            // One named file: looked up directly, so a "for" over many files does not list the folder
            // once per file.
            const QString path = absolute(text);
            if (QFileInfo(path).isFile()) files << path;
        } else {
            collectFiles(absolute(written.isEmpty() ? QStringLiteral(".") : written), name, recursive, files);
        }
        // Nothing to delete is no failure (the render batches delete what may not be there).
        if (files.isEmpty()) continue;
        for (const QString& f : files)
            if (!QFile::remove(f)) host_.warn(QStringLiteral("del: cannot delete %1").arg(f));
    }
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::mkdirStatement(const QString& rest) {
    const QList<BatchToken> tokens = batchTokens(rest);
    if (tokens.isEmpty()) throw BatchLineError(QStringLiteral("mkdir needs a folder"));
    for (const BatchToken& t : tokens) {
        if (t.text.isEmpty()) {
            host_.warn(QStringLiteral("mkdir: empty folder name"));
            continue;
        }
        const QString path = absolute(t.text);
        // A folder that is there already is what was asked for; a file in its place is a failure.
        const QFileInfo there(path);
        if (there.isDir()) continue;
        if (there.exists())
            host_.warn(QStringLiteral("mkdir: %1 exists and is no folder").arg(t.text));
        else if (!QDir().mkpath(path))
            host_.warn(QStringLiteral("mkdir: cannot make %1").arg(t.text));
    }
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::copyStatement(const QString& rest) {
    // Groups of names joined by "+": the first group is the sources, the second the destination.
    QList<QStringList> groups;
    bool joinNext = false;
    for (const BatchToken& t : batchTokens(rest)) {
        const QString sw = switchOf(t);
        if (sw == u"/Y" || sw == u"/-Y" || sw == u"/B" || sw == u"/V") continue;
        if (!sw.isEmpty()) throw BatchLineError(QStringLiteral("copy switch %1 is not supported").arg(t.raw));
        const QStringList parts = batchSplitOutsideQuotes(t.raw, QStringLiteral("+"));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            if (i > 0) joinNext = true;
            QString name = parts[i];
            name.remove(u'"');
            if (parts[i].isEmpty()) continue;
            if (joinNext && !groups.isEmpty())
                groups.last() << name;
            else
                groups.append(QStringList{name});
            joinNext = false;
        }
    }
    if (groups.size() != 2 || groups[1].size() != 1)
        throw BatchLineError(QStringLiteral("copy needs SOURCE [+ SOURCE...] DESTINATION"));

    QStringList sources;
    for (const QString& s : groups[0]) {
        const QString path = absolute(s);
        if (!QFileInfo(path).isFile()) {
            host_.warn(QStringLiteral("copy: cannot find %1; nothing copied").arg(s));
            return Flow::Next;
        }
        sources << path;
    }
    QString dest = absolute(groups[1][0]);
    if (QFileInfo(dest).isDir()) dest = PathText::join(dest, PathText::filePart(sources[0]));

    QSaveFile out(dest);
    out.setDirectWriteFallback(false);
    if (!out.open(QIODevice::WriteOnly)) {
        host_.warn(QStringLiteral("copy: cannot write %1").arg(groups[1][0]));
        return Flow::Next;
    }
    for (const QString& s : sources) {
        QFile in(s);
        if (!in.open(QIODevice::ReadOnly)) {
            out.cancelWriting();
            host_.warn(QStringLiteral("copy: cannot read %1; nothing copied").arg(s));
            return Flow::Next;
        }
        while (!in.atEnd()) {
            const QByteArray chunk = in.read(1 << 20);
            if (chunk.isEmpty()) break;
            out.write(chunk);
        }
    }
    if (!out.commit()) host_.warn(QStringLiteral("copy: cannot write %1").arg(groups[1][0]));
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::pauseStatement(const QString& rest) {
    QString r = rest;
    r.remove(u' ');
    r.remove(u'\t');
    if (r.isEmpty())
        host_.pause(false);
    else if (r.compare(u">nul", Qt::CaseInsensitive) == 0)
        host_.pause(true);
    else
        throw BatchLineError(QStringLiteral("pause takes nothing but \">nul\""));
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::forStatement(const QString& rest, Frame& frame, int depth) {
    const QString usage = QStringLiteral("for needs %V in (ITEMS) do STATEMENT");
    const QList<BatchToken> tokens = batchTokens(rest);
    if (tokens.size() < 2) throw BatchLineError(usage);
    const QString var = tokens[0].raw;
    if (!switchOf(tokens[0]).isEmpty()) throw BatchLineError(QStringLiteral("for switch %1 is not supported").arg(var));
    if (var.size() != 2 || var[0] != u'%' || var[1] == u'%' || isBlank(var[1])) throw BatchLineError(usage);
    if (tokens[1].raw.compare(u"in", Qt::CaseInsensitive) != 0) throw BatchLineError(usage);

    const QString after = batchRest(rest, tokens[1].end);
    if (!after.startsWith(u'(')) throw BatchLineError(usage);
    qsizetype close = -1;
    bool quoted = false;
    for (qsizetype i = 1; i < after.size(); ++i) {
        if (after[i] == u'"') quoted = !quoted;
        if (!quoted && after[i] == u')') {
            close = i;
            break;
        }
    }
    if (close < 0) throw BatchLineError(usage);
    const QString tail = batchRest(after, close + 1);
    if (keywordOf(tail).compare(u"do", Qt::CaseInsensitive) != 0) throw BatchLineError(usage);
    const QString statement = batchRest(tail, 2);
    if (statement.isEmpty()) throw BatchLineError(usage);

    QStringList values;
    for (const QString& item : batchSplitOutsideQuotes(after.mid(1, close - 1), QStringLiteral(" \t,;"))) {
        if (item.isEmpty()) continue;
        QString bare = item;
        bare.remove(u'"');
        if (hasWildcard(bare))
            values << matches(bare, false);
        else
            values << item;
    }
    for (const QString& value : values) {
        QString s = statement;
        s.replace(var, value);
        if (s.size() > MaxLineLength) throw BatchLineError(lineTooLong());
        if (execute(s, frame, depth) == Flow::Jump) return Flow::Jump;
    }
    return Flow::Next;
}

BatchRunner::Flow BatchRunner::programLine(const QString& statement) {
    const QList<BatchToken> tokens = batchTokens(statement);
    const QString name = tokens.isEmpty() ? QString() : tokens[0].text;
    if (name.isEmpty()) throw BatchLineError(QStringLiteral("no program named"));
    if (isBatchName(name)) throw BatchLineError(QStringLiteral("a batch file runs through call"));
    const QString program = findProgram(name);
    if (program.isEmpty()) throw BatchLineError(QStringLiteral("program not found: %1").arg(name));
    QStringList arguments;
    for (qsizetype i = 1; i < tokens.size(); ++i) arguments << tokens[i].text;
    if (!host_.run(program, arguments, folder_, childEnvironment_))
        throw BatchLineError(QStringLiteral("program could not be started: %1").arg(program));
    return Flow::Next;
}

QString BatchRunner::findProgram(const QString& name) const {
    // "name.exe" is the program "name" here; either spelling is looked for, without regard to case.
    auto tryPath = [](const QString& path) -> QString {
        QStringList candidates{path};
        if (path.endsWith(u".exe", Qt::CaseInsensitive)) candidates << path.left(path.size() - 4);
        for (const QString& c : candidates) {
            const QString r = FileSystem::resolve(c);
            const QFileInfo fi(r);
            if (fi.isFile() && fi.isExecutable()) return r;
        }
        return {};
    };
    if (PathText::lastSeparator(name) >= 0) return tryPath(absolute(name));
    QStringList folders{folder_, programFolder_};
    folders << variable(QStringLiteral("PATH")).split(u':', Qt::SkipEmptyParts);
    for (const QString& f : folders) {
        if (f.isEmpty()) continue;
        const QString found = tryPath(PathText::join(f, name));
        if (!found.isEmpty()) return found;
    }
    return {};
}

QString BatchRunner::absolute(const QString& path) const {
    QString p = PathText::toSlashes(path);
    if (!p.startsWith(u'/')) p = PathText::join(folder_, p);
    return FileSystem::resolve(p);
}

QStringList BatchRunner::matches(const QString& pattern, bool withFolders) const {
    const qsizetype sep = PathText::lastSeparator(pattern);
    const QString written = pattern.left(sep + 1);
    const QString name = pattern.mid(sep + 1);
    if (name.isEmpty()) return {};
    QStringList out;
    for (const QString& n : FileSystem::list(absolute(written.isEmpty() ? QStringLiteral(".") : written), name, withFolders))
        if (n != u"." && n != u"..") out << written + n;
    return out;
}

}  // namespace tova
