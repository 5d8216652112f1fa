#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// The program's text-to-text map. Keys are compared exactly (case-sensitive). The first `add` of a
// key wins: a later `add` of a present key changes nothing and answers -1; only `setValue` replaces a
// value. `Keys` lists every key added since the last `Clear` in the order of the adds, removed keys
// included (a key removed and added again is listed twice), so callers that must skip removed keys
// test each with `ContainsKey`. There is no limit on the number of entries: a voice bank's alias
// index can hold tens of thousands of keys.
class clsMap {
public:
    clsMap() = default;

    // Empties the map.
    void Clear();
    // True when the key was present; it is absent afterwards (its place in `Keys` stays).
    bool Remove(const QString& key);
    bool ContainsKey(const QString& key) const;
    // Appends the entry and answers its position in `Keys` (0 or more); -1 when the key is present.
    int32_t add(const QString& key, const QString& value);
    // The value of the key, or "" when it is absent.
    QString Value(const QString& key) const;
    // Replaces the value of a present key (true); an absent key is not added (false).
    bool setValue(const QString& key, const QString& value);
    // Makes room for `count` entries in all, so that a large fill does not grow the map step by step.
    void reserve(qsizetype count);
    // A copy of the keys of every successful `add` since the last `Clear`, in the order of the adds.
    QStringList Keys() const;

private:
    QStringList keys_;           // entry i's key, in the order of the adds
    QStringList values_;         // entry i's value, parallel to keys_
    QHash<QString, qsizetype> live_;  // present key -> its entry
};

}  // namespace tova
