#pragma once

#include "core/ui/ModelDialog.h"
#include "editors/EnvelopeEditor.h"

#include <array>
#include <optional>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace tova {

// The envelope editor "エンベロープ": binds its boxes, buttons and graph to EnvelopeEditor. The graph,
// its marks, the envelope line and the five point handles are drawn on the dialog; the handles are
// dragged with the left button.
class frmNotePropEx : public ModelDialogOf<EnvelopeEditor> {
    Q_OBJECT
public:
    explicit frmNotePropEx(QWidget* owner = nullptr);

    // The dialog over one envelope, modal to `owner`: no value (nothing shown) when args.noteLengthMs
    // is 0; true when OK wrote the edited envelope, pre-utterance and overlap texts into `args`.
    static std::optional<bool> ShowEnvelopeDialog(EnvelopeDialogArgs& args, QWidget* owner);

    std::array<QLineEdit*, 12> txtParam{};
    std::array<QLabel*, 12> Label{};  // Label1 .. Label12 (index = number - 1)
    QPushButton* cmdP5;
    QPushButton* cmdGen;
    QPushButton* cmdNormal;
    QPushButton* cmdReset;
    QCheckBox* chkRelated;
    QPushButton* cmdOK;
    QPushButton* cmdCancel;

    // The handle under a point of the dialog (pixels), -1 for none.
    int handleAt(QPoint pixel) const;

protected:
    void refreshFromModel() override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    void layOutBottomRow();
    int dragged_ = -1;
};

}  // namespace tova
