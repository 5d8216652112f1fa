#include "mainwindow/BackgroundDrawing.h"

#include "core/NoteNames.h"
#include "core/Settings.h"
#include "mainwindow/RollCanvas.h"
#include "mainwindow/RollCoordinates.h"
#include "platform/Vb.h"

#include <cmath>

namespace tova {

namespace {
// Kinds of the twelve rows of an octave, starting at ((row + 11) mod 12).
const QString kKeyPattern = QStringLiteral("2101010210102");
// Labels stand this far left of the keyboard's right edge.
constexpr double kLabelInset = 315;
}  // namespace

BackgroundColors BackgroundColors::fromSettings() {
    const Settings& s = settings();
    BackgroundColors c;
    c.Piano1 = s.COLOR_PIANO1;
    c.Piano2 = s.COLOR_PIANO2;
    c.Roll1 = s.COLOR_ROLL1;
    c.Roll2 = s.COLOR_ROLL2;
    c.Fore = s.COLOR_FORE;
    c.Shadow = s.COLOR_SHADOW;
    c.Sepa1 = s.COLOR_SEPA1;
    c.Sepa2 = s.COLOR_SEPA2;
    c.Back = s.COLOR_BACK;
    return c;
}

QChar BackgroundDrawing::keyKind(int row) {
    int k = (row + 11) % 12;
    if (k < 0) k += 12;
    return kKeyPattern.at(k);
}

QString BackgroundDrawing::octaveLabel(int row) {
    return QStringLiteral("C") + QString::number(8 - row / 12);
}

double BackgroundDrawing::rollFontSize(int rowHeight) { return double(rowHeight) / 30.0 + 2.0; }

void BackgroundDrawing::draw(const BackgroundView& view, const BackgroundColors& colors, ScrollBarState& h,
                             ScrollBarState& v, RollCanvas& keyboard, RollCanvas& roll, RollCanvas& ruler) {
    const int rh = view.RowHeight;
    // Ranges first: the values the rest reads are those inside the new ranges.
    v.setMax(RollCoordinates::vScrollMax(rh, roll.height()));
    h.setMax(RollCoordinates::hScrollMax(view.SongLength, roll.width(), view.Zoom));
    roll.setFontSize(rollFontSize(rh));

    const int hs = h.Value;
    const int vs = v.Value;
    const double rowOffset = -double(rh) * vs;

    const double kw = keyboard.width();
    const double kh = keyboard.height();
    keyboard.fillBox(0, 0, kw, kh, colors.Piano1);

    int lastRow = int(std::nearbyint(roll.height() / rh)) + vs;
    if (lastRow > Roll::Rows) lastRow = Roll::Rows;
    for (int r = vs - 1; r <= lastRow; ++r) {
        const double y = double(rh) * r + rowOffset;
        const double w = roll.width();
        const QChar kind = keyKind(r);
        if (kind == u'2') {
            keyboard.line(0, y, kw, y, colors.Piano2);
            roll.fillBox(0, y + 15, w, y + rh, colors.Roll1);
        } else if (kind == u'1') {
            keyboard.line(kw / 2, y + rh / 2, kw, y + rh / 2, colors.Piano2);
            keyboard.fillBox(0, y, kw / 2, y + rh, colors.Piano2);
            roll.fillBox(0, y + 15, w, y + rh, colors.Roll2);
        } else {
            roll.fillBox(0, y + 15, w, y + rh, colors.Roll1);
        }
        const bool octave = r % 12 == 0;
        roll.line(0, y + rh, w, y + rh, octave ? colors.Fore : colors.Shadow);
        if (octave) keyboard.print(kw - kLabelInset, y, octaveLabel(r), colors.Fore);
    }

    const double rw = ruler.width();
    const double rhgt = ruler.height();
    ruler.fillBox(0, 0, rw, rhgt, colors.Back);

    const int twipsPerBeat = Vb::CLng(double(Roll::TicksPerBeat) / double(view.Zoom));
    const int count = twipsPerBeat > 0 ? Vb::CLng(roll.width() / twipsPerBeat) : 0;
    const int beatsPerBar = view.BeatsPerBar > 0 ? view.BeatsPerBar : 4;
    for (int j = 0; j <= count; ++j) {
        const qint64 b = qint64(hs) + j;  // the bar's value may be the largest int
        const double x = double(twipsPerBeat) * j;
        const bool measure = b % beatsPerBar == 0;
        roll.line(x, 0, x, roll.height(), measure ? colors.Sepa1 : colors.Sepa2);
        if (measure) {
            // Numbers print with a sign position in front, as the ruler has always shown them.
            const QString number = QStringLiteral(" ") + QString::number(b / beatsPerBar);
            ruler.print(j == 0 ? x - 45 : x - 120, 15, number, colors.Fore);
        }
    }
}

ToneLabelPlacement BackgroundDrawing::toneLabel(int cursorNoteNum, int vValue, int rowHeight, double keyboardWidth,
                                                const RollCanvas& keyboard) {
    ToneLabelPlacement p;
    if (cursorNoteNum < 0 || cursorNoteNum >= Roll::Rows) return p;
    p.caption = NoteNumToName(cursorNoteNum);
    const double tw = keyboard.textWidth(p.caption);
    p.width = tw < kLabelInset ? kLabelInset : tw;
    p.left = keyboardWidth - p.width;
    p.top = double(Roll::TopNote - cursorNoteNum - vValue) * rowHeight;
    p.visible = true;
    return p;
}

}  // namespace tova
