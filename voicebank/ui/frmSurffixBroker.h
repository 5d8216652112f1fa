#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/SuffixBroker.h"

class QCheckBox;
class QComboBox;
class QPushButton;

namespace tova {

// The suffix dialog "SurffixBroker": the editable suffix list `cboSurffix` with `cmdAdd` "+" and
// `cmdDel` "-", the marker choice `cboQu`, `chkRemovePrefix`, `cmdOK` and `cmdCancel`, bound to a
// SuffixBroker. Loading the window reads the kept suffix list.
class frmSurffixBroker : public ModelDialogOf<SuffixBroker> {
    Q_OBJECT
public:
    explicit frmSurffixBroker(QWidget* owner = nullptr);

    // Shows the dialog modally; after OK rewrites lyrics first..last. The suffix list is kept in every
    // case. True when OK applied.
    bool ShowDialog(qint32 first, qint32 last, QStringList& lyrics);

    QComboBox* cboSurffix = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdDel = nullptr;
    QComboBox* cboQu = nullptr;
    QCheckBox* chkRemovePrefix = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void refreshFromModel() override;
};

}  // namespace tova
