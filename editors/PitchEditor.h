#pragma once

#include "core/DialogModel.h"

#include <QLineF>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>
#include <QVector>

#include <utility>

namespace tova {

class ClipboardPort;
class MessageBoxPort;

// A wave as the pitch editor draws it: rate, channels, data size and block align of its header and
// its 16-bit samples (channels interleaved). `read` is false for a missing or unusable file, which
// gives 44100 Hz, one channel, data size 2, block align 2 and one sample.
struct PitchWave {
    bool read = false;
    qint32 sampleRate = 44100;
    qint16 channels = 1;
    qint32 dataSize = 2;
    qint16 blockAlign = 2;
    QVector<qint16> samples{0};
};
// Reads a sample or rendered wave. A header with a sample rate or block align of 0 counts as
// unreadable (every length in points divides by them).
PitchWave ReadPitchWave(const QString& path);

// The note the pitch editor opens: its pitch text (field 3 of the extension string) and timing.
struct PitchCurveArgs {
    float tempo = 120;        // tempo of the note
    QString pitchText;        // replaced on OK
    QString wavePath;         // the note's sample file (for the caption)
    qint32 offset = 0;        // oto offset, consonant and cutoff (ms)
    qint32 consonant = 0;
    qint32 cutoff = 0;
    qint32 lengthMs = 0;      // note length
    qint16 preutterance = 0;
    qint32 tail = 0;          // overlap minus pre-utterance of the next note
    float startPoint = 0;
};

// One filled box of the editor's background, in screen x (twips), full height.
struct PitchBand {
    double x1, x2;
    int r, g, b;
};

// The pitch editor (Form2) without widgets: the model of one note's pitch points, the view that maps
// them to screen twips (zoom, scroll, handles and segments), and the editing operations.
//
// Pitch text: blank-separated cents, one per point; a first token with "Q" (or "P") and the tempo,
// or an empty text, spaces the points one 96th of a beat apart; otherwise (old data) 256 samples
// apart. Points hold tenths of a semitone (token / 10), limited to -2048..2047 cents on reading.
// Model x is twips at zoom 1, 300 twips per 256 samples; screen x = model x / HZoom - ScrollX.
class PitchEditor : public DialogModel {
public:
    // ---- model ----
    QVector<qint16> Samples{0};
    bool WaveRead = false;
    qint32 LastPoint = 0;
    float TwipsPerSecond = 0;
    qint32 SampleRate = 44100;
    qint16 Channels = 1;
    qint32 SampleCount = 0;
    float SamplesPerPoint = 256;
    float Tempo = 120;
    QVector<float> Points;
    float PreX = 0, OffsetX = 0, ConsonantX = 0, LengthX = 0, TailX = 0, StartPointX = 0;
    double TotalX = 0;
    float WaveX = 0;
    QString WavePath;
    bool OldData = false;
    // Tokens of the text past the last point: written back after the points as they were read.
    QVector<qint32> BeyondTokens;

    // ---- view ----
    int HZoom = 2;
    int VZoom = 45;
    double ScrollX = 0;
    double OriginY = 0;
    double ScaleWidth = 11970, ScaleHeight = 4515;
    int HScrollValue = 0, HScrollMax = 0, HScrollLargeChange = 1;
    int VScrollValue = 0;  // -12..12
    QVector<double> HandleLeft, HandleTop;
    QVector<bool> HandleVisible;
    QVector<QLineF> Segment;  // lnTone: from point i to point i + 1
    QVector<bool> SegmentVisible;
    bool Loading = false;
    bool Check1 = false, Check1Visible = false;  // "old data"

    // ---- editing ----
    int SelStart = 0, SelEnd = 0;
    int InsertIndex = 0;
    bool Dragging = false, HandleDrag = false;
    int GrabbedHandle = -1;  // shown enlarged (480 x 240) while dragged
    double PressX = 0, PressY = 0;
    int ToolIndex = 0;
    int VibratoCycles = 0;
    int cboVibrato = 12;  // index into VibratoAmplitudes ("6")
    double Line1X = 0, Line2X = 0;
    bool Line1Visible = false, Line2Visible = false, Line1Black = false;

    static const QStringList VibratoAmplitudes;
    // The caption of a point's handle ("+00.0;-00.0").
    static QString PointCaption(float value);

