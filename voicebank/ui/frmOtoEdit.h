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

    QWidget* canvas;
    std::array<QLabel*, 5> Label1{};
    QLabel* Label5;
    QFrame* Line1;
    QLabel* Label2;
    QScrollBar* HScroll1;
    QPushButton *cmdZoomIn, *cmdZoomOut, *cmdUp, *cmdDn, *cmdOK, *cmdCancel;
    QCheckBox* chkSpectrum;
    QCheckBox* chkNoCache;
    QLabel* Label6;
    QLabel* Label4;
    QSlider* sldLevel;
    QWidget* Picture1;
    QProgressBar* ProgressBar1;
    QLabel* Label3;
    QLabel* Image1;
    QMenu* mnSpectrum;
    std::array<QAction*, 6> mnCol{};
    std::array<QAction*, 3> mnRange{};
    QAction* mnNocache;

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
