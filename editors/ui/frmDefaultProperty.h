#pragma once

#include "core/ui/ModelDialog.h"
#include "editors/DefaultPropertyDialog.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tova {

// The dialog "音符のデフォルト設定": binds its controls to DefaultPropertyDialog, which stores the
// intensity, modulation and flags of new notes on OK.
class frmDefaultProperty : public ModelDialogOf<DefaultPropertyDialog> {
    Q_OBJECT
public:
    explicit frmDefaultProperty(tova::Settings& settings, QWidget* owner = nullptr);

    // Shows the dialog modally over the owner; true when OK stored the settings.
    static bool ShowDialog(tova::Settings& settings, QWidget* owner);

    QLabel* Label1;
    QLineEdit* txtVolume;
    QSlider* sldVolume;
    QLabel* Label2;
    QLineEdit* txtModulation;
    QSlider* sldModulation;
    QLabel* Label3;
    QCheckBox* chkBre;
    QSlider* sldBre;
    QCheckBox* chkNoFilter;
    QCheckBox* chkGFactor;
    QSlider* sldGFactor;
    QCheckBox* chkYFlag;
    QSlider* sldYFlag;
    QLabel* Label4;
    QLineEdit* txtOtherFlags;
    QLabel* Label5;
    QLabel* lblFlagResult;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QPushButton* cmdClear;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void refreshFromModel() override;
};

}  // namespace tova
