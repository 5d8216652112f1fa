#pragma once

#include <QString>
#include <QStringList>

namespace tova {

class clsIniFile;

// The named presets of a tuning dialog: the entries (each a text whose first field is the name) and
// the editable combo box `Combo1` that lists their names, kept parallel. Stored in the dialog's
// settings file under "SaveData" followed by the index from 0.
struct PresetList {
    QStringList Entries;  // one per item of the combo, same order
    QStringList Items;    // the combo's list
    int Index = -1;       // the chosen item; -1 for none
    QString Text;         // the combo's editable text

    void clear();
    // The chosen entry's index when it lies within the entries; -1 otherwise.
    int chosen() const;
    // Appends a preset and chooses it.
    void append(const QString& name, const QString& entry);
    // Removes the chosen preset (nothing when none is chosen); no item is chosen afterwards.
    void removeChosen();
    // The name of a new preset: `Text` with CR, LF, TAB and `separator` as blanks, or "Item" followed
    // by the number of items when that is empty.
    QString newName(QChar separator) const;
    // Saves the current values (`tail`: the record after its name): over the chosen preset, named by
    // `Text`, or as a new preset (newName) that becomes the chosen one.
    void store(const QString& tail, QChar separator);

    // Reads SaveData0, SaveData1, ... up to the first empty or missing value; the name of each is its
    // text up to the first `separator`.
    void read(const clsIniFile& ini, QChar separator);
    // Writes the entries under SaveData0 .. and removes the following keys as long as they exist.
    void write(clsIniFile& ini) const;
};

}  // namespace tova
