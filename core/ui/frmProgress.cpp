#include "core/ui/frmProgress.h"

#include "core/Processes.h"
#include "core/Progress.h"
#include "core/ui/Twips.h"
#include "platform/EventGuard.h"

#include <QApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>

namespace tova {
namespace {

// A label that answers a click (press and release on it) like a link.
class LinkLabel : public QLabel {
public:
    LinkLabel(const QString& text, QWidget* parent, std::function<void()> onClick)
        : QLabel(text, parent), onClick_(std::move(onClick)) {
        setCursor(Qt::PointingHandCursor);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* e) override {
        QLabel::mouseReleaseEvent(e);
        if (e->button() == Qt::LeftButton && rect().contains(e->position().toPoint())) onClick_();
    }

private:
    std::function<void()> onClick_;
};

// The picture at the left of the panel: a small gauge glyph drawn once.
QPixmap gaugePicture(int size) {
    QPixmap pm(size, size);
    pm.fill(Qt::transparent);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(0x30, 0x60, 0xA0), 2));
    p.setBrush(QColor(0xE8, 0xF0, 0xFA));
    p.drawEllipse(QRectF(2, 2, size - 4, size - 4));
    p.drawLine(QPointF(size / 2.0, size / 2.0), QPointF(size * 0.78, size * 0.3));
    return pm;
}

}  // namespace

QPointer<frmProgress>& frmProgress::loaded() {
    static QPointer<frmProgress> form;
    return form;
}

frmProgress& frmProgress::form() {
    if (!loaded()) loaded() = new frmProgress();
    return *loaded();
}

bool frmProgress::isLoaded() { return !loaded().isNull(); }

frmProgress::frmProgress() : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("frmProgress"));
    setWindowTitle(QStringLiteral("Progress"));
    setAttribute(Qt::WA_DeleteOnClose);
    const QSize design = Twips::size(4800, 900);
    resize(design);

    auto* panel = new QFrame(this);
    panel->setFrameShape(QFrame::Box);
    panel->setFrameShadow(QFrame::Plain);
    Picture1 = panel;
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(Twips::rect(0, 0, 4800, 900));
    Picture1->setAutoFillBackground(true);

    Image1 = new QLabel(Picture1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(Twips::rect(120, 210, 480, 480));
    Image1->setPixmap(gaugePicture(Image1->width()));

    Label1 = new QLabel(Picture1);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(Twips::rect(720, 120, 3720, 270));

    ProgressBar1 = new QProgressBar(Picture1);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    ProgressBar1->setGeometry(Twips::rect(720, 480, 3720, 255));
    ProgressBar1->setTextVisible(false);

    Label2 = new LinkLabel(QStringLiteral("×"), Picture1, [this] { EventGuard::run([this] { Label2_Click(); }); });
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(Twips::rect(4500, 60, 240, 270));
    Label2->setAlignment(Qt::AlignCenter);
    QPalette link = Label2->palette();
    link.setColor(QPalette::WindowText, QColor(0x00, 0x33, 0xCC));
    Label2->setPalette(link);

    // Loading: the window starts with no height and grows when it slides in.
    fullHeight_ = design.height();
    resize(design.width(), 0);
}

void frmProgress::placeAtAnchor() {
    if (!anchor_) return;
    move(ProgressWindowOrigin(anchor_->mapToGlobal(QPoint(0, 0)), anchor_->width(), width()));
}

void frmProgress::Start(int minimum, int maximum, int durationMs, QWidget* anchor, QWidget* owner, bool animate) {
    anchor_ = anchor;
    owner_ = owner;
    durationMs_ = durationMs;
    animate_ = animate;
    placeAtAnchor();
    ProgressBar1->setMinimum(0);
    ProgressBar1->setMaximum(maximum);
    ProgressBar1->setMinimum(minimum);
    ProgressBar1->setValue(minimum);
    if (animate_) {
        if (owner_ && parentWidget() != owner_) setParent(owner_, windowFlags());
        show();
        if (owner_) owner_->setEnabled(false);
        SlideIn();
    }
}

void frmProgress::FitText(const QString& widest) {
    const QFontMetrics fm = Label1->fontMetrics();
    const QRect room = Label1->contentsRect();
    const int wider = std::max(0, fm.horizontalAdvance(widest) + 2 - room.width());
    const int taller = std::max(0, fm.height() - room.height());
    if (wider == 0 && taller == 0) return;
    Label1->resize(Label1->width() + wider, Label1->height() + taller);
    ProgressBar1->setGeometry(ProgressBar1->x(), ProgressBar1->y() + taller, ProgressBar1->width() + wider,
                              ProgressBar1->height());
    Image1->move(Image1->x(), Image1->y() + taller / 2);
    Label2->move(Label2->x() + wider, Label2->y());
    Picture1->resize(Picture1->width() + wider, Picture1->height() + taller);
    fullHeight_ += taller;
    resize(width() + wider, isVisible() ? fullHeight_ : height());
    if (isVisible()) Picture1->move(0, 0);
}

void frmProgress::SetStatus(const QString& text, std::int16_t value) {
    // A window manager may answer the slide's resizes after it ended, leaving the window at a height
    // of the slide: between the slides it always stands whole.
    if (slidIn_ && isVisible() && height() != fullHeight_) setSlideHeight(fullHeight_);
    Label1->setText(text);
    ProgressBar1->setValue(value);
    repaint();
}

void frmProgress::Restart() {
    animate_ = true;
    ProgressBar1->setValue(0);
    if (owner_ && parentWidget() != owner_) setParent(owner_, windowFlags());
    show();
}

void frmProgress::Finish() {
    try {
        if (animate_) SlideOut();
    } catch (...) {
    }
    try {
        if (owner_) {
            owner_->setEnabled(true);
            owner_->repaint();
        }
    } catch (...) {
    }
    try {
        QCoreApplication::processEvents();
    } catch (...) {
    }
    if (loaded() == this) loaded() = nullptr;
    hide();
    deleteLater();
}

void frmProgress::setSlideHeight(int height) {
    resize(width(), height);
    Picture1->move(0, height - fullHeight_);
}

void frmProgress::SlideIn() {
    clock_->restart();
    for (;;) {
        int h = SlideInHeight(float(fullHeight_), clock_->elapsedMs(), durationMs_);
        if (h >= fullHeight_) break;
        setSlideHeight(h);
        repaint();
        clock_->pause();
    }
    setSlideHeight(fullHeight_);
    slidIn_ = true;
    repaint();
}

void frmProgress::SlideOut() {
    slidIn_ = false;
    clock_->restart();
    for (;;) {
        qint64 remaining = qint64(durationMs_) - clock_->elapsedMs();
        int h = SlideOutHeight(float(fullHeight_), remaining, durationMs_);
        if (h < 1) break;
        setSlideHeight(h);
        repaint();
        if (anchor_) anchor_->repaint();
        clock_->pause();
    }
    setSlideHeight(0);
    repaint();
    if (anchor_) anchor_->repaint();
}

void frmProgress::Label2_Click() {
    StopRequested = -1;
    Label1->setText(QStringLiteral("中断します..."));
    Label1->repaint();
    QCoreApplication::processEvents();
}

void frmProgress::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    // The owner is disabled while the job runs; its progress window (and the stop link) must not be.
    if (event->type() == QEvent::EnabledChange && !isEnabled()) setEnabled(true);
}

}  // namespace tova
