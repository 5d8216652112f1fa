#include "song/OptionList.h"

#include "song/NoteExtension.h"

namespace tova {

namespace {

// Key of an option entry: the text before its first "=" (the whole entry when it has none).
QString entryKey(const QString& entry) {
    const qsizetype eq = entry.indexOf(u'=');
    return eq < 0 ? entry : entry.left(eq);
}

}  // namespace

OptionList::OptionList(const QString& list) : original_(list) {
    if (list.isEmpty()) return;
    entries_ = list.split(OptionSeparator());
    removed_.fill(false, entries_.size());
    places_.reserve(entries_.size());
    for (qsizetype i = 0; i < entries_.size(); ++i) places_[entryKey(entries_.at(i))].append(i);
}

void OptionList::set(const QString& key, const QString& value) {
    auto found = places_.find(key);
    const bool present = found != places_.end() && !found->isEmpty();
    if (value.isEmpty()) {
        if (!present) return;
        removed_[found->first()] = true;
        found->removeFirst();
        changed_ = true;
        return;
    }
    QString v = value;
    v.replace(u',', u' ');
    const QString entry = key + u'=' + v;
    if (present) {
        entries_[found->first()] = entry;
    } else {
        places_[key].append(entries_.size());
        entries_.append(entry);
        removed_.append(false);
    }
    changed_ = true;
}

QString OptionList::text() const {
    if (!changed_) return original_;
    QString out;
    qsizetype size = 0;
    for (qsizetype i = 0; i < entries_.size(); ++i)
        if (!removed_.at(i)) size += entries_.at(i).size() + OptionSeparator().size();
    out.reserve(size);
    bool first = true;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (removed_.at(i)) continue;
        if (!first) out += OptionSeparator();
        out += entries_.at(i);
        first = false;
    }
    return out;
}

}  // namespace tova
