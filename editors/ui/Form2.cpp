#include "editors/ui/Form2.h"

#include "core/FrqHeader.h"
#include "core/WaveFiles.h"
#include "core/ui/Twips.h"
#include "core/ui/frmEditBox.h"
#include "editors/ui/Placed.h"
#include "platform/EventGuard.h"
#include "platform/Ports.h"
#include "song/NoteArrays.h"

#include <QCheckBox>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

namespace tova {
namespace {

constexpr double kTwips = Twips::PerPixel;
constexpr int kBar = 255;

QPen cosmetic(QColor c) {
    QPen p(c);
    p.setWidth(0);
    return p;
}

int buttonOf(Qt::MouseButton b) { return b == Qt::LeftButton ? 1 : b == Qt::RightButton ? 2 : 4; }

}  // namespace

Form2::Form2(QWidget* owner) : ModelDialogOf(QStringLiteral("Form2"), QStringLiteral("ピッチエディタ"), owner) {
    resize(Twips::size(11970, 4515));
    setFocusPolicy(Qt::StrongFocus);
    const auto label = [this](const char* name, const char* caption, int x, int w) {
        placed<QLabel>(this, name, Twips::rect(x, 120, w, 195), QString::fromLatin1(caption));
    };
    const auto button = [this](const char* name, const QString& caption, QRect r) {
        auto* b = placed<QPushButton>(this, name, r, caption);
        b->setAutoDefault(false);
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    label("Label1", "zoom", 120, 495);
    cmdZoomIn = button("cmdZoomIn", QStringLiteral("+"), Twips::rect(600, 60, 315, 255));
    cmdZoomOut = button("cmdZoomOut", QStringLiteral("-"), Twips::rect(960, 60, 315, 255));
    label("Label5", "v-zoom", 1380, 555);
    cmdVZoomIn = button("cmdVZoomIn", QStringLiteral("+"), Twips::rect(1980, 60, 315, 255));
    cmdVZoomOut = button("cmdVZoomOut", QStringLiteral("-"), Twips::rect(2340, 60, 315, 255));
    label("Label4", "tool", 2760, 375);
    cmdStraight = button("cmdStraight", QStringLiteral("／"), Twips::rect(3120, 60, 315, 255));
    cmdCurve = button("cmdCurve", QStringLiteral("∫"), Twips::rect(3480, 60, 315, 255));
    cmdSetZero = button("cmdSetZero", QStringLiteral("0"), Twips::rect(3840, 60, 315, 255));
    label("Label3", "wave", 4260, 435);
    cmdVibrato = button("cmdVibrato", QStringLiteral("<"), Twips::rect(4740, 60, 255, 255));
    cmdVibrato2 = button("cmdVibrato2", QStringLiteral(">"), Twips::rect(5040, 60, 255, 255));
    cboVibrato = placed<QComboBox>(this, "cboVibrato", Twips::rect(5340, 60, 555, 300));
    cboVibrato->addItems(PitchEditor::VibratoAmplitudes);
    cboVibrato->setFocusPolicy(Qt::NoFocus);
    label("Label2", "mode", 6000, 495);
    static const char16_t* const tools[] = {u"・", u"─", u"∧", u"∩", u"∫", u"┴", u"F"};
    for (int i = 0; i < 7; ++i) {
        auto* b = button("optTool", QString::fromUtf16(tools[i]), Twips::rect(6480 + 360 * i, 60, 315, 255));
        b->setProperty("index", i);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        optTool[size_t(i)] = b;
        connect(b, &QPushButton::clicked, this, [this, i] { handle([&] { model().optTool_Click(i); }); });
    }
    cmdText = button("cmdText", QStringLiteral("T"), Twips::rect(9240, 60, 375, 255));
    Check1 = placed<QCheckBox>(this, "Check1", Twips::rect(9720, 60, 915, 255), QStringLiteral("old data"));
    Check1->setFocusPolicy(Qt::NoFocus);
    cmdReset = button("cmdReset", QStringLiteral("リセット"), Twips::rect(0, 0, 1095, 255));
    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(0, 0, 1095, 255));
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("キャンセル"), Twips::rect(0, 0, 1095, 255));
    HScroll1 = placed<QScrollBar>(this, "HScroll1", Twips::rect(0, 0, 11970, kBar), Qt::Horizontal);
    HScroll1->setRange(0, 0);
    HScroll1->setFocusPolicy(Qt::NoFocus);
    VScroll1 = placed<QScrollBar>(this, "VScroll1", Twips::rect(0, 0, kBar, 4515), Qt::Vertical);
    VScroll1->setRange(-12, 12);
    VScroll1->setFocusPolicy(Qt::NoFocus);

