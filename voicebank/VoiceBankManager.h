#pragma once

#include "core/DialogModel.h"
#include "voicebank/KeptTextFile.h"
#include "voicebank/SampleRow.h"

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

namespace tova {

class FrqMarks;
class VoiceBankManagerTools;

// The voice-bank manager "原音設定": one row per sample of a voice bank with its alias and five timing
// values, edited through text boxes, buttons and menus, saved to the bank's oto.ini files and then made
// the program's loaded oto table. This class holds the state of the window's controls and runs their
// handlers; the form (frmVoicesetManager) shows that state and calls the handlers, and tests drive it
// without widgets.
//
// The rows are loaded from `EntryTable`, the manager's copy of the program's oto table, and from the
// sample files found in the folder. Row positions here count from 0.
//
// The window is kept between uses, but every opening reads the bank's files again, so it always shows
// the bank as it is on disk (edited by hand or reinstalled in between, frequency tables made since).
// Leaving it without saving discards every change made since it was opened.
class VoiceBankManager : public DialogModel {
public:
    explicit VoiceBankManager(VoiceBankManagerTools* tools = nullptr);

    // ---- window state ----
    QString VoiceFolder;
    QStringList EntryTable;
    QString LookupName1, LookupName2;
    QString CacheFolder;
    bool QuickOpen = false;
    bool Accepted = false;
    bool ListChanged = false;
    QString CurrentKey;
    bool Busy = false;       // a frequency-table run is going on: the window refuses to close
    qint32 RepeatCount = 0;  // consecutive single-row frequency-table runs (see the frequency-table tools)
    // Where each entry of EntryTable came from, and the oto.ini files the list was read from, kept line
    // by line so that saving changes only what was edited.
    QList<OtoOrigin> EntryOrigins;
    QList<KeptTextFile> OtoFiles;

    // ---- the controls as the form shows them ----
    QList<SampleRow> rows;  // ListView1, in list order
    int selectedRow = -1;   // the list's selected (focused) row, -1 when none
    bool sorted = false;    // the list keeps itself sorted on the sort key
    bool multiSelect = false;  // the check mark of mnMultiSelect and the list's multi-selection switch
    bool mnSelectAllEnabled = false;
    QString txtOtoPath;
    QString txtName, txtAlias, txtOffset, txtFixedLen, txtEndBlank, txtOffset2, txtOverlap;
    bool cmdFreqListEnabled = false;
    QString statusText;  // the main window's status panel 3 while rows load
    bool scrollToSelected = false;  // the form scrolls the selected row into view (and clears this)

    // ---- entering and leaving (ShowDialog) ----
    // Steps before the window is shown: true when it is to be shown modally; false when it is not
    // shown (no row to show: the message was given, or the timing editor ran in quick-open mode).
    bool BeginShow(const QString& voiceFolder, const QString& name1, const QString& name2, const QString& cacheFolder,
                   bool quickOpen);
    // Steps after the window was closed (or not shown): saves and publishes an accepted list, restores
    // a cancelled one. The result of ShowDialog.
    bool EndShow();
    // The whole of ShowDialog with the modal display given as a function.
    template <typename Modal>
    bool ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2, const QString& cacheFolder,
                    bool quickOpen, Modal&& modal) {
        if (BeginShow(voiceFolder, name1, name2, cacheFolder, quickOpen)) modal();
        return EndShow();
    }

    // ---- the list ----
    // `argument`: empty or "RELOAD" reads the bank's files; an oto.ini path reads that file in place of
    // the bank's own oto.ini (saving then writes it there) and the sub-folder files as they are.
    void LoadEntries(const QString& argument = QString());
    // The rows of the bank's files without the folder scan (quick open).
    void LoadFromOtoTable();
    void FillList();
    void ListToEntries();
    static void PublishOtoTable(const QStringList& entries);
    void ScanVoiceFolder();
    bool SelectEntryByName(const QString& name);
    void ShowParams();

    int rowOfKey(const QString& key) const;
    // Selects one row (the others lose their selection unless in multi-select mode with `add`).
    void selectRow(int row, bool add = false);
    // The row a single-row command works on: the selected row, or the row of CurrentKey when that
    // differs (which then becomes the selected row); -1 when none is selected.
    int targetRow();

