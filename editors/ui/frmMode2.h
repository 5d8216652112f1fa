#pragma once

#include "core/ui/ModelDialog.h"
#include "editors/PitchControl.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSlider;

namespace tova {

// The pitch-control dialog (frmMode2): binds its controls to PitchControl.
class frmMode2 : public ModelDialogOf<PitchControl> {
    Q_OBJECT
public:
    explicit frmMode2(Settings& settings, QWidget* owner = nullptr);

    // Fills the dialog for notes selStart..selEnd (the defaults of new notes when selStart < 0), shows it
    // modally over `owner` and on OK applies it. True when confirmed.
    static bool ShowPitchControl(qint32 selStart, qint32 selEnd, NoteArrays& notes, float projectTempo,
                                 Settings& settings, QWidget* owner);

    QCheckBox* chkPortamento;
    QRadioButton* optPorPreset;
    QComboBox* cboPPreset;
    QRadioButton* optPorCustom;
    QLineEdit* txtPorStart;
    QSlider* sldPorStart;
    QLineEdit* txtPorWidth;
    QSlider* sldPorWidth;
    QRadioButton* optPointAdd;
    QComboBox* cboPPoints;
    QLabel* Label8;
    QCheckBox* chkKinto;
    QPushButton* cmdSetPortamentoDefault;
    QCheckBox* chkVibrato;
    QComboBox* cboVPreset;
    // txtVLength, txtVCycle, txtVDepth, txtVStart, txtVEnd, txtVHeight, txtVPhase, txtVIntensity.
    std::array<QLineEdit*, 8> txtV{};
    std::array<QSlider*, 3> sldV{};  // sldVLength, sldVCycle, sldVDepth
    QComboBox* cboExcludeTarget;
    QPushButton* cmdUpdateDefault;
    QPushButton* OKButton;
    QPushButton* CancelButton;

protected:
    void refreshFromModel() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QList<QWidget*> portamentoGroup_, vibratoGroup_;
};

}  // namespace tova
