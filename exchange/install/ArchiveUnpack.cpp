#include "exchange/install/ArchiveUnpack.h"

#include "core/MessageTable.h"
#include "exchange/install/ArchivePaths.h"
#include "platform/zip/ZipArchive.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <QFile>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tova {
namespace {

QByteArray native(const QString& path) { return QFile::encodeName(path); }

QString errnoText() { return QString::fromLocal8Bit(std::strerror(errno)); }

enum class Node { Missing, Folder, File, Other, Error };

// What a path is, without following a final link.
Node nodeAt(const QString& path) {
    struct stat st;
    if (::lstat(native(path).constData(), &st) != 0) return errno == ENOENT ? Node::Missing : Node::Error;
    if (S_ISDIR(st.st_mode)) return Node::Folder;
    if (S_ISREG(st.st_mode)) return Node::File;
    return Node::Other;
}

// The parts of an entry below the plan's contents folder; false when the entry is not below it, or is
// the contents folder itself.
bool partsBelow(const QStringList& parts, const QStringList& prefix, QStringList& rest) {
    if (parts.size() <= prefix.size()) return false;
    for (qsizetype i = 0; i < prefix.size(); ++i)
        if (parts[i] != prefix[i]) return false;
    rest = parts.mid(prefix.size());
    return true;
}

bool isRootDescription(const UnpackPlan& plan, const QStringList& rest) {
    return plan.skipRootDescription && plan.contentsParts.isEmpty() && rest.size() == 1 &&
           rest[0].compare(QStringLiteral("install.txt"), Qt::CaseInsensitive) == 0;
}

// Makes each missing folder of `parts` below `base`; false when a part exists as something else or
// cannot be made, and then the folders this call made are removed again (deepest first).
bool makeFolders(const QString& base, const QStringList& parts, qsizetype count, QStringList* made = nullptr) {
    QStringList own;
    QStringList& madeHere = made ? *made : own;
    const auto undo = [&] {
        for (qsizetype i = madeHere.size() - 1; i >= 0; --i) ::rmdir(native(madeHere[i]).constData());
        madeHere.clear();
        return false;
    };
    QString path = base;
    for (qsizetype i = 0; i < count; ++i) {
        path += u'/' + parts[i];
        switch (nodeAt(path)) {
            case Node::Folder:
                continue;
            case Node::Missing:
                if (::mkdir(native(path).constData(), 0755) != 0) return undo();
                madeHere << path;
                continue;
            default:
                return undo();
        }
    }
    return true;
}

// Removes the folders listed (deepest first) while they are empty.
void removeEmpty(QStringList& made) {
    for (qsizetype i = made.size() - 1; i >= 0; --i) ::rmdir(native(made[i]).constData());
    made.clear();
}

// Moves what the staging folder holds into an existing destination folder, part by part: a staged
// folder whose name is free moves whole, one that meets a real folder is merged, a staged file
// replaces a file of the same name. A name is the same whatever its letter case (banks are looked up
// that way): the destination's spelling stays, so "OTO.INI" replaces "oto.ini" rather than standing
// beside it. Anything that would meet a link or a different kind is left out and named in `skipped`.
bool mergeInto(const QString& staged, const QString& dest, const QString& shown, QStringList& skipped, QString& error) {
    const QDir::Filters all = QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot;
    QHash<QString, QString> present;  // the destination's names by their case-folded form
    for (const QString& name : QDir(dest).entryList(all, QDir::Name)) present.insert(name.toCaseFolded(), name);
    QSet<QString> placed;  // names this call has moved in, case-folded
    const QStringList names = QDir(staged).entryList(all, QDir::Name);
    for (const QString& name : names) {
        const QString from = staged + u'/' + name;
        const QString label = shown.isEmpty() ? name : shown + u'/' + name;
        // Two entries of the archive whose names differ only in letter case: the second is not
        // unpacked over the first, but named.
        if (placed.contains(name.toCaseFolded())) {
            skipped << label;
            continue;
        }
        const QString to = dest + u'/' + present.value(name.toCaseFolded(), name);
        const Node source = nodeAt(from);
        const Node target = nodeAt(to);
        if (target == Node::Error) {
            error = errnoText() + QStringLiteral(": ") + to;
            return false;
        }
        if (source == Node::Folder && target == Node::Folder) {
            if (!mergeInto(from, to, label, skipped, error)) return false;
            placed.insert(name.toCaseFolded());
            continue;
        }
        const bool free = target == Node::Missing;
        const bool replaceable = source == Node::File && target == Node::File;
        if (!free && !replaceable) {
            skipped << label;
            continue;
        }
        if (::rename(native(from).constData(), native(to).constData()) != 0) {
            error = errnoText() + QStringLiteral(": ") + to;
            return false;
        }
        present.insert(name.toCaseFolded(), to.mid(dest.size() + 1));
        placed.insert(name.toCaseFolded());
    }
    return true;
}

}  // namespace

