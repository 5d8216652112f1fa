#pragma once

#include "core/clsMap.h"

#include <QList>
#include <QString>

#include <utility>

#include <cstdint>

namespace tova {

// A named key/value store kept as "<name>.ini" in the "settings" folder of the program folder: one
// line per entry, key "=" value, nothing trimmed, no sections, in the system code page (932; UTF-8 after the mark EF BB BF when an
// entry holds a character it lacks) with
// CR LF line ends. Dialogs use one each for their presets and tool settings.
class clsIniFile {
public:
    void setName(const QString& name) { name_ = name; }
    QString getName() const { return name_; }

    void Clear() { map_.Clear(); }
    // -1 when the key is present (the stored value stays).
    int32_t add(const QString& key, const QString& value) { return map_.add(key, value); }
    bool ContainsKey(const QString& key) const { return map_.ContainsKey(key); }
    bool Remove(const QString& key) { return map_.Remove(key); }
    // The value, or "" when the key is absent.
    QString Item(const QString& key) const { return map_.Value(key); }
    // Replaces the value of a present key (true) or adds the key (false).
    bool setValue(const QString& key, const QString& value);

    // Writes the present keys, in the order they were first added, to the file in the "settings"
    // folder (made when missing), through a temporary file that replaces the old one only once it is
    // complete; then deletes a file of the same name left in the program folder itself (the old
    // place). False when the file could not be written: the old file is then unchanged. With no name
    // nothing is written and the answer is true. Keys and values just as they were loaded from that
    // file write nothing: the file keeps its bytes (comments, line ends, its encoding).
    bool Save();
    // Why the last Save failed, in words ("<path>: <reason>"); empty after a Save that succeeded.
    QString lastError() const { return lastError_; }
    // Empties the map and reads the file (from the old place when the "settings" folder has none).
    // A line's key is the text before its first "=", its value all the rest; lines without "=" are
    // skipped and the first line of a key wins. Answers the number of lines holding "=". With no name
    // it answers 0 and leaves the map alone; a missing file gives 0 and an empty map. A file that
    // exists but cannot be read raises FileError.
    int Load();

    // Where Save writes the file.
    QString filePath() const;

private:
    QString oldFilePath() const;
    // The present keys with their values, in the order Save writes them.
    QList<std::pair<QString, QString>> entries() const;

    clsMap map_;
    QString name_;
    QString loadedFrom_;  // the file the entries were last loaded from or saved to ("" when none)
    QList<std::pair<QString, QString>> loaded_;  // the entries as they stood then
    QString lastError_;
};

}  // namespace tova
