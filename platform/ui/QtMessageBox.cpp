#include "platform/ui/QtMessageBox.h"

#include "platform/MessageText.h"
#include "platform/ui/DialogOwner.h"

#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QList>
#include <QMessageBox>

namespace tova {

namespace {

// The bounded text cut further, from its end, until its lines as the box wraps them fit the height the
// screen leaves for them: lines of wide characters wrap into several rows on a small screen.
QString fitToScreen(const QString& text, const QFontMetrics& metrics, const QRect& screen) {
    // The box wraps its text at most a little narrower than the screen or 1000 pixels; wrapping at
    // words takes some more rows than the width alone gives.
    const int width = qMax(200, qMin(screen.width(), 1000) - 160);
    const int rowsAllowed = qMax(3, (screen.height() - 220) / qMax(1, metrics.lineSpacing()));
    const QStringList lines = text.split(u'\n');
    int rows = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        rows += 1 + int(qint64(metrics.horizontalAdvance(lines[i])) * 5 / 4 / width);
        if (rows > rowsAllowed) return (lines.mid(0, qMax<qsizetype>(1, i - 1)) << QStringLiteral("…")).join(u'\n');
    }
    return text;
}

// Not the application's display name: the window system would append that to every window's title.
QString& storedProgramTitle() {
    static QString title;
    return title;
}
}  // namespace

QString QtMessageBox::programTitle() {
    const QString& t = storedProgramTitle();
    return t.isEmpty() ? QApplication::applicationName() : t;
}

void QtMessageBox::setProgramTitle(const QString& title) { storedProgramTitle() = title; }

MsgResult QtMessageBox::show(const MessageRequest& r) {
    QMessageBox box(dialogOwner());
    box.setWindowTitle(r.title.isEmpty() ? programTitle() : r.title);
    // Never a box past the screen: the text is bounded (an outsized line or list of lines is cut), and
    // shown as plain text, so nothing in it is taken for markup.
    box.setTextFormat(Qt::PlainText);
    const QScreen* screen = box.screen() ? box.screen() : QGuiApplication::primaryScreen();
    const QString bounded = BoundedMessageText(r.text);
    box.setText(screen ? fitToScreen(bounded, QFontMetrics(box.font()), screen->availableGeometry()) : bounded);
    switch (r.icon) {
        case MsgIcon::Critical: box.setIcon(QMessageBox::Critical); break;
        case MsgIcon::Question: box.setIcon(QMessageBox::Question); break;
        case MsgIcon::Exclamation: box.setIcon(QMessageBox::Warning); break;
        case MsgIcon::Information: box.setIcon(QMessageBox::Information); break;
        case MsgIcon::None:
            // A Yes/No question that names no icon (the save question) still shows the question mark.
            if (r.buttons == MsgButtons::YesNo || r.buttons == MsgButtons::YesNoCancel) box.setIcon(QMessageBox::Question);
            break;
    }
    struct B { QMessageBox::StandardButton qt; MsgResult res; };
    QList<B> buttons;
    switch (r.buttons) {
        case MsgButtons::OK: buttons = {{QMessageBox::Ok, MsgResult::OK}}; break;
        case MsgButtons::OKCancel: buttons = {{QMessageBox::Ok, MsgResult::OK}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
        case MsgButtons::AbortRetryIgnore:
            buttons = {{QMessageBox::Abort, MsgResult::Abort}, {QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Ignore, MsgResult::Ignore}};
            break;
        case MsgButtons::YesNoCancel:
            buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}, {QMessageBox::Cancel, MsgResult::Cancel}};
            break;
        case MsgButtons::YesNo: buttons = {{QMessageBox::Yes, MsgResult::Yes}, {QMessageBox::No, MsgResult::No}}; break;
        case MsgButtons::RetryCancel: buttons = {{QMessageBox::Retry, MsgResult::Retry}, {QMessageBox::Cancel, MsgResult::Cancel}}; break;
    }
    QMessageBox::StandardButtons all;
    for (const B& b : buttons) all |= b.qt;
    box.setStandardButtons(all);
    box.setDefaultButton(buttons.value(qBound(0, r.defaultButton, int(buttons.size()) - 1)).qt);
    int answer = box.exec();
    for (const B& b : buttons)
        if (answer == b.qt) return b.res;
    // Closed by its frame: the cancel-like answer.
    if (r.buttons == MsgButtons::YesNo) return MsgResult::No;
    if (r.buttons == MsgButtons::OK) return MsgResult::OK;
    return MsgResult::Cancel;
}

}  // namespace tova
