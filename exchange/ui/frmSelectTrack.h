#pragma once

#include "core/ui/ModelDialog.h"
#include "exchange/SelectTrackModel.h"
#include "exchange/TrackChooserPort.h"

class QLabel;
class QListWidget;
class QPushButton;

namespace tova {

// The track chooser window "トラックを選択": the list `List1` of the track list's entries under the
// prompt `Label1`, and `OKButton` / `CancelButton`, bound to a SelectTrackModel.
class frmSelectTrack : public ModelDialogOf<SelectTrackModel> {
    Q_OBJECT
public:
    // Opens with the row `preselected` chosen and drawn as chosen (-1: none).
    explicit frmSelectTrack(const QStringList& entries = {}, qint32 preselected = -1, QWidget* owner = nullptr);

    // Shows the entries modally over the owner, the row `preselected` chosen, and returns the chosen
    // entry's 1-based position after OK (0 when none was selected), -1 otherwise; the window is unloaded
    // before returning.
    static qint32 SelectTrack(const QStringList& entries, qint32 preselected, QWidget* owner);

    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

protected:
    void refreshFromModel() override;
};

// The track chooser of the program: the window above over an owner window.
class QtTrackChooser : public TrackChooserPort {
public:
    explicit QtTrackChooser(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    qint32 SelectTrack(const QStringList& entries, qint32 preselected) override {
        return frmSelectTrack::SelectTrack(entries, preselected, owner_);
    }

private:
    QWidget* owner_;
};

}  // namespace tova
