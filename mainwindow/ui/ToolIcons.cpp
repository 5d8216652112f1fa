#include "mainwindow/ui/ToolIcons.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

namespace tova {

namespace {

constexpr int kW = 18;
constexpr int kH = 16;
const QColor kInk(40, 48, 64);

void triangle(QPainter& p, QPointF a, QPointF b, QPointF c) { p.drawPolygon(QPolygonF{a, b, c}); }

void magnifier(QPainter& p, bool plus) {
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QRectF(2, 1.5, 9, 9));
    p.drawLine(QPointF(10, 10), QPointF(15, 15));
    p.drawLine(QPointF(4.5, 6), QPointF(8.5, 6));
    if (plus) p.drawLine(QPointF(6.5, 4), QPointF(6.5, 8));
}

void note(QPainter& p, QPointF at) {
    p.drawEllipse(QRectF(at.x(), at.y() + 6, 5, 4));
    p.drawLine(QPointF(at.x() + 5, at.y() + 8), QPointF(at.x() + 5, at.y()));
}

void letters(QPainter& p, const QString& text, int size = 8) {
    QFont f = p.font();
    f.setPixelSize(size);
    f.setBold(true);
    p.setFont(f);
    p.drawText(QRect(0, 0, kW, kH), Qt::AlignCenter, text);
}

void envelope(QPainter& p, bool outer) {
    p.setBrush(Qt::NoBrush);
    if (outer) {
        p.drawPolyline(QPolygonF{{1, 14}, {4, 3}, {8, 3}, {11, 14}});
        p.drawPolyline(QPolygonF{{7, 14}, {10, 3}, {14, 3}, {17, 14}});
    } else {
        p.drawPolyline(QPolygonF{{1, 14}, {2, 3}, {8, 3}, {12, 14}});
        p.drawPolyline(QPolygonF{{6, 14}, {10, 3}, {16, 3}, {17, 14}});
    }
}

}  // namespace

QIcon ToolIcons::icon(const QString& name) {
    QPixmap pm(kW, kH);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(kInk, 1.4));
    p.setBrush(kInk);
    if (name == u"optMode0") {
        triangle(p, {5, 1}, {5, 14}, {13, 9});
    } else if (name == u"optMode1") {
        p.drawLine(QPointF(3, 14), QPointF(14, 3));
        p.drawLine(QPointF(3, 14), QPointF(6, 13));
        p.drawLine(QPointF(12, 2), QPointF(15, 5));
    } else if (name == u"cmdZoomIn") {
        magnifier(p, true);
    } else if (name == u"cmdZoomOut") {
        magnifier(p, false);
    } else if (name == u"cmdGoTop") {
        p.drawLine(QPointF(3, 2), QPointF(3, 14));
        triangle(p, {14, 2}, {14, 14}, {5, 8});
    } else if (name == u"cmdGoEnd") {
        p.drawLine(QPointF(15, 2), QPointF(15, 14));
        triangle(p, {4, 2}, {4, 14}, {13, 8});
    } else if (name == u"cmdNoteTop") {
        p.drawLine(QPointF(2, 2), QPointF(2, 14));
        note(p, {5, 3});
        triangle(p, {16, 5}, {16, 11}, {12, 8});
    } else if (name == u"cmdNoteLast") {
        p.drawLine(QPointF(16, 2), QPointF(16, 14));
        note(p, {8, 3});
        triangle(p, {2, 5}, {2, 11}, {6, 8});
    } else if (name == u"cmdLyricRepl") {
        letters(p, QStringLiteral("あ→"), 8);
    } else if (name == u"cmdLyricIns") {
        letters(p, QStringLiteral("+あ"), 8);
    } else if (name == u"cmdInsR") {
        letters(p, QStringLiteral("+R"), 9);
    } else if (name == u"btnPlay") {
        triangle(p, {5, 2}, {5, 14}, {14, 8});
    } else if (name == u"btnPause") {
        p.drawRect(QRectF(4, 3, 3, 10));
        p.drawRect(QRectF(11, 3, 3, 10));
    } else if (name == u"btnStop") {
        p.drawRect(QRectF(4, 3, 10, 10));
    } else if (name == u"chkMidiIn") {
        note(p, {6, 2});
        p.drawLine(QPointF(1, 14), QPointF(17, 14));
    } else if (name == u"chkMidiCnn") {
        letters(p, QStringLiteral("IN"), 8);
    } else if (name == u"chkMidiMon") {
        letters(p, QStringLiteral("OUT"), 7);
    } else if (name == u"chkSyncScroll") {
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(QRectF(3, 2, 12, 12));
        p.drawLine(QPointF(9, 8), QPointF(9, 4));
        p.drawLine(QPointF(9, 8), QPointF(12, 9));
    } else if (name == u"cmdAcceptAutoCorrect") {
        letters(p, QStringLiteral("A"), 10);
    } else if (name == u"cmdCrossFadeEnv") {
        envelope(p, false);
    } else if (name == u"cmdCrossFadeEnv2") {
        envelope(p, true);
    } else if (name == u"cmdCorrectCrossFade") {
        envelope(p, false);
        p.setPen(QPen(QColor(200, 40, 40), 1.6));
        p.drawLine(QPointF(9, 1), QPointF(9, 15));
    } else if (name == u"cmdResetEnvelop") {
        p.setBrush(Qt::NoBrush);
        p.drawPolyline(QPolygonF{{1, 14}, {3, 4}, {15, 4}, {17, 14}});
        p.drawArc(QRectF(5, 6, 8, 7), 30 * 16, 300 * 16);
    }
    return QIcon(pm);
}

QPixmap ToolIcons::bandPicture() {
    QPixmap pm(20, 40);
    QPainter p(&pm);
    QLinearGradient g(0, 0, 0, 40);
    g.setColorAt(0, QColor(236, 240, 247));
    g.setColorAt(0.5, QColor(220, 227, 238));
    g.setColorAt(1, QColor(204, 213, 228));
    p.fillRect(pm.rect(), g);
    return pm;
}

}  // namespace tova
