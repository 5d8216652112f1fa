#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

#include <functional>

class QObject;

namespace tova {

class VoiceBankAccess;

// The logic of the options dialog "ｵﾌﾟｼｮﾝ" (the form frmOptions shows it): the program-wide settings
// on five tabs, read into the controls when the dialog loads and written back only by an OK that
// passes the checks. A refused OK shows its message, selects the tab of the offending box and puts the
// focus into that box. The new values take effect at once; "setting.ini" is written at program exit.
class OptionsDialog : public DialogModel {
public:
    static constexpr int TabCount = 5;
    // The cache-deletion option buttons of the cache page.
    enum class CacheOption { NoDelete, DeleteByDate, DeleteBySize, DeleteOnUnload };
    // The entries of cboSharpFlat.
    static QStringList SharpFlatEntries();

    // `cacheFolder` gives the cache folder of the project in use, for "キャッシュを削除".
    OptionsDialog(VoiceBankAccess& voices, std::function<QString()> cacheFolder = {});

    // The window that owns the dialogs this one opens (the form).
    QObject* owner = nullptr;

    // ---- the controls as the form shows them ----
    int SelectedTab = 1;   // 1..TabCount
    QString FocusControl;  // the box that gets the focus (after a refused OK); empty for none

    // Page 1: general switches.
    bool chkEnterLyric = false;
    bool chkNoCheckSetLyrics = false;
    bool chkUseDLL = false;
    bool chkNoOtoReport = false;
    bool chkExcludeVowelOnSetParam = false;
    bool chkExcludeVowelOnSetParamEnabled = true;
    bool chkEncPitchDatas = false;
    bool chkOldTime = false;
    bool chkNoCopyVoiceParam = false;
    bool chkCheckVoiceFile = false;
    bool chkNonBatchMode = false;
    bool chkNonBatchModeEnabled = true;
    bool chkDebugMode = false;

    // Page 2: voice banks registered outside the voice folder, each a name, a TAB and a folder.
    QStringList lstOtoList;
    int lstOtoListIndex = -1;  // -1: no entry selected
    QString txtOtoName;
    QString txtOtoPath;
    bool cmdOtoAddEnabled = false;
    bool cmdOtoSetEnabled = false;
    bool cmdOtoDeleteEnabled = false;

    // Page 3: cache policy.
    bool chkCacheTemp = false;
    CacheOption optCache = CacheOption::NoDelete;
    QString txtCacheDeleteDays = QStringLiteral("30");
    QString txtCacheLimitSize = QStringLiteral("1000");
    bool cacheControlsEnabled = true;  // the four options and the two boxes

    // Page 4: tool paths and voice root.
    QString txtTool1Path;
    QString txtTool2Path;
    bool chkVoiceRoot = false;
    QString txtVoiceParent = QStringLiteral("voice");
    bool txtVoiceParentEnabled = false;  // also cmdBrowsVFolder

    // Page 5: MIDI devices and note names. A box's text is its selected entry, or the saved name when
    // that device is not present (no entry selected).
    QStringList cboMidiDevItems;
    int cboMidiDevIndex = -1;
    QString cboMidiDevText;
    QStringList cboMidiOutDevItems;
    int cboMidiOutDevIndex = -1;
    QString cboMidiOutDevText;
    bool chkMidiSendNote = false;
    bool chkMidiSendPC = false;
    QStringList cboMidiProgramItems;
    int cboMidiProgramIndex = -1;
    bool cboMidiProgramEnabled = false;
    int cboSharpFlatIndex = -1;

    // ---- loading, tabs and the handlers ----
    // Reads the settings into the controls and selects the tab (when it is 1..TabCount).
    void Form_Load(int tab = 1);
    void tbsOptions_Click(int tab);
    // Ctrl+Tab: the next tab, after the last the first.
    void Form_KeyDown_CtrlTab();

    void chkUseDLL_Click(bool checked);
    void chkNoCopyVoiceParam_Click(bool checked);
    void chkMidiSendPC_Click(bool checked);
    void chkCacheTemp_Click(bool checked);
    void UpdateCacheControls(bool enabled);
    void chkVoiceRoot_Click(bool checked);

    void txtOtoName_Change(const QString& text);  // commas are dropped: a name holds none
    // What typing leaves of a bank's name: every comma is discarded.
    static QString txtOtoName_KeyPress(const QString& typed) { return QString(typed).remove(u','); }
    void txtOtoPath_Change(const QString& text);
    void lstOtoList_Click(int index);
    void cmdOtoAdd_Click();
    void cmdOtoSet_Click();
    void cmdOtoDelete_Click();
    void cmdOtoFolder_Click();

    void cmdBrowsTool1_Click();
    void cmdBrowsTool2_Click();
    void cmdBrowsVFolder_Click();
    void Command1_Click();

    void LoadMidiProgramList();
    void cmdExportResource_Click();
    void cmdDeleteCache_Click();

    void cmdOK_Click();
    void cmdCancel_Click();
    void cancelRequested() override { cmdCancel_Click(); }

private:
    // A refused OK: the message, the tab and the box.
    void refuse(const QString& message, int tab, const QString& box);
    void updateOtoButtons();
    // Add and Set need a name and a folder: false, with the focus into the empty box, when one is missing.
    bool otoBoxesFilled();
    void store();

    VoiceBankAccess& voices_;
    std::function<QString()> cacheFolder_;
};

}  // namespace tova
