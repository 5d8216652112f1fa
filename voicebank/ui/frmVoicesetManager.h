#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/VoiceBankManager.h"

class QAction;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QProgressBar;
class QPushButton;
class QTableView;

namespace tova {

class SampleListModel;
class VoiceBankManagerTools;

// The voice-bank manager window "原音設定": binds its controls to VoiceBankManager, its model, which
// holds their state and runs their handlers. The window is kept between uses (see QtVoiceBankManager).
class frmVoicesetManager : public ModelDialogOf<VoiceBankManager> {
    Q_OBJECT
public:
    explicit frmVoicesetManager(VoiceBankManagerTools* tools = nullptr, QWidget* owner = nullptr);
    ~frmVoicesetManager() override;

    VoiceBankManager& logic() { return model(); }
    // ShowDialog of the manager: true when the list was saved.
    bool ShowDialog(const QString& voiceFolder, const QString& name1, const QString& name2, const QString& cacheFolder,
                    bool quickOpen, QWidget* owner);
    // Shows the model's state in the controls.
    void refreshFromModel() override;

    QMenuBar* menuBar;
    QMenu* mnFile;
    QMenu* mnSettei;
    QMenu* mnTools;
    QTableView* ListView1;
    QLineEdit* txtOtoPath;
    QLabel* Label2;
    QLineEdit* txtName;
    QLabel* Label3;
    QLineEdit* txtAlias;
    QLabel* Label4;
    QLineEdit* txtOffset;
    QLabel* Label5;
    QLabel* Label6;
    QLineEdit* txtFixedLen;
    QLabel* Label7;
    QLabel* Label9;
    QLineEdit* txtEndBlank;
    QLabel* Label8;
    QLabel* Label14;
    QLineEdit* txtOffset2;
    QLabel* Label15;
    QLabel* Label17;
    QLineEdit* txtOverlap;
    QLabel* Label16;
    QLabel* Label10;
    QLabel* Label11;
    QLabel* Label12;
    QLabel* Label13;
    QLabel* Label1;
    QLabel* Label18;
    QPushButton* cmdSet;
    QPushButton* cmdClear;
    QPushButton* cmdCopy;
    QPushButton* cmdDel;
    QPushButton* cmdEditGUI;
    QPushButton* cmdFreqList;
    QPushButton* cmdDeleteFreqList;
    QPushButton* cmdOK;
    QPushButton* cmdClose;
    QWidget* Picture1;
    QProgressBar* ProgressBar1;
    QLabel* lblProgress;
    QLabel* lblBreak;
    QLabel* Image1;

    // The menu items by their names.
    QAction* action(const QString& name) const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void buildMenus();
    void buildControls(QWidget* body);
    void selectionFromView();
    void selectionToView();

    QWidget* body_ = nullptr;
    SampleListModel* listModel_ = nullptr;
    bool syncing_ = false;
};

}  // namespace tova
