#include "editors/ui/frmNotePropEx.h"

#include "core/ui/Twips.h"
#include "editors/ui/Placed.h"
#include "platform/EventGuard.h"

#include <QCheckBox>
#include <QHelpEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QToolTip>

namespace tova {
namespace {

constexpr double kTwips = Twips::PerPixel;
// Twips the graph gives up at its foot so that a handle on the bottom line ends above the bottom row.
constexpr double kGraphClearance = EnvelopeEditor::HandleSize + 45;

// Top-row places: label x, box x, slot, label number.
struct TopItem {
    int labelX, boxX, slot, label;
    const char* caption;
};
constexpr TopItem kTopRow[] = {{60, 240, 0, 1, "p1"},     {720, 900, 3, 4, "v1"},     {1440, 1620, 1, 2, "p2"},
                               {2100, 2280, 4, 5, "v2"},  {2820, 3000, 10, 10, "p5"}, {3480, 3660, 11, 12, "v5"},
                               {4560, 4740, 2, 3, "p3"},  {5220, 5400, 5, 6, "v3"},   {5940, 6120, 9, 11, "p4"},
                               {6600, 6780, 6, 7, "v4"}};
constexpr int kSeparators[] = {1380, 2760, 4500, 5880};
constexpr int kButtonHeight = 375;

}  // namespace

frmNotePropEx::frmNotePropEx(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmNotePropEx"), QStringLiteral("エンベロープ"), owner) {
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    resize(Twips::size(7320, 2895));
    QFont boxFont(QStringLiteral("ＭＳ ゴシック"));
    boxFont.setStyleHint(QFont::Monospace);
    const auto box = [&](int slot, int x, int y) {
        const QByteArray name = "txtParam";
        auto* e = placed<QLineEdit>(this, name.constData(), Twips::rect(x, y, 435, 270));
        e->setProperty("index", slot);
        e->setFont(boxFont);
        connect(e, &QLineEdit::textEdited, this, [this, slot](const QString& t) { handle([&] { model().txtParam_Change(slot, t); }); });
        txtParam[size_t(slot)] = e;
    };
    const auto label = [&](int number, const char* caption, int x, int y) {
        const QByteArray name = "Label" + QByteArray::number(number);
        Label[size_t(number - 1)] = placed<QLabel>(this, name.constData(), Twips::rect(x, y, 180, 255), QString::fromLatin1(caption));
    };
    for (const TopItem& t : kTopRow) {
        label(t.label, t.caption, t.labelX, 90);
        box(t.slot, t.boxX, 60);
    }
    label(8, "pre", 60, 0);
    Label[7]->resize(Twips::size(300, 255));
    box(7, 360, 0);
    label(9, "ovl", 840, 0);
    Label[8]->resize(Twips::size(300, 255));
    box(8, 1140, 0);

    const auto button = [this](const char* name, const QString& caption, QRect r) {
        auto* b = placed<QPushButton>(this, name, r, caption);
        b->setAutoDefault(false);
        return b;
    };
    cmdP5 = button("cmdP5", QStringLiteral("e"), Twips::rect(4140, 60, 255, 255));
    cmdGen = button("cmdGen", QStringLiteral("原音値"), Twips::rect(1680, 0, 795, kButtonHeight));
    cmdGen->setToolTip(QStringLiteral("先行発声とオーバーラップを原音値に設定します"));
    cmdNormal = button("cmdNormal", QStringLiteral("正規化"), Twips::rect(2580, 0, 795, kButtonHeight));
    cmdNormal->setToolTip(QStringLiteral("不正なパラメータを正規化します"));
    cmdReset = button("cmdReset", QStringLiteral("リセット"), Twips::rect(3480, 0, 795, kButtonHeight));
    chkRelated = placed<QCheckBox>(this, "chkRelated", Twips::rect(4380, 0, 795, kButtonHeight), QStringLiteral("連動"));
    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(5220, 0, 975, kButtonHeight));
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("ｷｬﾝｾﾙ"), Twips::rect(6240, 0, 975, kButtonHeight));

    connect(cmdOK, &QPushButton::clicked, this, [this] { handle([&] { model().cmdOK_Click(); }); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { handle([&] { model().cmdCancel_Click(); }); });
    connect(cmdGen, &QPushButton::clicked, this, [this] { handle([&] { model().cmdGen_Click(); }); });
    connect(cmdNormal, &QPushButton::clicked, this, [this] { handle([&] { model().cmdNormal_Click(); }); });
    connect(cmdP5, &QPushButton::clicked, this, [this] { handle([&] { model().cmdP5_Click(); }); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { handle([&] { model().cmdReset_Click(); }); });
    connect(chkRelated, &QCheckBox::toggled, this, [this](bool on) { handle([&] { model().chkRelated = on; }); });
    finishLoad();
}

void frmNotePropEx::refreshFromModel() {
    for (size_t i = 0; i < txtParam.size(); ++i) {
        if (txtParam[i]->text() == model().EnvParams[i]) continue;
        const QSignalBlocker block(txtParam[i]);
        txtParam[i]->setText(model().EnvParams[i]);
    }
    const QSignalBlocker block(chkRelated);
    chkRelated->setChecked(model().chkRelated);
    update();
}

void frmNotePropEx::layOutBottomRow() {
    const EnvelopeEditor& m = model();
    // The row stands where the client area places it, below the graph.
    const int top = int((m.BottomRowTop + kGraphClearance) / kTwips);
    cmdCancel->move(width() - cmdCancel->width() - 4, top);
    cmdOK->move(cmdCancel->x() - cmdOK->width() - 4, top);
    for (QWidget* w : {static_cast<QWidget*>(txtParam[7]), static_cast<QWidget*>(txtParam[8]), static_cast<QWidget*>(cmdGen),
                       static_cast<QWidget*>(cmdNormal), static_cast<QWidget*>(chkRelated), static_cast<QWidget*>(cmdReset)})
        w->move(w->x(), top);
    Label[7]->move(Label[7]->x(), top + 4);
    Label[8]->move(Label[8]->x(), top + 4);
}

void frmNotePropEx::resizeEvent(QResizeEvent* event) {
    ModelDialog::resizeEvent(event);
    EventGuard::runHandler([this] {
        // The graph is given the client area less the room a handle needs: the handle at the right end
        // is not cut by the edge, and a handle at the bottom line stays clear of the bottom row of
        // buttons (a click on it must not press "ｷｬﾝｾﾙ").
        model().Form_Resize(width() * kTwips - EnvelopeEditor::HandleSize, height() * kTwips - kGraphClearance);
        layOutBottomRow();
    });
    update();
}

void frmNotePropEx::paintEvent(QPaintEvent*) {
    const EnvelopeEditor& m = model();
    QPainter p(this);
    p.scale(1 / kTwips, 1 / kTwips);
    const double w = width() * kTwips;
    p.setPen(QColor(160, 160, 160));
    for (int x : kSeparators) p.drawLine(QLineF(x, 0, x, 360));
    p.fillRect(QRectF(QPointF(90, 390), QPointF(w - 90, m.GraphBottom + 30)), Qt::white);
    const auto pen = [](QColor c) {
        QPen pen(c);
        pen.setWidthF(kTwips);
        return pen;
    };
    p.setPen(pen(QColor(255, 192, 255)));
    const double hundred = m.GraphBottom / 2 + 210;
    p.drawLine(QLineF(90, hundred, w - 75, hundred));
    p.setPen(pen(QColor(128, 128, 128)));
    p.drawLine(QLineF(m.PreMarkX, 390, m.PreMarkX, m.GraphBottom + 30));
    p.setPen(pen(QColor(0, 128, 255)));
    p.drawLine(QLineF(m.OverlapMarkX, 390, m.OverlapMarkX, m.GraphBottom + 30));
    p.setPen(pen(QColor(255, 0, 0)));
    for (size_t i = 0; i < m.LineFrom.size(); ++i) p.drawLine(QLineF(m.LineFrom[i], m.LineTo[i]));
    for (size_t h = 0; h < 5; ++h)
        p.fillRect(QRectF(m.HandleLeft[h], m.HandleTop[h], EnvelopeEditor::HandleSize, EnvelopeEditor::HandleSize),
                   QColor(255, 0, 0));
}

int frmNotePropEx::handleAt(QPoint pixel) const {
    const QPointF t(pixel.x() * kTwips, pixel.y() * kTwips);
    // The handle drawn last lies on top.
    for (int h = 4; h >= 0; --h) {
        const QRectF r(model().HandleLeft[size_t(h)], model().HandleTop[size_t(h)], EnvelopeEditor::HandleSize + kTwips,
                       EnvelopeEditor::HandleSize + kTwips);
        if (r.contains(t)) return h;
    }
    return -1;
}

void frmNotePropEx::mousePressEvent(QMouseEvent* event) {
    const int h = handleAt(event->position().toPoint());
    if (h < 0) return ModelDialog::mousePressEvent(event);
    dragged_ = h;
    const double x = event->position().x() * kTwips - model().HandleLeft[size_t(h)];
    const double y = event->position().y() * kTwips - model().HandleTop[size_t(h)];
    const int button = event->button() == Qt::LeftButton ? 1 : event->button() == Qt::RightButton ? 2 : 4;
    handle([&] { model().lbHandle_MouseDown(h, button, x, y); });
}

void frmNotePropEx::mouseMoveEvent(QMouseEvent* event) {
    if (dragged_ < 0) return;
    const size_t h = size_t(dragged_);
    const double x = event->position().x() * kTwips - model().HandleLeft[h];
    const double y = event->position().y() * kTwips - model().HandleTop[h];
    handle([&] { model().lbHandle_MouseMove(dragged_, x, y); });
}

void frmNotePropEx::mouseReleaseEvent(QMouseEvent* event) {
    if (dragged_ < 0) return ModelDialog::mouseReleaseEvent(event);
    dragged_ = -1;
    handle([&] { model().lbHandle_MouseUp(); });
}

bool frmNotePropEx::event(QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const int h = handleAt(help->pos());
        if (h >= 0) {
            static const char* const tips[] = {"p1", "p2", "p3", "p4", "p5"};
            QToolTip::showText(help->globalPos(), QString::fromLatin1(tips[h]), this);
            return true;
        }
    }
    return ModelDialog::event(event);
}

std::optional<bool> frmNotePropEx::ShowEnvelopeDialog(EnvelopeDialogArgs& args, QWidget* owner) {
    if (args.noteLengthMs == 0) return std::nullopt;
    frmNotePropEx form(owner);
    form.model().setUp(args);
    form.model().Form_Resize(form.width() * kTwips, form.height() * kTwips);
    form.layOutBottomRow();
    form.refreshFromModel();
    const bool ok = form.showModal();
    if (ok) form.model().writeBack(args);
    return ok;
}

}  // namespace tova
