#pragma once

#include "core/DialogModel.h"
#include "core/FrqHeader.h"
#include "core/WaveHeader.h"
#include "voicebank/SpectrumCache.h"
#include "voicebank/TimingDisplay.h"

#include <QString>
#include <QVector>

#include <array>
#include <cstdint>
#include <functional>

namespace tova {

class Tool2Calls;
class VoiceBankManager;
struct SampleRow;

// The graphical timing editor "frmOtoEdit" of one sample of the voice-bank manager's list: the sample's
// waveform (or spectrogram) with its five timing values as regions and draggable handles, zoom and
// scrolling, playback of the selected part through tool 2, and stepping through the list. Every finished
// drag is written into the manager's row at once. This class holds the window's state and runs its
// handlers; the form places its controls and paints `Redraw()`.
//
// All values are Doubles in units of one sample at 44100 Hz (milliseconds × 44.1), whatever the file's
// own rate; drawing positions are twips.
class TimingEditor : public DialogModel {
public:
    enum Marker { Offset = 0, Consonant = 1, Cutoff = 2, PreUtterance = 3, Overlap = 4 };
    static const std::array<QString, 5> kHandleTexts;
    static const std::array<QString, 6> kColourNames;

    // ---- inputs ----
    QString voiceFolder, cacheFolder;
    VoiceBankManager* manager = nullptr;
    bool managerVisible = true;
    Tool2Calls* tool = nullptr;

    // ---- the sample ----
    QString wavePath, captionText;
    WaveHeader header;
    QVector<std::int16_t> samples{0};
    QVector<double> pitchCurve{0};
    double rateFactor = 0;
    std::array<double, 5> value{};  // O, C, K, P, V
    double total = 0;               // T

    // ---- view ----
    double zoom = 2.0;
    double viewLeft = 0;
    double width = 9000, height = 4000;  // drawing area (twips)
    int scrollMax = 0, scrollValue = 0, scrollLargeChange = 1;
    bool modified = false;
    bool dragging = false;
    double dragStartX = 0;
    int result = -1;
    bool visible = false;  // the window is shown (the cache is built only then)
    bool loading = false;

    // ---- spectrum ----
    bool spectrumShown = false;
    bool noCache = false;
    int sldLevel = 1;
    double spectrumLevel = 2;
    int range = 160;
    int colourScheme = 0;
    std::array<std::uint32_t, 3> weights{65536, 256, 1};
    bool building = false;
    // Called while a cache is built (position, last index); true stops the build.
    std::function<bool(std::int64_t, std::int64_t)> buildProgress;
    // Called when a cache build starts and ends (the form shows its progress panel).
    std::function<void(bool started)> buildShown;

    // ---- entry ----
    // Prepares the editor for the manager's selected row: false when there is none (result 0).
    bool Begin(VoiceBankManager& m, const QString& voice, const QString& cache);
    void Form_Load();
    void Form_Unload();
    void LoadWave(int row);
    void ShowEntry();
    void CommitEntry();
    // Writes the values into the row, each in whole milliseconds; a value that was not changed since the
    // row was loaded keeps its text as it stands (85.5 stays 85.5).
    void StoreEntryFields(SampleRow& row) const;

    // ---- markers ----
    double used() const;  // U
    // Value of a handle whose left edge is at `left`, with the limits of dragging (`shift` 1: Shift alone).
    double valueAt(Marker m, double left, int shift) const;
    double markerX(Marker m) const;  // the line's drawing position
    double handleLeft(Marker m) const { return markerX(m) - 60; }
    QString hintText(Marker m, double v) const;
    // Mouse events on a handle: returns the hint text (down and move).
    QString dragDown(Marker m, double left, double x);
    QString dragMove(Marker m, double left, double x, double& newLeft);
    void dragUp(Marker m, double left, int shift);

    // ---- view ----
    void ScrollRange();
    void HScroll1_Change(int v);
    void ScrollToSample();
    void cmdZoomIn();
    void cmdZoomOut();
    void cmdDn() { step(+1); }
    void cmdUp() { step(-1); }
    void cmdOK() { result = 1, hidden = true; }
    void cmdCancel() { result = 0, hidden = true; }
    void SetScheme(int index);
    void SetRange(int index);
    void SetLevel(int slider);
    // "キャッシュしない" from the menu: true when the caches of the bank are to be deleted after asking.
    void mnNocache_Click();
    void chkNoCache_Click(bool checked);

    // ---- playback ----
    // Renders the selected part with tool 2 into the temporary folder's "temp.wav" and plays it.
    void PlayRange();
    static constexpr int kPlaybackTimeLimitMs = 20000;

    // ---- drawing ----
    TimingDisplay Redraw();
    void BuildSpectrumCache();
    // The colour of a spectrum value with the current scheme.
    std::uint32_t SpectrumColour(double v) const;
    double centre() const { return height / 2; }

private:
    void step(int delta);
    void drawWaveform(TimingDisplay& out) const;
    void drawSpectrum(TimingDisplay& out);
    int selectedRow() const;
    bool cacheUnwritable_ = false;
    std::array<double, 5> loadedValue_{};  // the values as the row gave them
};

}  // namespace tova
