#pragma once

#include "exchange/SelectTrackModel.h"
#include "exchange/TrackChooserPort.h"

#include <QDialog>

class QLabel;
class QListWidget;
class QPushButton;

namespace tova {

// The track chooser window "トラックを選択": the list `List1` of the track list's entries under the
// prompt `Label1`, and `OKButton` / `CancelButton`. The window only binds its widgets to a
// SelectTrackModel.
class frmSelectTrack : public QDialog {
    Q_OBJECT
public:
    frmSelectTrack(const QStringList& entries, QWidget* owner = nullptr);

    // Shows the entries modally over the owner and returns the chosen entry's 1-based position after OK
    // (0 when none was selected), -1 otherwise; the window is unloaded before returning.
    static qint32 SelectTrack(const QStringList& entries, QWidget* owner);

    SelectTrackModel& model() { return model_; }

    QLabel* Label1 = nullptr;
    QListWidget* List1 = nullptr;
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;

private:
    SelectTrackModel model_;
};

// The track chooser of the program: the window above over an owner window.
class QtTrackChooser : public TrackChooserPort {
public:
    explicit QtTrackChooser(QWidget* owner = nullptr) : owner_(owner) {}
    void setOwner(QWidget* owner) { owner_ = owner; }
    qint32 SelectTrack(const QStringList& entries) override { return frmSelectTrack::SelectTrack(entries, owner_); }

private:
    QWidget* owner_;
};

}  // namespace tova