    // ---- entry commands ----
    void cmdSet_Click();
    static double ParseParamText(const QString& text);
    void cmdDel_Click();
    void cmdClear_Click();
    void cmdCopy_Click();
    void cmdEditGUI_Click();
    // The "編集" menu's items run the buttons' commands.
    void mnDel_Click() { cmdDel_Click(); }
    void mnClear_Click() { cmdClear_Click(); }
    void mnDup_Click() { cmdCopy_Click(); }
    void mnEdit_Click() { cmdEditGUI_Click(); }
    void ReloadEntry(int row, QString& path);
    void mnReloadEntry_Click();
    void mnExtension_Click(int index);
    void Label3_DblClick();
    void AliasFromFileName();
    void SetMultiSelect(bool on);
    void mnMultiSelect_Click() { SetMultiSelect(!multiSelect); }
    void mnSelectAll_Click();
    void cmdOK_Click();
    void mnQuit_Click() { cmdOK_Click(); }
    void cmdClose_Click();
    // Escape and the close box: as Cancel, refused while a frequency-table run is going on.
    void cancelRequested() override;

    // ---- tools built apart (estimation, frequency tables) ----
    void Form_DblClick();  // the parameter estimation
    void cmdDeleteFreqList_Click();
    void cmdFreqList_Click();
    void mnInitFreq_Click() { cmdDeleteFreqList_Click(); }
    void mnEditFreq_Click() { cmdFreqList_Click(); }
    void Label18_DblClick();
    // The "×" of the progress panel: a running frequency-table loop ends after its current sample.
    void lblBreak_Click();

    // ---- window and list events, file menu ----
    // True when the window may close (it refuses while busy).
    bool Form_Unload();
    // Typing in the name and folder boxes: the key is discarded, both are read only to the keyboard.
    void txtName_KeyDown(int& keyCode) { keyCode = 0; }
    void txtName_KeyPress(int& keyAscii) { keyAscii = 0; }
    void txtOtoPath_KeyDown(int& keyCode) { keyCode = 0; }
    void txtOtoPath_KeyPress(int& keyAscii) { keyAscii = 0; }
    void ListView1_DblClick();
    void ListView1_KeyDown(int key, bool ctrl);
    void ListView1_KeyUp(int key);
    void ListView1_MouseDown(int row);
    // A right-button release over a row: true when the edit menu is to pop up.
    bool ListView1_MouseUp(int row, bool rightButton);
    void mnOpen_Click();
    void mnOpenOther_Click();
    void mnReload_Click();
    void mnSaveAs_Click();
    void mnOpenFolder_Click();

    // Saves the rows to oto.ini (`path` empty: the folder's own files). False when not saved; a refusal
    // has been shown. After saving the bank's own files the list is read from them again.
    bool SaveOtoIni(const QString& path = QString());

    // Key codes the list events use.
    static constexpr int kKeyUp = 38;
    static constexpr int kKeyDown = 40;
    static constexpr int kKeyA = 65;

private:
    void buildRow(const QString& entry, const OtoOrigin& origin, int& counter, bool resetCounter, FrqMarks& marks);
    // The rows of every entry of EntryTable, in order, with the progress in the status text.
    void buildRows(bool resetCounter, bool skipEmpty);
    QString freeKey(const QString& base, int& counter) const;
    void addRow(SampleRow row);
    void sortRows();
    void readFiles(const QString& argument);
    // EntryTable taken from the program's table: its entries come from no line.
    void entriesFromProgram();
    void setStatus(const QString& text);
    void clearRows();
    void removeRow(int row);
    void clearBoxes();
    QList<int> selectedRows() const;
    // True (after saying so) when the tools built apart are not installed.
    bool toolMissing(const QString& feature) const;

    VoiceBankManagerTools* tools_;
    QSet<QString> keys_;
    QString passedFolder_;     // the voice folder ShowDialog was given
    bool saved_ = false;       // OK saved the list already
    int lastEditResult_ = 0;   // the timing editor's last answer
};

}  // namespace tova
