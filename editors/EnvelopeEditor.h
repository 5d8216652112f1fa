#pragma once

#include "core/DialogModel.h"

#include <QPointF>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace tova {

// What the envelope dialog edits and hands back. `envelope`, `preutterance` and `overlap` are replaced
// on OK; an empty `envelope` becomes the default text before the dialog opens, also when it is then
// cancelled.
struct EnvelopeDialogArgs {
    bool prevIsRest = true;      // false halves prevLengthMs
    float prevLengthMs = 0;      // the previous note's length
    float noteLengthMs = 0;      // 0: nothing to edit, no dialog
    QString envelope;            // the envelope text (EnvelopeText.h)
    QString preutterance;        // the note's own pre-utterance text; empty = the voice bank's
    QString overlap;             // the note's own overlap text; empty = the voice bank's
    float velocityFactor = 1;    // consonant speed factor
    float otoPre = 0;            // the voice bank's pre-utterance and overlap of the note
    float otoOverlap = 0;
    float nextPre = 0;           // the next note's effective pre-utterance and overlap (0 for the last note)
    float nextOverlap = 0;
};

// The envelope editor "エンベロープ" (frmNotePropEx) without widgets: the twelve text slots `EnvParams`
// shown in the boxes `txtParam` 0..11 (p1 p2 p3 v1 v2 v3 v4 pre ovl p4 p5 v5), the graph of the envelope
// over the time the note sounds with its five point handles, and the dragging of the handles.
//
// Coordinates are twips of the client area. The graph spans x 60 (start of the sound) to `GraphRight`
// (end of the sound) and y 360 (200 %) to `GraphBottom` (0 %); a handle's top-left corner sits on its
// point, and every drawn line meets points 30 twips right of and below the mapped position.
class EnvelopeEditor : public DialogModel {
public:
    enum Handle { P1 = 0, P2 = 1, P3 = 2, P4 = 3, P5 = 4 };
    static constexpr double HandleSize = 75;

    // Context of the edited note (the entry's arguments).
    float NoteLengthMs = 0;
    float PrevLengthMs = 0;
    qint32 OtoPre = 0, OtoOverlap = 0, NextPre = 0, NextOverlap = 0;
    float VelocityFactor = 1;

    std::array<QString, 12> EnvParams;
    bool chkRelated = true;  // "連動"

    // Geometry of the last layout.
    double ClientWidth = 7320, ClientHeight = 2895;
    double GraphRight = 0, GraphBottom = 0, ScaleX = 0, ScaleY = 0;
    std::array<double, 5> HandleLeft{}, HandleTop{};
    double PreMarkX = 0, OverlapMarkX = 0;  // the grey note-start and blue overlap marks
    std::array<QPointF, 6> LineFrom{}, LineTo{};  // Line1..Line6
    double BottomRowTop = 0;                       // top of the bottom row of controls

    bool Dragging = false;
    double DragX0 = 0, DragY0 = 0;

    // Entry steps 2 and 3: the context and the slots from the arguments. False (and nothing set) when
    // the note length is 0. Lays the graph out for the initial client area.
    bool setUp(EnvelopeDialogArgs& args);
    // Entry step 5 after OK: the written envelope, pre-utterance and overlap texts into `args`.
    void writeBack(EnvelopeDialogArgs& args);

    // A box's text changed (typed or written): a non-empty text becomes the 7-digit decimal text of its
    // leading number (negative: 0), is stored into its slot, and the graph is laid out again.
    void txtParam_Change(int index, const QString& text);
    void cmdOK_Click() { accept(); }
    void cmdCancel_Click() { reject(); }
    // "原音値": pre and ovl boxes from the voice bank.
    void cmdGen_Click();
    // "正規化": shrinks p1 p2 p5 p3 p4 in proportion when they exceed the time the note sounds.
    void cmdNormal_Click();
    // "e": p5 10, v5 100.
    void cmdP5_Click();
    // "リセット": the default envelope, empty pre, ovl, p4, p5, v5.
    void cmdReset_Click();

    // The layout of the graph and the bottom row for a client area (twips). A step that cannot be done
    // (no sound span) keeps the previous scale.
    void Form_Resize(double clientWidth, double clientHeight);
    void Form_Resize() { Form_Resize(ClientWidth, ClientHeight); }

    // Handle dragging, the pointer in twips relative to the handle; button 1 is the left button.
    void lbHandle_MouseDown(int index, int button, double x, double y);
    void lbHandle_MouseMove(int index, double x, double y);
    void lbHandle_MouseUp() { Dragging = false; }
    // The values of a handle placed at (x, y), written into the boxes.
    void HandlesToParams(int index, double x, double y);

    // The effective pre-utterance and overlap the graph draws (ms).
    void effectivePreOverlap(double& pre, double& ovl) const;
    // The text OK hands back for the current slots.
    QString envelopeText() const;

private:
    double value(int slot) const;
};

}  // namespace tova
