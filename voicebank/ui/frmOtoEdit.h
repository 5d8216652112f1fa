#pragma once

#include "core/ui/ModelDialog.h"
#include "voicebank/TimingEditor.h"

#include <QImage>

#include <array>

class QAction;
class QCheckBox;
class QFrame;
class QLabel;
class QMenu;
class QProgressBar;
class QPushButton;
class QScrollBar;
class QSlider;

namespace tova {

// The timing editor window: binds its controls to TimingEditor and paints its display list into a
// kept picture of the drawing area.
class frmOtoEdit : public ModelDialogOf<TimingEditor> {
    Q_OBJECT
public:
    explicit frmOtoEdit(QWidget* owner = nullptr);
    ~frmOtoEdit() override;

    TimingEditor& logic() { return model(); }
    // EditEntry: the editor over the manager's selected row, shown modally; the window's result.
    static int EditEntry(VoiceBankManager& manager, Tool2Calls& tool, QWidget* owner);

    void refreshFromModel() override;
    // The drawing area's kept picture.
    const QImage& picture() const { return picture_; }

    // Every control starts as null: the event filter is installed on the first controls while the
    // constructor is still making the others, and it compares and uses these pointers.
    QWidget* canvas = nullptr;
    std::array<QLabel*, 5> Label1{};
    QLabel* Label5 = nullptr;
    QFrame* Line1 = nullptr;
    QLabel* Label2 = nullptr;
    QScrollBar* HScroll1 = nullptr;
    QPushButton *cmdZoomIn = nullptr, *cmdZoomOut = nullptr, *cmdUp = nullptr, *cmdDn = nullptr, *cmdOK = nullptr,
                *cmdCancel = nullptr;
    QCheckBox* chkSpectrum = nullptr;
    QCheckBox* chkNoCache = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* Label4 = nullptr;
    QSlider* sldLevel = nullptr;
    QWidget* Picture1 = nullptr;
    QProgressBar* ProgressBar1 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Image1 = nullptr;
    QMenu* mnSpectrum = nullptr;
    std::array<QAction*, 6> mnCol{};
    std::array<QAction*, 3> mnRange{};
    QAction* mnNocache = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layoutControls();
    void repaintPicture();
    void placeHandles();

    QImage picture_;
    bool syncing_ = false;
    double dragLeft_ = 0;
};

}  // namespace tova
