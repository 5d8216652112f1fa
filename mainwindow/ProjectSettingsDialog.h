#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

class QObject;

namespace tova {

class OptionsDialogPort;
class VoiceBankAccess;
class VoiceToolsPort;

// The values the project settings dialog edits: handed in by the caller, written back on OK (the cache
// folder is only read).
struct ProjectSettingsValues {
    QString ProjectName;
    QString OutFile;
    QString VoiceDir;
    QString VoiceName;
    QString Tool1;
    QString Tool2;
    QString CacheDir;
    QString Flags;
};

// The logic of the project settings dialog "プロジェクトの設定" (the form Form3 shows it): the state of
// its controls and their handlers. Paths are shown relative to the program folder and stored absolute;
// a voice folder or tool path that does not check out is shown red and refused on OK. The dialog also
// switches the program-wide UseDLL, deletes the project's render cache and shows a bank's profile.
class ProjectSettingsDialog : public DialogModel {
public:
    ProjectSettingsDialog(VoiceBankAccess& voices, VoiceToolsPort* profile, OptionsDialogPort* options);

    // The window that owns the dialogs this one opens (the form).
    QObject* owner = nullptr;

    // ---- the controls as the form shows them ----
    QString txtProjectName;
    QString txtOutputWavName;
    QString txtFlags;
    QString txtTool1Path;
    QString txtTool2Path;
    bool txtTool1PathRed = false;
    bool txtTool2PathRed = false;
    QStringList cboVoiceNameItems;  // display names; entry i is the bank in folder VoiceFolders[i]
    int cboVoiceNameIndex = -1;     // -1: nothing chosen
    QString lbOtoFolder;            // the chosen bank's folder, relative to the program folder
    bool lbOtoFolderRed = false;
    bool chkUseReamplerDll = false;
    bool toolControlsEnabled = true;  // txtTool1Path, txtTool2Path, their buttons, cmdDefault, Label4, Label5
    bool cmdDeleteCacheEnabled = false;
    QStringList mnVoiceCaptions;  // one menu entry per listed bank; none: the single disabled "（なし）"
    int mnVoiceChecked = -1;

    // ---- dialog state ----
    QStringList VoiceFolders;  // parallel to cboVoiceNameItems
    QString CacheFolder;       // the cache folder in use

    // The combo box's text: the chosen entry's name, or the text set while nothing matches.
    QString cboVoiceNameText() const;
    void setCboVoiceNameText(const QString& text);

    // ---- loading and the handlers ----
    void Form_Load(const ProjectSettingsValues& values);
    void BuildVoiceMenu(const QString& currentName);
    void SelectVoiceEntry(const QString& folder, const QString& name);
    void setLbOtoFolder(const QString& caption);  // runs lbOtoFolder_Change
    void lbOtoFolder_Change();
    void txtTool1Path_Change(const QString& text);
    void txtTool2Path_Change(const QString& text);
    void UpdateToolControls();
    void chkUseReamplerDll_Click(bool checked);
    void cboVoiceName_Click(int index);
    void mnVoice_Click(int index);
    void cmdBrowsOtoDir_Click();
    void cmdBrowsTool1_Click();
    void cmdBrowsTool2_Click();
    void cmdDefault_Click();
    void cmdDeleteCache_Click();
    void cmdInfo_Click();
    void mnSetDefault_Click();
    void mnVOpen_Click();
    void mnSetting_Click();
    void mnReloadList_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    // Escape and the close box: as Cancel.
    void cancelRequested() override { cmdCancel_Click(); }
    void UpdateCacheButton();

    // After the modal display ended with OK: writes the edited values back into `values` (not the cache
    // folder), empties the render cache when the voice folder, tool 2 or the flags changed, offers an
    // unread voice readme and sets UseDLL.
    void ApplyResult(ProjectSettingsValues& values);

    // Deletes the render cache files of the cache folder in use; the number deleted.
    int ClearCacheFolder();
    // True when the folder's readme ("readme.txt", else "read me.txt") has not been shown on this machine.
    static bool ReadVoiceReadme(const QString& folder);
    // The flags text with blanks and the characters ; : " < > | & / \ * ? % removed.
    static QString CleanFlags(const QString& flags);
    // The output name with ".wav" appended unless it already ends so (in any letter case).
    static QString OutputWithWavExtension(const QString& name);

private:
    void checkVoiceMenu();
    QString comboText_;

    VoiceBankAccess& voices_;
    VoiceToolsPort* profile_;
    OptionsDialogPort* options_;
    ProjectSettingsValues given_;
};

}  // namespace tova