    const auto click = [this](QPushButton* b, void (PitchEditor::*f)()) {
        connect(b, &QPushButton::clicked, this, [this, f] { handle([&] { (model().*f)(); }); });
    };
    click(cmdZoomIn, &PitchEditor::cmdZoomIn_Click);
    click(cmdZoomOut, &PitchEditor::cmdZoomOut_Click);
    click(cmdVZoomIn, &PitchEditor::cmdVZoomIn_Click);
    click(cmdVZoomOut, &PitchEditor::cmdVZoomOut_Click);
    click(cmdSetZero, &PitchEditor::cmdSetZero_Click);
    click(cmdReset, &PitchEditor::cmdReset_Click);
    click(cmdVibrato, &PitchEditor::cmdVibrato_Click);
    click(cmdVibrato2, &PitchEditor::cmdVibrato2_Click);
    click(cmdOK, &PitchEditor::cmdOK_Click);
    click(cmdCancel, &PitchEditor::cmdCancel_Click);
    connect(cmdStraight, &QPushButton::clicked, this, [this] { handle([&] { model().MakeStraight(model().SelStart, model().SelEnd); }); });
    connect(cmdCurve, &QPushButton::clicked, this, [this] { handle([&] { model().MakeCurve(model().SelStart, model().SelEnd); }); });
    connect(cboVibrato, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboVibrato_Click(i); }); });
    connect(cmdText, &QPushButton::clicked, this, [this] { cmdText_Click(); });
    connect(Check1, &QCheckBox::clicked, this, [this](bool on) { handle([&] { model().Check1_Click(on); }); });
    connect(HScroll1, &QScrollBar::valueChanged, this, [this](int v) { handle([&] { model().HScroll1_Change(v); }); });
    connect(VScroll1, &QScrollBar::valueChanged, this, [this](int v) {
        EventGuard::runHandler([&] { model().VScroll1_Change(v); });
        update();
    });
    finishLoad();
}

void Form2::showLoadedModel() {
    handle([&] { model().Form_Load(); });
    setWindowTitle(model().caption());
    layOut();
}

void Form2::layOut() {
    const double w = width() * kTwips, h = height() * kTwips;
    cmdCancel->move(int((w - 1500) / kTwips), int((h - 600) / kTwips));
    cmdOK->move(int((w - 2700) / kTwips), int((h - 600) / kTwips));
    cmdReset->move(int((w - 3900) / kTwips), int((h - 600) / kTwips));
    HScroll1->setGeometry(0, height() - HScroll1->height(), width(), HScroll1->height());
    VScroll1->setGeometry(width() - VScroll1->width(), 0, VScroll1->width(), height() - HScroll1->height());
    EventGuard::runHandler([&] { model().Form_Resize(w, h); });
    refreshFromModel();
}

void Form2::resizeEvent(QResizeEvent* event) {
    ModelDialog::resizeEvent(event);
    layOut();
}

void Form2::refreshFromModel() {
    const PitchEditor& m = model();
    {
        const QSignalBlocker block(HScroll1);
        HScroll1->setRange(0, m.HScrollMax);
        HScroll1->setPageStep(m.HScrollLargeChange);
        HScroll1->setValue(m.HScrollValue);
    }
    {
        const QSignalBlocker block(VScroll1);
        VScroll1->setValue(m.VScrollValue);
    }
    {
        const QSignalBlocker block(Check1);
        Check1->setVisible(m.Check1Visible);
        Check1->setChecked(m.Check1);
    }
    {
        const QSignalBlocker block(cboVibrato);
        cboVibrato->setCurrentIndex(m.cboVibrato);
    }
    for (int i = 0; i < 7; ++i) optTool[size_t(i)]->setChecked(m.ToolIndex == i);
    update();
}

