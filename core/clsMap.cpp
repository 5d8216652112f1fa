#include "core/clsMap.h"

namespace tova {

void clsMap::Clear() {
    keys_.clear();
    values_.clear();
    live_.clear();
}

bool clsMap::Remove(const QString& key) { return live_.remove(key); }

bool clsMap::ContainsKey(const QString& key) const { return live_.contains(key); }

int32_t clsMap::add(const QString& key, const QString& value) {
    // One hash lookup: the slot is made when the key is absent, and then the map has grown.
    const qsizetype before = live_.size();
    qsizetype& slot = live_[key];
    if (live_.size() == before) return -1;
    slot = keys_.size();
    keys_.append(key);
    values_.append(value);
    return int32_t(slot);
}

void clsMap::reserve(qsizetype count) {
    live_.reserve(count);
    keys_.reserve(count);
    values_.reserve(count);
}

QString clsMap::Value(const QString& key) const {
    const auto it = live_.constFind(key);
    return it == live_.cend() ? QString() : values_[*it];
}

bool clsMap::setValue(const QString& key, const QString& value) {
    const auto it = live_.constFind(key);
    if (it == live_.cend()) return false;
    values_[*it] = value;
    return true;
}

QStringList clsMap::Keys() const { return keys_; }

}  // namespace tova
