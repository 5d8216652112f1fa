#pragma once

#include "core/DialogModel.h"
#include "voicebank/KeptTextFile.h"

#include <QList>
#include <QString>

namespace tova {

// One row of the prefix.map editor: the note name as the file spells it, its prefix and its suffix.
struct PrefixMapRow {
    QString name;
    QString prefix;
    QString suffix;
    bool selected = false;
    int line = -1;  // the line of the file the row came from, -1 for a row no line gave
    bool operator==(const PrefixMapRow& o) const {
        return name == o.name && prefix == o.prefix && suffix == o.suffix;
    }
};

// The prefix.map editor "PrefixMapエディタ": the rows of a voice folder's prefix.map in file order (names
// may repeat; the list is never sorted), edited several rows at a time and written back on OK.
// The form (frmPrefixmap) binds its list, edit boxes and buttons to this model.
//
// File: code page 932 (UTF-8 after the byte-order mark when a text holds a character the code page
// lacks, so nothing is saved as "?"), one line per row, name TAB prefix TAB suffix, CR LF after each.
// Reading skips empty lines and lines whose name is empty and keeps the values exactly as they stand;
// a row shows the first three fields. A folder without the file gets the 84 rows of notes 83 down to 0
// with empty values.
//
// The file is kept line by line: OK rewrites only the lines of rows whose values changed (keeping
// their fields after the third and their line ends); blank lines, comment and other lines that give no
// row stay as they are, and a file without a changed row is not written at all.
//
// A file that cannot be read is never overwritten, nor is a changed line whose bytes did not decode:
// OK then says so and keeps the dialog open. A file that cannot be written is reported the same way.
// Closing the window any other way than OK writes nothing and answers False.
class PrefixMapEditor : public DialogModel {
public:
    // The rows of a prefix.map file. Raises FileError or IoError when the file cannot be read; `clean`
    // is set to false when bytes did not decode.
    static QList<PrefixMapRow> ReadRows(const QString& path, bool* clean = nullptr);
    // The 84 rows of a folder without prefix.map: notes 83 ("B7") down to 0 ("C1"), values empty.
    static QList<PrefixMapRow> DefaultRows();
    // The bytes of the file for the rows, in their order.
    static QByteArray FileBytes(const QList<PrefixMapRow>& rows);

    QString VoiceFolder;
    QList<PrefixMapRow> rows;  // ListView1, in list order
    QString txtKey, txtPrefix, txtSuffix;

    // The file of the voice folder.
    QString filePath() const;

    // Form_Load: stores the folder and loads the list.
    void Load(const QString& voiceFolder);
    // Empties the list and fills it from the file (or with the default rows when there is none). A read
    // failure is shown; the list then stays empty and the file is protected from OK.
    void LoadList();

    // A click on a row: the boxes show the first selected row; for several rows only the prefix and
    // suffix they all share (an empty box otherwise) and no name.
    void ListView1_ItemClick();
    void cmdSet_Click();
    void cmdClear_Click();
    void cmdSelAll_Click();
    void cmdReload_Click() { LoadList(); }
    // Writes the file and ends with True; a refusal or failure is shown and the dialog stays open.
    void cmdOK_Click();
    void cmdCancel_Click() { reject(); }

private:
    QString protectReason_;
    KeptTextFile file_;  // the file as read  // why the file must not be overwritten; empty when it may be
};

}  // namespace tova
