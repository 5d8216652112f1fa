#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

namespace tova {

// An option list (entries key "=" value, separated by backslash and "n") held apart for many changes:
// each change costs about the same whatever the list's length, so that a note with tens of thousands
// of option lines reads in time in proportion to its size. `set` has the meaning of SetListValue, and
// `text` gives exactly the list SetListValue would have built after the same changes (an unchanged
// list comes back byte for byte).
class OptionList {
public:
    explicit OptionList(const QString& list = QString());

    // Sets the first entry of a key (commas in the value become blanks), appends it when absent, or with
    // an empty value removes the first entry of the key (an absent key leaves the list as it is).
    void set(const QString& key, const QString& value);
    // The list joined again.
    QString text() const;

private:
    QString original_;     // the list as given, answered while nothing changed
    bool changed_ = false;
    QStringList entries_;
    QList<bool> removed_;  // one flag per entry
    // For each key, the places of its entries still in the list, in list order (the first one wins).
    QHash<QString, QList<qsizetype>> places_;
};

}  // namespace tova