UnpackSizes CheckUnpackSizes(const ZipArchive& archive, const UnpackPlan& plan, qint64 archiveBytes) {
    UnpackSizes sizes;
    qint64 stored = 0;
    for (const ZipArchive::Entry& e : archive.entries()) {
        if (e.kind != ZipArchive::Kind::File) continue;
        if (e.compressedSize < 0 || e.size < 0) {
            sizes.consistent = false;
            continue;
        }
        stored = stored > archiveBytes - e.compressedSize ? archiveBytes + 1 : stored + e.compressedSize;
        QStringList parts, rest;
        if (!SplitEntryName(e.name, parts)) continue;
        if (!partsBelow(parts, plan.contentsParts, rest) || isRootDescription(plan, rest)) continue;
        sizes.declared = e.size > std::numeric_limits<qint64>::max() - sizes.declared
                             ? std::numeric_limits<qint64>::max()
                             : sizes.declared + e.size;
    }
    if (stored > archiveBytes) sizes.consistent = false;
    return sizes;
}

QString CheckUnpackNames(const ZipArchive& archive, const UnpackPlan& plan) {
    // A NUL shown as the two characters "\0", so the whole stored name can be read.
    const auto shown = [](QString name) { return name.replace(QChar(0), QStringLiteral("\\0")); };
    QStringList cut, twice;
    QSet<QString> seen, named;
    for (const ZipArchive::Entry& e : archive.entries()) {
        if (e.nulInName) {
            cut << shown(e.name);
            continue;
        }
        QStringList parts, rest;
        // Names that cannot be spelt are left out and named by the unpacking itself.
        if (e.kind != ZipArchive::Kind::File || !e.cleanName || !SplitEntryName(e.name, parts)) continue;
        if (!partsBelow(parts, plan.contentsParts, rest) || isRootDescription(plan, rest)) continue;
        const QString path = rest.join(u'/');
        if (!seen.contains(path)) seen.insert(path);
        else if (!named.contains(path)) {
            named.insert(path);
            twice << e.name;
        }
    }
    QString text;
    const auto list = [](const QStringList& names) {
        QStringList lines = names.mid(0, 20);
        if (names.size() > 20) lines << QStringLiteral("…");
        return lines.join(QStringLiteral("\r\n"));
    };
    if (!cut.isEmpty())
        text += GetMessage(QStringLiteral("次の項目は名前にNUL文字を含み、そのままの名前で展開できないため、インストールしません。")) +
                QStringLiteral("\r\n") + list(cut);
    if (!twice.isEmpty()) {
        if (!text.isEmpty()) text += QStringLiteral("\r\n");
        text += GetMessage(QStringLiteral("次の項目はアーカイブに同じ名前で二度以上入っていて、後のものが先のものを上書きするため、インストールしません。")) +
                QStringLiteral("\r\n") + list(twice);
    }
    return text;
}

int CountUnpackFiles(const ZipArchive& archive, const UnpackPlan& plan) {
    int count = 0;
    for (const ZipArchive::Entry& e : archive.entries()) {
        QStringList parts, rest;
        if (e.kind != ZipArchive::Kind::File || !e.cleanName || !SplitEntryName(e.name, parts)) continue;
        if (!partsBelow(parts, plan.contentsParts, rest) || isRootDescription(plan, rest)) continue;
        ++count;
    }
    return count;
}

