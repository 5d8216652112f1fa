#pragma once
// Recording canvas, scripted drawing services and small songs for the note-layer tests.

#include "mainwindow/NoteDrawingServices.h"
#include "mainwindow/RollCanvas.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

#include <QList>
#include <QString>

namespace tova::test {

// One drawing call: 'L' line, 'B' outlined box, 'F' filled box, 'T' text.
struct DrawOp {
    char kind = 0;
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    int32_t color = 0;
    QString text;
};

// A canvas that records every call; texts are 100 twips a character wide.
class RecordingCanvas : public RollCanvas {
public:
    RecordingCanvas(double w, double h, double inner = -1) : w_(w), h_(h), inner_(inner < 0 ? w : inner) {}
    QList<DrawOp> ops;
    double width() const override { return w_; }
    double height() const override { return h_; }
    double scaleWidth() const override { return inner_; }
    void line(double x1, double y1, double x2, double y2, int32_t c) override { ops.append({'L', x1, y1, x2, y2, c, {}}); }
    void box(double x1, double y1, double x2, double y2, int32_t c) override { ops.append({'B', x1, y1, x2, y2, c, {}}); }
    void fillBox(double x1, double y1, double x2, double y2, int32_t c) override {
        ops.append({'F', x1, y1, x2, y2, c, {}});
    }
    void setFontSize(double p) override { size_ = p; }
    double fontSize() const override { return size_; }
    double textWidth(const QString& t) const override { return 100.0 * double(t.size()); }
    void print(double x, double y, const QString& t, int32_t c) override { ops.append({'T', x, y, 0, 0, c, t}); }

    QList<DrawOp> of(char kind) const {
        QList<DrawOp> r;
        for (const DrawOp& o : ops)
            if (o.kind == kind) r.append(o);
        return r;
    }
    // The texts printed, in order.
    QStringList texts() const {
        QStringList r;
        for (const DrawOp& o : ops)
            if (o.kind == 'T') r.append(o.text);
        return r;
    }
    // The first text op with this text; kind 0 when there is none.
    DrawOp text(const QString& t) const {
        for (const DrawOp& o : ops)
            if (o.kind == 'T' && o.text == t) return o;
        return {};
    }

private:
    double w_, h_, inner_, size_ = 9;
};

// The region lookup for tests: the name the test chose, for any selection.
class ScriptedServices : public NoteDrawingServices {
public:
    QString region;
    QString FindSelectionRegion(const NoteArrays&, qint32, qint32) const override { return region; }
};

// A song from (length, lyric, note number, extension) rows.
struct NoteRow {
    qint32 length;
    QString lyric;
    qint32 noteNum;
    QString ext;
};
inline NoteArrays makeSong(const QList<NoteRow>& rows) {
    NoteArrays n;
    n.resizeNotes(qint32(rows.size()));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        n.Lengths[i] = rows[i].length;
        n.Lyrics[i] = rows[i].lyric;
        n.NoteNums[i] = rows[i].noteNum;
        n.NoteExt[i] = rows[i].ext;
    }
    return n;
}
// An extension string whose option field holds the given list.
inline QString withOptions(const QString& options, const QString& timing = QString()) {
    return timing + QStringLiteral("\t\t\t\t\t") + options;
}

// Kana lyrics, rests, two labels, tempo changes (140 on note 5, 100 on note 9), envelopes (the one of
// note 9 too long for its note), mode-2 points with each segment shape and two vibratos.
inline NoteArrays pictureSong() {
    const QString sung = QStringLiteral("40:20:100\t100\t0\t\t\t");
    return makeSong({
        {1920, QStringLiteral("R"), 55, {}},
        {960, QStringLiteral("さ"), 55, sung + QStringLiteral("label=A\\nPBS=-40\\nPBW=80")},
        {960, QStringLiteral("く"), 57, sung + QStringLiteral("PBS=-40\\nPBW=60 40\\nPBY=5\\nPBM=s")},
        {1920, QStringLiteral("ら"), 59, sung + QStringLiteral("PBS=-40\\nPBW=80\\nPBM=r\\nVBR=65 180 35 20 20 0 0")},
        {960, QStringLiteral("R"), 59, {}},
        {960, QStringLiteral("は"), 59,
         QStringLiteral("30:10:100\t80\t0\t\tg-5B50\ttempo=140\\nPBS=-30;-20\\nPBW=50\\nPBM=j")},
        {960, QStringLiteral("な"), 57, sung + QStringLiteral("label=B\\nPBS=-40\\nPBW=40 40\\nPBM=r j")},
        {2880, QStringLiteral("きゃ"), 55,
         sung + QStringLiteral("PBS=-40\\nPBW=80\\nVBR=70 150 60 30 30 0 0\\nenv=0 20 40 0 100 90 0")},
        {960, QStringLiteral("R"), 55, {}},
        {960, QStringLiteral("ゆ"), 60, sung + QStringLiteral("tempo=100\\nPBS=-40\\nPBW=80\\nenv=0 300 300 0 100 100 0")},
        {1920, QStringLiteral("め"), 62, sung + QStringLiteral("PBS=-40\\nPBW=80")},
    });
}

// A song with what real projects carry on every note: kana lyrics, timing, envelope, mode-2 points,
// vibrato on long notes, older pitch data, labels and tempo changes here and there, rests.
inline NoteArrays realisticSong(int count) {
    static const QStringList kana = {QStringLiteral("あ"), QStringLiteral("きゃ"), QStringLiteral("さ"),
                                     QStringLiteral("R"), QStringLiteral("ソ"), QStringLiteral("ん")};
    NoteArrays n;
    n.resizeNotes(count);
    for (int i = 0; i < count; ++i) {
        n.Lyrics[i] = kana[i % kana.size()];
        n.Lengths[i] = 480 * (1 + i % 4);
        n.NoteNums[i] = 40 + (i * 7) % 24;
        QString ext = QStringLiteral("%1:%2:100\t100\t0\t-%3Q120 0 0 5 10 12 10 5 0 0\tg-5B40\t")
                          .arg(30 + i % 20)
                          .arg(5 + i % 7)
                          .arg(i % 50);
        SetNoteOption(ext, QStringLiteral("env"), QStringLiteral("0 5 35 0 100 100 0"));
        if (i % 16 == 0) SetNoteOption(ext, QStringLiteral("label"), QStringLiteral("区間 %1").arg(i));
        if (i % 64 == 0) SetNoteOption(ext, QStringLiteral("tempo"), QStringLiteral("132"));
        SetNoteOption(ext, QStringLiteral("PBS"), QStringLiteral("-40"));
        SetNoteOption(ext, QStringLiteral("PBW"), QStringLiteral("40 40"));
        SetNoteOption(ext, QStringLiteral("PBM"), QStringLiteral("r"));
        if (i % 4 == 3) SetNoteOption(ext, QStringLiteral("VBR"), QStringLiteral("65 180 35 20 20 0 0"));
        n.NoteExt[i] = ext;
    }
    return n;
}

}  // namespace tova::test
