#pragma once

#include "core/DialogModel.h"
#include "core/FrqHeader.h"

#include <QString>
#include <QStringList>
#include <QVector>

namespace tova {

// The frequency-table editor "Frequency List Editor" (frmEditFreqList): the frames of one sample's
// ".frq" table as a list of frequencies and a graph on a semitone grid, commands on the selected
// frames, and writing the table back. This class holds the state of the window's controls and runs
// their handlers; the form draws the graph from it.
class FreqTableEditor : public DialogModel {
public:
    // The list text of a frequency: "----" for exactly 55.0 (no pitch), otherwise "0.00000000".
    static QString FormatFreq(double f);

    QString samplePath;
    QString fileName;  // the sample's name as the file system has it: the window caption
    FrqHeader header;
    QVector<double> frames;  // pairs: frequency, second value
    double key = 0;
    bool modified = false;
    bool result = false;  // 書き込む was pressed

    // ---- controls ----
    QStringList List1;      // one row per frame
    QVector<bool> selected; // the rows' selection
    int listIndex = -1;     // the focused row
    QString txtFrequency = QStringLiteral("0.000000");
    QString txtFreqAvg;
    int scrollValue = 0, scrollMax = 0, scrollLargeChange = 1;

    // Reads the table of the sample and fills the controls: false (nothing shown) when it cannot be read.
    bool Load(const QString& path);
    int lastFrame() const { return int(frames.size() / 2) - 1; }
    double freq(int i) const { return frames[2 * i]; }
    double level(int i) const { return frames[2 * i + 1]; }

    // The scroll range for a client width in twips.
    void Resize(int clientWidthTwips);

    void List1_Click();
    void cmdSetValue_Click();
    void txtFreqAvg_Change(const QString& text);
    void lbSetKey_DblClick();
    void lbre_DblClick();
    void lbc_DblClick();
    void lbavg_DblClick();
    void lbx3_DblClick() { scale(3, 1); }
    void lbx2_DblClick() { scale(2, 1); }
    void lbs3_DblClick() { scale(1, 3); }
    void lbs2_DblClick() { scale(1, 2); }
    void lbHelp_Click();
    void OKButton_Click();
    void CancelButton_Click();

    // Lowest and highest selected row; the lowest is −1 when none is selected.
    void GetSelectionRange(int& first, int& last) const;
    // Whether the graph is to be redrawn (the form clears it).
    bool redraw = true;

private:
    void fillList();
    // Every selected frequency times `mul` divided by `div`.
    void scale(double mul, double div);
    void setFreq(int i, double f);
};

// The graph's scale: frames 60 twips apart, one semitone 75 twips, row i of the grid is note i + 6.
struct FreqGraph {
    static constexpr int kLeft = 4680;
    static constexpr int kPlotLeft = 4800;
    static constexpr double kTwipsPerSecond = 10335.9375;
    // y of a fractional note value n (the note number − 6): 4005 − 75 n.
    static double y(double n) { return 4005 - 75 * n; }
};

}  // namespace tova
