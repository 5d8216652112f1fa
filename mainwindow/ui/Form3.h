#pragma once

#include "mainwindow/ProjectSettingsDialog.h"

#include <QDialog>

#include <functional>

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

// The project settings dialog "プロジェクトの設定": binds its controls to ProjectSettingsDialog, which
// holds their state and handlers.
class Form3 : public QDialog {
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
    ProjectSettingsDialog& logic() { return logic_; }

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
    void reject() override;

private:
    // Runs a handler of the logic under the event guard, then shows the controls' new state and ends the
    // modal display when OK or Cancel hid the dialog.
    void handle(const std::function<void()>& handler);
    void syncFromLogic();
    void rebuildVoiceMenu();

    ProjectSettingsDialog logic_;
    QStringList shownVoiceMenu_;
    bool voiceMenuBuilt_ = false;
};

}  // namespace tova
