#pragma once

#include "core/ui/ModelDialog.h"
#include "editors/VolumeFunctionizer.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

namespace tova {

// The volume multiplier "VolumeFunctionizer": binds its controls to VolumeFunctionizer.
class frmVolumeFunctionizer : public ModelDialogOf<VolumeFunctionizer> {
    Q_OBJECT
public:
    explicit frmVolumeFunctionizer(QWidget* owner = nullptr);
    ~frmVolumeFunctionizer() override;

    // Shows the dialog modally over the owner; on OK multiplies the intensities of the sung notes of
    // first..last. True when confirmed. The gain is stored in "volumefunc" whatever the outcome.
    static bool ShowDialog(qint32 first, qint32 last, const QStringList& lyrics, QStringList& noteExt, QWidget* owner);

    QLineEdit* txtMul;
    QLabel* Label1;
    QSlider* Slider1;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

protected:
    void refreshFromModel() override;
};

}  // namespace tova