void Form2::paintEvent(QPaintEvent*) {
    const PitchEditor& m = model();
    QPainter p(this);
    p.scale(1 / kTwips, 1 / kTwips);
    const double w = m.ScaleWidth, h = m.ScaleHeight;
    for (const PitchBand& b : m.ScaleBands())
        if (b.x2 > b.x1) p.fillRect(QRectF(b.x1, 0, b.x2 - b.x1, h), QColor(b.r, b.g, b.b));
    p.setPen(cosmetic(QColor(128, 192, 255)));
    p.drawPolyline(m.WaveformLine());
    p.setPen(cosmetic(QColor(128, 128, 255)));
    p.drawLine(QLineF(m.NoteStartMarkX(), 0, m.NoteStartMarkX(), h));
    p.setPen(cosmetic(QColor(255, 128, 128)));
    p.drawLine(QLineF(m.NoteEndMarkX(), 0, m.NoteEndMarkX(), h));
    p.setPen(cosmetic(QColor(255, 0, 255)));
    p.drawLine(QLineF(0, m.OriginY, w, m.OriginY));
    p.setPen(cosmetic(QColor(128, 128, 128)));
    for (int k = 1; k <= 7; ++k) {
        p.drawLine(QLineF(0, m.OriginY + m.VZoom * 10.0 * k, w, m.OriginY + m.VZoom * 10.0 * k));
        p.drawLine(QLineF(0, m.OriginY - m.VZoom * 10.0 * k, w, m.OriginY - m.VZoom * 10.0 * k));
    }
    p.setPen(palette().color(QPalette::WindowText));
    const QFontMetricsF fm(font());
    for (const auto& [x, text] : m.TimeLabels()) {
        if (x > w) break;
        p.save();
        p.translate(x, 360);
        p.scale(kTwips, kTwips);
        p.drawText(QPointF(0, fm.ascent()), text);
        p.restore();
    }
    // Segments and handles: only those that reach into the window.
    const QPen blue = cosmetic(QColor(0, 0, 255)), red = cosmetic(QColor(255, 0, 0));
    const int outer = m.HandleOuterSize();
    const int count = int(std::min(m.Segment.size(), m.HandleLeft.size()));
    for (int i = 0; i < count; ++i) {
        if (!m.SegmentVisible[i]) continue;
        const QLineF& s = m.Segment[i];
        if (std::max(s.x1(), s.x2()) < 0 || std::min(s.x1(), s.x2()) > w) continue;
        p.setPen(m.IsPointSelected(i) ? red : blue);
        p.drawLine(s);
    }
    for (int i = 0; i < count; ++i) {
        if (!m.HandleVisible[i] || i == m.GrabbedHandle) continue;
        const double l = m.HandleLeft[i];
        if (l + outer < 0 || l > w) continue;
        p.fillRect(QRectF(l, m.HandleTop[i], outer, outer), m.IsPointSelected(i) ? QColor(255, 0, 0) : QColor(0, 0, 255));
    }
    if (m.GrabbedHandle >= 0 && m.GrabbedHandle < count) {
        const QRectF r(m.HandleLeft[m.GrabbedHandle], m.HandleTop[m.GrabbedHandle], 480, 240);
        p.fillRect(r, Qt::white);
        p.save();
        p.translate(r.topLeft());
        p.scale(kTwips, kTwips);
        p.setPen(QColor(64, 64, 64));
        p.drawText(QRectF(0, 0, r.width() / kTwips, r.height() / kTwips), Qt::AlignCenter,
                   PitchEditor::PointCaption(m.Points.value(m.GrabbedHandle)));
        p.restore();
    }
    if (m.Line1Visible) {
        p.setPen(cosmetic(m.Line1Black ? QColor(0, 0, 0) : QColor(255, 0, 0)));
        p.drawLine(QLineF(m.Line1X, 0, m.Line1X, h));
    }
    if (m.Line2Visible) {
        p.setPen(cosmetic(QColor(255, 0, 255)));
        p.drawLine(QLineF(m.Line2X, 0, m.Line2X, h));
    }
}

