#include "render/AliasLookup.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/NoteNames.h"
#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "platform/Cp932Lines.h"
#include "render/OtoIni.h"
#include "song/LyricText.h"

namespace tova {
namespace {

// False until a prefix map is loaded or reset for the first time.
bool& prefixMapReady() {
    static bool ready = false;
    return ready;
}

// The answer when a lookup runs before any voice bank set up a prefix map: the subscript failure of
// the absent map, shown to the user; the lookup then finds nothing.
bool prefixMapMissing() {
    if (prefixMapReady()) return false;
    Ports::msgBox(QStringLiteral("インデックスが有効範囲にありません。"), MsgButtons::OK, MsgIcon::None,
                  GetMessage(QStringLiteral("プリフィックスが読み込まれていません")));
    return true;
}

QStringList emptyFields() { return QStringList(7); }

QStringList padded(QStringList fields, qsizetype size) {
    fields.resize(size);
    return fields;
}

// The text without a final ending, compared without regard to case.
QString withoutEndingNoCase(const QString& text, const QString& ending) {
    if (text.size() >= ending.size() && text.right(ending.size()).compare(ending, Qt::CaseInsensitive) == 0)
        return text.left(text.size() - ending.size());
    return text;
}

}  // namespace

QList<PrefixMapRecord>& PrefixMapEntries() {
    static QList<PrefixMapRecord> entries;
    return entries;
}

QList<int32_t>& PrefixMapIndex() {
    static QList<int32_t> index;
    return index;
}

void ResetPrefixMap() {
    PrefixMapEntries() = QList<PrefixMapRecord>{PrefixMapRecord{}};
    PrefixMapIndex() = QList<int32_t>{0};
    prefixMapReady() = true;
}

void ForgetPrefixMap() {
    PrefixMapEntries().clear();
    PrefixMapIndex().clear();
    prefixMapReady() = false;
}

int32_t LoadPrefixMap(const QString& folder) {
    const QString path = PathText::join(folder, QStringLiteral("prefix.map"));
    ResetPrefixMap();
    if (folder.isEmpty() || !FileExists(path)) return 0;

    QList<PrefixMapRecord> entries;
    QList<int32_t> index{0};
    const QStringList lines = ReadCp932Lines(path);
    int32_t n = 0;
    for (const QString& line : lines) {
        if (line.isEmpty()) continue;
        QStringList f = line.split(u'\t');
        f.resize(std::max<qsizetype>(f.size(), 3));
        entries << PrefixMapRecord{f[0], f[1], f[2]};
        int32_t k = -1;
        try {
            k = NoteNameToNum(f[0]);
        } catch (const TovaError&) {
            k = -1;  // a name that is no note: the record stays, no note maps to it
        }
        if (k >= 0) {
            if (index.size() <= k) index.resize(k + 1, 0);
            index[k] = n;
        }
        ++n;
    }
    // A file of empty lines has no record; the map then behaves like a bank without prefix.map.
    if (!entries.isEmpty()) {
        PrefixMapEntries() = entries;
        PrefixMapIndex() = index;
    }
    return n;
}

QString ApplyPrefixMap(int32_t noteNum, const QString& lyric) {
    if (prefixMapMissing()) return QString();
    if (lyric.startsWith(u'?')) {
        const QString rest = lyric.mid(1);
        return rest.isEmpty() ? QStringLiteral("。") : rest;
    }
    const QList<int32_t>& index = PrefixMapIndex();
    const QList<PrefixMapRecord>& entries = PrefixMapEntries();
    // Negative note numbers are legal in project files; they lie outside every map.
    if (noteNum >= 0 && noteNum < index.size()) {
        const int32_t k = index[noteNum];
        if (k >= 0 && k < entries.size()) return entries[k].prefix + lyric + entries[k].suffix;
    }
    return lyric;
}

QString StripPrefixMap(int32_t noteNum, const QString& alias) {
    if (prefixMapMissing()) return QString();
    const QString name = NoteNumToName(noteNum);
    const PrefixMapRecord* record = nullptr;
    for (const PrefixMapRecord& r : PrefixMapEntries())
        if (r.noteName == name) {
            record = &r;
            break;
        }
    if (!record) return alias;

    QString w = alias;
    QString result = alias;
    if (!record->prefix.isEmpty()) {
        if (w.startsWith(record->prefix)) {
            w.remove(0, record->prefix.size());
            result = w;
        } else {
            result = u'?' + w;
        }
    }
    if (record->suffix.isEmpty()) return result;
    if (w.endsWith(record->suffix) && w.size() > record->suffix.size()) return w.left(w.size() - record->suffix.size());
    return u'?' + w;
}

QStringList FindOtoAlias(QString& name) {
    if (OtoTableIsEmpty() || name.isEmpty()) return emptyFields();
    const clsMap& index = OtoIndex();
    QString key;
    const auto find = [&](const QString& n) {
        for (const QString& candidate : {n, n + QStringLiteral(".wav"), n + QStringLiteral(".aiff")})
            if (index.ContainsKey(candidate)) {
                key = candidate;
                return;
            }
    };
    find(name);
    // A lyric holds a sub-folder sample's path with "/" where the path has "\" before an "n" (the pair
    // backslash + "n" separates a note's entries in the project file), or where the user typed it so.
    if (key.isNull() && name.contains(u'/')) find(QString(name).replace(u'/', u'\\'));
    if (key.isNull()) return emptyFields();

    const qsizetype i = index.Value(key).toLongLong();
    const QStringList& table = OtoTable();
    if (i < 0 || i >= table.size()) return emptyFields();  // a stale key of a cleared table
    QStringList fields = padded(table[i].split(u'\t'), 8);
    QString file = fields[0];
    if (file.endsWith(QStringLiteral(".wav"))) file.chop(4);
    if (file.endsWith(QStringLiteral(".aiff"))) file.chop(5);
    name = file;
    return fields;
}

QString GetSampleAlias(const QString& name) {
    const QString aiff = name + QStringLiteral(".aiff");
    const QString wav = name + QStringLiteral(".wav");
    for (const QString& entry : OtoTable()) {
        if (entry.isEmpty()) continue;
        const QStringList f = padded(entry.split(u'\t'), 8);
        if (f[0] == aiff || f[0] == wav) return f[1].isEmpty() ? name : f[1];
    }
    return name;
}

QStringList LookupNoteOto(int32_t noteNum, const QString& lyric, float& preutterance, float& overlap) {
    QString name = ApplyPrefixMap(noteNum, lyric);
    QStringList fields = FindOtoAlias(name);
    if (fields[0].isEmpty() && settings().CheckVoiceFile) {
        QString bare = lyric;
        fields = FindOtoAlias(bare);
    }
    fields = padded(fields, 8);
    preutterance = float(Vb::Val(fields[5]));
    overlap = float(Vb::Val(fields[6]));
    return fields;
}

QStringList FindAliasForLyric(const QString& lyric) {
    const QString core = GetLyricBase(lyric);
    if (core.isEmpty()) return {};
    QStringList out;
    for (const QString& entry : OtoTable()) {
        const QStringList f = padded(entry.split(u'\t'), 8);
        const QString stem = f[0].mid(PathText::lastSeparator(f[0]) + 1);
        if (GetLyricBase(f[1]) == core) {
            out << f[1];
        } else if (GetLyricBase(stem) == core) {
            QString file = withoutEndingNoCase(f[0], QStringLiteral(".wav"));
            if (file.size() == f[0].size()) file = withoutEndingNoCase(f[0], QStringLiteral(".aiff"));
            out << file;
        }
    }
    return out;
}

}  // namespace tova
