#pragma once

#include "core/DialogModel.h"

#include <QStringList>

namespace tova {

// What the track chooser window ("トラックを選択") holds and answers, without its widgets: the entries
// shown in its list, the selected row (-1 for none; the caller may give the row it opens on) and whether OK or Cancel ended it. The window binds
// its list and buttons to it; tests drive it directly.
class SelectTrackModel : public DialogModel {
public:
    // Opens with the row `selected` chosen (-1, or a row outside the entries: none).
    explicit SelectTrackModel(const QStringList& entries, qint32 selected = -1) : entries_(entries) {
        select(selected);
    }

    // The list's entries, in the order given (none for an empty list).
    const QStringList& entries() const { return entries_; }

    // The selected row of the list; -1 when none. A row outside the entries selects none.
    qint32 selectedIndex() const { return selected_; }
    void select(qint32 row) { selected_ = row >= 0 && row < entries_.size() ? row : -1; }

    // OK ends the choice with the selected row; Cancel, or closing the window any other way, without.
    void OKButton_Click() { accept(); }
    void CancelButton_Click() { reject(); }

    // The answer once the window has closed: the selected row + 1 after OK (0 when none was selected),
    // -1 otherwise.
    qint32 result() const { return Result ? selected_ + 1 : -1; }

private:
    QStringList entries_;
    qint32 selected_ = -1;
};

}  // namespace tova