int Form2::handleAt(QPointF pixel) const {
    const PitchEditor& m = model();
    const QPointF t = pixel * kTwips;
    const double outer = m.HandleOuterSize() + kTwips;
    const int count = int(std::min(m.HandleLeft.size(), m.HandleVisible.size()));
    for (int i = count - 1; i >= 0; --i) {
        if (!m.HandleVisible[i]) continue;
        if (QRectF(m.HandleLeft[i], m.HandleTop[i], outer, outer).contains(t)) return i;
    }
    return -1;
}

void Form2::mousePressEvent(QMouseEvent* event) {
    setFocus();
    const QPointF t = event->position() * kTwips;
    const int i = handleAt(event->position());
    if (i >= 0) {
        grabbed_ = i;
        handle([&] { model().lbTone_MouseDown(i, buttonOf(event->button()), t.x() - model().HandleLeft[i], t.y() - model().HandleTop[i]); });
        return;
    }
    surfaceDrag_ = true;
    handle([&] { model().Form_MouseDown(buttonOf(event->button()), t.x(), t.y()); });
}

void Form2::mouseMoveEvent(QMouseEvent* event) {
    const QPointF t = event->position() * kTwips;
    if (grabbed_ >= 0) {
        const int i = grabbed_;
        EventGuard::runHandler([&] { model().lbTone_MouseMove(i, t.x() - model().HandleLeft[i], t.y() - model().HandleTop[i]); });
        update();
    } else if (surfaceDrag_) {
        handle([&] { model().Form_MouseMove(t.x(), t.y()); });
    }
}

void Form2::mouseReleaseEvent(QMouseEvent* event) {
    const QPointF t = event->position() * kTwips;
    if (grabbed_ >= 0) {
        grabbed_ = -1;
        handle([&] { model().lbTone_MouseUp(); });
    } else if (surfaceDrag_) {
        surfaceDrag_ = false;
        handle([&] { model().Form_MouseUp(t.x()); });
    }
}

void Form2::keyPressEvent(QKeyEvent* event) {
    int code = 0;
    if (event->key() == Qt::Key_Delete) code = 46;
    else if (event->key() >= Qt::Key_A && event->key() <= Qt::Key_Z) code = event->key();
    const bool ctrlOnly = (event->modifiers() & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier)) == Qt::ControlModifier;
    if (code != 0) handle([&] { model().Form_KeyDown(code, ctrlOnly, Ports::clipboard()); });
    if (!event->text().isEmpty() && event->key() != Qt::Key_Escape && event->key() != Qt::Key_Return &&
        event->key() != Qt::Key_Enter)
        handle([&] { model().Form_KeyPress(event->text().at(0)); });
    ModelDialog::keyPressEvent(event);
}

void Form2::cmdText_Click() {
    QString before, after;
    if (!handle([&] { before = model().AllValuesText(); })) return;
    after = before;
    frmEditBox::EditText(after, this);
    handle([&] { model().ApplyValuesText(before, after, Ports::messageBox()); });
}

bool Form2::EditPitchCurve(PitchCurveArgs& args, const PitchWave& sample, qint32 frqFrames, const PitchWave* cache,
                           QWidget* owner) {
    Form2 form(owner);
    form.model().load(args, sample, frqFrames, cache);
    form.showLoadedModel();
    const bool ok = form.showModal();
    if (ok && !form.model().Points.isEmpty()) args.pitchText = form.model().pitchText();
    return ok;
}

bool Form2::ShowPitchEditor(float tempo, const QString& voiceDir, const QString& cacheDir, qint32 index, NoteArrays& notes,
                            QWidget* owner) {
    QString cacheWave;
    PitchCurveArgs args = PitchCurveArgsOfNote(tempo, voiceDir, cacheDir, index, notes, cacheWave);
    const PitchWave sample = ReadPitchWave(args.wavePath);
    qint32 frames = 0;
    if (sample.read) {
        FrqHeader header;
        QVector<double> data;
        if (ReadFrqFile(header, data, args.wavePath)) frames = header.frameCount;
    }
    PitchWave cache;
    if (!cacheWave.isEmpty()) cache = ReadPitchWave(cacheWave);
    if (!EditPitchCurve(args, sample, frames, cacheWave.isEmpty() ? nullptr : &cache, owner)) return false;
    SetPitchText(notes.NoteExt[index], args.pitchText);
    return true;
}

}  // namespace tova