UnpackResult UnpackInto(ZipArchive& archive, const UnpackPlan& plan, const QString& folder,
                        const std::function<void(const QString&)>& onFile) {
    UnpackResult r;
    r.error = CheckUnpackNames(archive, plan);
    if (!r.error.isEmpty()) return r;
    for (const ZipArchive::Entry& e : archive.entries()) {
        QStringList parts, rest;
        if (!SplitEntryName(e.name, parts)) {
            r.skipped << e.name;
            continue;
        }
        if (!partsBelow(parts, plan.contentsParts, rest) || isRootDescription(plan, rest)) continue;
        // A name whose bytes are neither code page 932 nor UTF-8 cannot be spelt: written under the
        // replacement characters, several such entries would land in one file.
        if (!e.cleanName) {
            r.skipped << e.name;
            continue;
        }
        if (e.kind == ZipArchive::Kind::Link || e.kind == ZipArchive::Kind::Special) {
            r.skipped << e.name;
            continue;
        }
        if (e.kind == ZipArchive::Kind::Folder) {
            if (!makeFolders(folder, rest, rest.size())) r.skipped << e.name;
            continue;
        }
        QStringList made;
        if (!makeFolders(folder, rest, rest.size() - 1, &made)) {
            r.skipped << e.name;
            continue;
        }
        const QString path = folder + u'/' + rest.join(u'/');
        const Node existing = nodeAt(path);
        if (existing != Node::Missing && existing != Node::File) {  // a folder of that name came first
            removeEmpty(made);
            r.skipped << e.name;
            continue;
        }
        // Only the permission bits that make sense for an installed file: read and execute for all
        // when the archive gave execute, else plain read/write for the owner and read for others.
        const mode_t mode = (e.permissions & 0111) ? 0755 : 0644;
        const int fd = ::open(native(path).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0) {
            r.error = errnoText() + QStringLiteral(": ") + e.name;
            removeEmpty(made);
            return r;
        }
        // Never more than the entry states: the sizes checked before unpacking are the sizes written.
        const bool copied = archive.copyTo(e.index, fd, e.size < 0 ? 0 : e.size);
        const bool closed = ::close(fd) == 0;
        if (!copied || !closed) {
            r.error = (copied ? errnoText() : archive.errorText()) + QStringLiteral(": ") + e.name;
            return r;
        }
        ::chmod(native(path).constData(), mode);
        ++r.files;
        if (onFile) onFile(e.name);
    }
    r.ok = true;
    return r;
}

UnpackResult UnpackArchive(ZipArchive& archive, const UnpackPlan& plan, const QString& destination,
                           const std::function<void(const QString&)>& onFile) {
    UnpackResult r;
    QString dest = destination;
    while (dest.size() > 1 && dest.endsWith(u'/')) dest.chop(1);
    const Node target = nodeAt(dest);
    if (target != Node::Missing && target != Node::Folder) {
        r.error = QStringLiteral("%1: %2").arg(target == Node::Error ? errnoText() : QStringLiteral("not a folder"), dest);
        return r;
    }
    const QString parent = dest.left(dest.lastIndexOf(u'/'));
    QByteArray pattern = native(parent + QStringLiteral("/.tova-install-XXXXXX"));
    if (!::mkdtemp(pattern.data())) {
        r.error = errnoText() + QStringLiteral(": ") + parent;
        return r;
    }
    const QString staging = QFile::decodeName(pattern);
    r = UnpackInto(archive, plan, staging, onFile);
    if (r.ok) {
        if (target == Node::Missing) {
            ::chmod(pattern.constData(), 0755);
            if (::rename(pattern.constData(), native(dest).constData()) != 0) {
                r.ok = false;
                r.error = errnoText() + QStringLiteral(": ") + dest;
            }
        } else if (!mergeInto(staging, dest, QString(), r.skipped, r.error)) {
            r.ok = false;
        }
    }
    if (nodeAt(staging) == Node::Folder) QDir(staging).removeRecursively();
    return r;
}

}  // namespace tova