    // Builds the model (steps 1 to 8 of the entry): `sample` is the note's sample file with its
    // frequency-table frame count, `cache` the rendered wave when it exists. Resets the display.
    void load(const PitchCurveArgs& args, const PitchWave& sample, qint32 frqFrames, const PitchWave* cache);
    // The pitch text for the points: the first value (with "Q" and the tempo unless old data), then
    // the values up to the last one that is not 0, then the tokens past the points; empty when all are 0.
    QString pitchText() const;
    // The window caption "ピッチエディタ " and the sample's file name.
    QString caption() const;

    // ---- view operations ----
    void Form_Load();
    void Form_Resize(double scaleWidth, double scaleHeight);
    void ApplyZoom();
    void Redraw(bool oldMode);
    void HScroll1_Change(int value);
    void VScroll1_Change(int value);
    void cmdZoomIn_Click();
    void cmdZoomOut_Click();
    void cmdVZoomIn_Click();
    void cmdVZoomOut_Click();
    void Check1_Click(bool checked);
    int HandleOuterSize() const { return HZoom <= 2 ? 75 : 45; }
    int HandleInnerSize() const { return HZoom <= 2 ? 30 : 15; }
    bool IsPointSelected(int index) const;
    // The model x of point i.
    double modelX(int i) const { return 300.0 * i * SamplesPerPoint / 256.0; }
    // DrawScale's boxes (steps 1 to 6), the two vertical marks (note start, end of note and tail) and
    // the time labels, in screen twips.
    QList<PitchBand> ScaleBands() const;
    double NoteStartMarkX() const;
    double NoteEndMarkX() const;
    QList<std::pair<double, QString>> TimeLabels() const;
    // The waveform as one polyline in screen twips from (0, OriginY): every fourth array element (times
    // the channel count), a vertex only where the pixel cell changes and only inside the window.
    QVector<QPointF> WaveformLine() const;

    // ---- editing ----
    void Form_MouseDown(int button, double x, double y);
    void Form_MouseMove(double x, double y);
    void Form_MouseUp(double x);
    // Handle events, the pointer in twips relative to the handle's top-left corner.
    void lbTone_MouseDown(int index, int button, double x, double y);
    void lbTone_MouseMove(int index, double x, double y);
    void lbTone_MouseUp();
    void SelectBetweenLines();
    void SetPointsAtX(double x, double y);
    void MakeStraight(int a, int b);
    void MakeCurve(int a, int b);
    void MakeCurveAlt(int a, int b, int mode);
    void cmdSetZero_Click();
    void cmdReset_Click();
    void cmdVibrato_Click();
    void cmdVibrato2_Click();
    void cboVibrato_Click(int index);
    void UpdateVibrato();
    void optTool_Click(int index) { ToolIndex = index; }
    void cmdOK_Click() { accept(); }
    void cmdCancel_Click() { reject(); }
    // Keys: Delete (46), Ctrl+A (65), Ctrl+C (67), Ctrl+X (88), Ctrl+V (86); `ctrlOnly` is Ctrl without
    // Shift or Alt. Characters "+" and "-" zoom vertically.
    void Form_KeyDown(int keyCode, bool ctrlOnly, ClipboardPort& clipboard);
    void Form_KeyPress(QChar c);
    void DeleteSelection();
    QString CopyText() const;
    void Paste(const QString& text);
    // "T": every value as text, and applying an edited text (asks first; false when nothing applied).
    QString AllValuesText() const;
    bool ApplyValuesText(const QString& before, const QString& after, MessageBoxPort& messages);

private:
    void ensureHandles(int count);
    void placePoint(int i);
    void shape(int a, int b, int kind);
};

}  // namespace tova

namespace tova {

struct NoteArrays;

// What the pitch editor needs of note `index` of a song: its tempo (`tempo` is the tempo in force
// before the note; the note's own usable `tempo` option replaces it), pitch text, timing from its own
// and the next note's pre-utterance and overlap, and its sample from the voice bank (through the
// prefix map, then the plain lyric). `cacheWave` receives the path of the note's rendered wave when
// one exists.
PitchCurveArgs PitchCurveArgsOfNote(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index,
                                    const NoteArrays& notes, QString& cacheWave);
// Replaces the pitch text (field 3) of an extension string, padding it to six fields.
void SetPitchText(QString& ext, const QString& text);

}  // namespace tova
