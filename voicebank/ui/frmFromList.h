#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/SamplePicker.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

namespace tova {

class EditContext;

// The sample picker window "リストから挿入", shown beside the main window and never modal: the list
// `List1`, the switches `chkReplace` "置換" and `chkSilent` "消音", `CancelButton` "閉じる", the two hint
// labels and `Timer1`, which fills the list once, 100 ms after the window was shown. Bound to a
// SamplePicker.
class frmFromList : public ModelDialogOf<SamplePicker> {
    Q_OBJECT
public:
    explicit frmFromList(MciPort& mci, QWidget* owner = nullptr);

    // Shows the window over the owner's window; for another voice folder than the list's the list is
    // filled anew. Returns at once with the last clicked text.
    QString ShowList(const QString& voiceFolder, EditContext& owner);

    QListWidget* List1 = nullptr;
    QCheckBox* chkReplace = nullptr;
    QCheckBox* chkSilent = nullptr;
    QPushButton* CancelButton = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QTimer* Timer1 = nullptr;

protected:
    void refreshFromModel() override;

private:
    // Shows the rows filled so far and lets the window's events run (clicks, closing, another opening).
    void yieldDuringFill();
};

}  // namespace tova
