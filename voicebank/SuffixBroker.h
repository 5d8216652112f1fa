#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

namespace tova {

// The suffix dialog "SurffixBroker": rewrites the lyrics of a range of notes so that each keeps its
// first mora (with, as chosen, its folder and blank-separated prefix part and its literal marker "?"),
// drops what followed it and ends in the chosen suffix. The dialog keeps the user's list of suffixes
// in the preset "suffixbroker" (key `Surffixes`, the items after the empty first one joined with ",").
// The form (frmSurffixBroker) binds its controls to this model.
class SuffixBroker : public DialogModel {
public:
    // What becomes of the literal marker "?" (the items of cboQu).
    enum QuMode { KeepMarker = 0, AddMarker = 1, DropMarker = 2 };

    // The suffix list as designed: the empty item, then these.
    static QStringList DesignedSuffixes();
    // One lyric rewritten; a rest stays as it is, and so does a lyric of which nothing but "R" or the
    // empty text would be left.
    // "（なし）" as the suffix appends nothing. A mode outside 1..2 keeps the marker.
    static QString ApplySuffix(const QString& lyric, const QString& suffix, int mode, bool removePrefix);

    QStringList items = DesignedSuffixes();  // cboSurffix's list; item 0 is always the empty suffix
    QString cboSurffix;                      // the combo box's text
    int cboQu = KeepMarker;                  // selected item of cboQu, -1 for none
    bool chkRemovePrefix = false;

    // Form_Load: the preset's list replaces the designed one when the preset holds an entry. A preset
    // that cannot be read is reported and the designed list stays.
    void Load();
    // Adds the typed suffix unless an item from index 1 on equals it.
    void cmdAdd_Click();
    // Removes the first item from index 1 on that equals the typed suffix.
    void cmdDel_Click();
    void cmdOK_Click() { accept(); }
    void cmdCancel_Click() { reject(); }
    // Rewrites lyrics first..last after OK (nothing for a range whose start is after its end; the
    // range is cut to the list).
    void Apply(qint32 first, qint32 last, QStringList& lyrics) const;
    // Form_Unload (after OK, Cancel or the close box): stores the list in the preset; a failure to save
    // is reported.
    void Unload() const;
};

}  // namespace tova
