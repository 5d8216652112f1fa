#pragma once

#include "core/ui/ModelDialog.h"
#include "mainwindow/OptionsDialog.h"

#include <QList>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;
class QTabBar;

namespace tova {

class VoiceBankAccess;

// The options dialog "ｵﾌﾟｼｮﾝ": a tab strip of five pages bound to OptionsDialog, its model, which
// holds the controls' state and the handlers.
class frmOptions : public ModelDialogOf<OptionsDialog> {
    Q_OBJECT
public:
    explicit frmOptions(VoiceBankAccess& voices, std::function<QString()> cacheFolder = {}, QWidget* owner = nullptr);

    // Shows the dialog modally over the owner on the tab (1 the first); true when it was closed with an
    // accepted OK. The dialog is gone when the call returns.
    static bool ShowDialog(int tab, QWidget* owner, VoiceBankAccess& voices, std::function<QString()> cacheFolder = {});

    // Reads the settings into the controls and selects the tab (the load handler of the form).
    void load(int tab = 1);
    OptionsDialog& logic() { return model(); }

    QTabBar* tbsOptions;
    QList<QWidget*> picOptions;  // one page per tab
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    // Page 1
    QGroupBox* Frame1;
    QGroupBox* Frame2;
    QGroupBox* Frame3;
    QCheckBox* chkEnterLyric;
    QCheckBox* chkNoCheckSetLyrics;
    QCheckBox* chkNoCopyVoiceParam;
    QCheckBox* chkExcludeVowelOnSetParam;
    QCheckBox* chkUseDLL;
    QCheckBox* chkNonBatchMode;
    QCheckBox* chkEncPitchDatas;
    QCheckBox* chkOldTime;
    QCheckBox* chkCheckVoiceFile;
    QCheckBox* chkNoOtoReport;
    QCheckBox* chkDebugMode;
    QPushButton* cmdExportResource;
    // Page 2
    QListWidget* lstOtoList;
    QLineEdit* txtOtoName;
    QLineEdit* txtOtoPath;
    QPushButton* cmdOtoFolder;
    QPushButton* cmdOtoAdd;
    QPushButton* cmdOtoSet;
    QPushButton* cmdOtoDelete;
    // Page 3
    QCheckBox* chkCacheTemp;
    QRadioButton* optCacheNoDelete;
    QRadioButton* optCacheDeleteByDate;
    QLineEdit* txtCacheDeleteDays;
    QRadioButton* optCacheDeleteBySize;
    QLineEdit* txtCacheLimitSize;
    QRadioButton* optCacheDeleteOnUnload;
    QPushButton* cmdDeleteCache;
    // Page 4
    QLineEdit* txtTool1Path;
    QPushButton* cmdBrowsTool1;
    QLineEdit* txtTool2Path;
    QPushButton* cmdBrowsTool2;
    QPushButton* Command1;
    QCheckBox* chkVoiceRoot;
    QLineEdit* txtVoiceParent;
    QPushButton* cmdBrowsVFolder;
    // Page 5
    QComboBox* cboMidiDev;
    QComboBox* cboMidiOutDev;
    QCheckBox* chkMidiSendNote;
    QCheckBox* chkMidiSendPC;
    QComboBox* cboMidiProgram;
    QComboBox* cboSharpFlat;

protected:
    void refreshFromModel() override;
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace tova
