#pragma once

#include "autotune/OmakaseDialog.h"
#include "core/ui/ModelDialog.h"

#include <QList>

#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QRadioButton;

namespace tova {

struct NoteArrays;
class NoteTimingSource;

// The one-click tuning dialog "おま☆かせ": binds its controls to OmakaseDialog; the two bend previews
// are drawn from PitchPreviewLines, the modulation label takes drags and clicks.
class frmOmakase : public ModelDialogOf<OmakaseDialog> {
    Q_OBJECT
public:
    explicit frmOmakase(QWidget* owner = nullptr);
    ~frmOmakase() override;

    // Shows the dialog over the owner; when applied, runs its passes over the selection (2) or every
    // note (1) and returns that outcome; 0 when cancelled. `random` is the uniform generator of the
    // vibrato phases. A failing pass leaves the notes as they were.
    static qint16 ShowOmakaseDialog(float tempo, qint32 first, qint32 last, NoteArrays& notes,
                                    const NoteTimingSource& timing, QWidget* owner, const std::function<double()>& random);

    QCheckBox* chkAutoCombine;
    QList<QCheckBox*> chkCN;
    QLineEdit* txtCN;
    QList<QRadioButton*> optComb;
    QCheckBox* chkUpper;
    QCheckBox* chkDown;
    QLabel* pictUp;
    QLabel* pictDn;
    QList<QRadioButton*> optPORT;
    QList<QRadioButton*> optPORV;
    QRadioButton* optPULine;
    QRadioButton* optPUSine;
    QRadioButton* optPDLine;
    QRadioButton* optPDSine;
    QCheckBox* chkVibrato;
    QList<QRadioButton*> optBDepth;
    QList<QRadioButton*> optBVel;
    QList<QRadioButton*> optBLeng;
    QLabel* Label4;
    QLineEdit* txtName;
    QPushButton* cmdAdd;
    QPushButton* cmdDel;
    QListWidget* lstSettings;
    QPushButton* cmdModosu;
    QPushButton* cmdOKSelection;
    QPushButton* cmdOKAll;
    QPushButton* cmdCancel;

protected:
    void refreshFromModel() override;

private:
    // Redraw the rising bend's preview `pictUp` and the falling one's `pictDn`.
    void DrawUpPitchPreview();
    void DrawDownPitchPreview();
    void drawPreview(QLabel* box, bool rising);
};

}  // namespace tova
