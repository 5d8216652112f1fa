#pragma once

#include "core/ui/ModelDialog.h"
#include "editors/PitchEditor.h"

#include <array>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace tova {

struct NoteArrays;

// The pitch editor window "ピッチエディタ" (Form2): binds its buttons and scroll bars to PitchEditor and
// draws the model's background bands, waveform, grid, time labels, point handles and segments on the
// window itself. The handles are drawn items: a press on a visible handle is a handle event, any
// other press on the window is a surface event.
class Form2 : public ModelDialogOf<PitchEditor> {
    Q_OBJECT
public:
    explicit Form2(QWidget* owner = nullptr);

    // The editor over the pitch data of note `index` (field 3 of its extension string); `tempo` is the
    // tempo in force before the note. True when OK wrote the note's pitch data.
    static bool ShowPitchEditor(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index,
                                NoteArrays& notes, QWidget* owner);
    // The editor over a pitch text with its timing and waves; on OK args.pitchText becomes the edited
    // text. True when confirmed.
    static bool EditPitchCurve(PitchCurveArgs& args, const PitchWave& sample, qint32 frqFrames, const PitchWave* cache,
                               QWidget* owner);

    // Prepares the window for a loaded model (Form_Load and the first layout).
    void showLoadedModel();
    // The handle at a point of the window (pixels), -1 for none.
    int handleAt(QPointF pixel) const;

    QPushButton* cmdZoomIn;
    QPushButton* cmdZoomOut;
    QPushButton* cmdVZoomIn;
    QPushButton* cmdVZoomOut;
    QPushButton* cmdStraight;
    QPushButton* cmdCurve;
    QPushButton* cmdSetZero;
    QPushButton* cmdVibrato;
    QPushButton* cmdVibrato2;
    QComboBox* cboVibrato;
    std::array<QPushButton*, 7> optTool{};
    QPushButton* cmdText;
    QCheckBox* Check1;
    QPushButton* cmdReset;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QScrollBar* HScroll1;
    QScrollBar* VScroll1;

protected:
    void refreshFromModel() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void layOut();
    void cmdText_Click();
    int grabbed_ = -1;
    bool surfaceDrag_ = false;
};

}  // namespace tova
