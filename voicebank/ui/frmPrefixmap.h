#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/PrefixMapEditor.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace tova {

// The prefix.map editor window "PrefixMapエディタ": the list `ListView1` (columns "キー", "前", "後",
// several rows selectable), the boxes `txtKey`, `txtPrefix`, `txtSuffix` and the buttons, bound to a
// PrefixMapEditor.
class frmPrefixmap : public ModelDialogOf<PrefixMapEditor> {
    Q_OBJECT
public:
    explicit frmPrefixmap(QWidget* owner = nullptr);

    // Form_Load on a voice folder: its list.
    void Load(const QString& voiceFolder);
    // Loads the voice folder's list and shows the dialog modally; true when OK saved the file.
    bool ShowDialog(const QString& voiceFolder);

    QTreeWidget* ListView1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* txtKey = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* txtPrefix = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* txtSuffix = nullptr;
    QPushButton* cmdSet = nullptr;
    QPushButton* cmdClear = nullptr;
    QPushButton* cmdSelAll = nullptr;
    QPushButton* cmdReload = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdCancel = nullptr;

protected:
    void refreshFromModel() override;

private:
    void selectionFromView();
    bool syncing_ = false;
};

}  // namespace tova
