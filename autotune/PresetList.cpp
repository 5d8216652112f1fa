#include "autotune/PresetList.h"

#include "autotune/TuningText.h"
#include "core/clsIniFile.h"

namespace tova {

namespace {
QString saveKey(int k) { return QStringLiteral("SaveData") + QString::number(k); }
}  // namespace

void PresetList::clear() {
    Entries.clear();
    Items.clear();
    Index = -1;
}

int PresetList::chosen() const { return Index >= 0 && Index < Entries.size() && Index < Items.size() ? Index : -1; }

void PresetList::append(const QString& name, const QString& entry) {
    Items.append(name);
    Entries.append(entry);
    Index = int(Items.size()) - 1;
    Text = name;
}

void PresetList::removeChosen() {
    if (Index < 0 || Index >= Items.size()) return;
    Items.removeAt(Index);
    if (Index < Entries.size()) Entries.removeAt(Index);
    while (Entries.size() > Items.size()) Entries.removeLast();
    Index = -1;
    Text.clear();
}

QString PresetList::newName(QChar separator) const {
    const QString name = CleanPresetText(Text, QString(separator));
    return name.isEmpty() ? QStringLiteral("Item") + QString::number(Items.size()) : name;
}

void PresetList::store(const QString& tail, QChar separator) {
    const int k = chosen();
    if (k >= 0) {
        Entries[k] = CleanPresetText(Text, QString(separator)) + tail;
        return;
    }
    const QString name = newName(separator);
    append(name, name + tail);
}

void PresetList::read(const clsIniFile& ini, QChar separator) {
    clear();
    for (int k = 0;; ++k) {
        const QString entry = ini.Item(saveKey(k));
        if (entry.isEmpty()) break;
        Entries.append(entry);
        Items.append(entry.section(separator, 0, 0));
    }
}

void PresetList::write(clsIniFile& ini) const {
    int k = 0;
    for (; k < Entries.size(); ++k) ini.setValue(saveKey(k), Entries.at(k));
    for (; ini.ContainsKey(saveKey(k)); ++k) ini.Remove(saveKey(k));
}

}  // namespace tova
