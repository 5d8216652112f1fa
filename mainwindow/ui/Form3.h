#pragma once

#include "core/ui/ModelDialog.h"
#include "mainwindow/ProjectSettingsDialog.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPushButton;

namespace tova {

class OptionsDialogPort;
class VoiceBankAccess;
class VoiceToolsPort;

// The project settings dialog "プロジェクトの設定": binds its controls to ProjectSettingsDialog, its
// model, which holds their state and handlers.
class Form3 : public ModelDialogOf<ProjectSettingsDialog> {
    Q_OBJECT
public:
    Form3(VoiceBankAccess& voices, VoiceToolsPort* profile, OptionsDialogPort* options, QWidget* owner = nullptr);

    // Shows the dialog modally over the owner with the given values; true when it was closed with OK,
    // and the edited values are then written back (never the cache folder). The dialog is gone when the
    // call returns.
    static bool ShowDialog(ProjectSettingsValues& values, QWidget* owner, VoiceBankAccess& voices,
                           VoiceToolsPort* profile, OptionsDialogPort* options);

    // Loads the values into the controls (the load handler of the form).
    void load(const ProjectSettingsValues& values);
    ProjectSettingsDialog& logic() { return model(); }

    QMenuBar* menuBar;
    QMenu* mnFile;
    QMenu* mnGen;
    QAction* mnSetDefault;
    QAction* mnVOpen;
    QAction* mnSetting;
    QAction* mnReloadList;
    QLabel* Label1;
    QLineEdit* txtProjectName;
    QLabel* Label2;
    QLineEdit* txtOutputWavName;
    QLabel* Label3;
    QComboBox* cboVoiceName;
    QLabel* lbOtoFolder;
    QPushButton* cmdBrowsOtoDir;
    QPushButton* cmdInfo;
    QLabel* Label4;
    QLineEdit* txtTool1Path;
    QPushButton* cmdBrowsTool1;
    QLabel* Label5;
    QLineEdit* txtTool2Path;
    QPushButton* cmdBrowsTool2;
    QPushButton* cmdDefault;
    QCheckBox* chkUseReamplerDll;
    QLabel* Label6;
    QLineEdit* txtFlags;
    QPushButton* cmdDeleteCache;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void refreshFromModel() override;

private:
    void rebuildVoiceMenu();

    QStringList shownVoiceMenu_;
    bool voiceMenuBuilt_ = false;
};

}  // namespace tova
