#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/FreqGenerator.h"

class QCheckBox;
class QPushButton;
class QRadioButton;

namespace tova {

// The batch frequency-table generator window "周波数表の一括作成".
class frmFreqGen : public ModelDialogOf<FreqGenerator> {
    Q_OBJECT
public:
    explicit frmFreqGen(Tool2Calls& tool, QWidget* owner = nullptr);
    FreqGenerator& logic() { return model(); }
    // ShowDialog: the dialog on a voice folder, modal, without an owner window.
    static void ShowDialog(const QString& voiceFolder, Tool2Calls& tool);
    void refreshFromModel() override;

    QRadioButton* optGanerateAsNoFile;
    QRadioButton* optUpdateAll;
    QRadioButton* optUpdateAfterDelete;
    QCheckBox* chkCloseWindowAtEnd;
    QPushButton* OKButton;
    QPushButton* CancelButton;
};

}  // namespace tova
