#include "mainwindow/ui/QtDefaultVoiceRunView.h"

#include "core/Processes.h"
#include "core/ui/frmProgress.h"

#include <QGuiApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>

namespace tova {

QString QtDefaultVoiceRunView::StatusText(const DefaultVoiceProgress::State& state) {
    return QStringLiteral("標準音源を作成中　") + state.text();
}

void QtDefaultVoiceRunView::open(const DefaultVoiceProgress::State& state) {
    StopRequested = 0;
    frmProgress& f = frmProgress::form();
    // Room for the longest text of the run: its counts reach the total in both stages.
    DefaultVoiceProgress::State widest = state;
    widest.done = widest.total;
    widest.tables = false;
    const QString speaking = StatusText(widest);
    widest.tables = true;
    const QString tables = StatusText(widest);
    const QFontMetrics fm = f.Label1->fontMetrics();
    f.FitText(fm.horizontalAdvance(tables) > fm.horizontalAdvance(speaking) ? tables : speaking);
    f.Start(0, qMax(1, state.total), 150, nullptr, nullptr, true);
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        f.move(area.center() - QPoint(f.width() / 2, f.fullHeight() / 2));
    }
    update(state);
}

void QtDefaultVoiceRunView::update(const DefaultVoiceProgress::State& state) {
    if (StopRequested != 0 || !frmProgress::isLoaded()) return;  // the window says that it stops
    frmProgress& f = frmProgress::form();
    f.ProgressBar1->setMaximum(qMax(1, state.total));
    f.SetStatus(StatusText(state), std::int16_t(qMin(state.done, qMax(1, state.total))));
}

bool QtDefaultVoiceRunView::stopRequested() { return StopRequested != 0; }

void QtDefaultVoiceRunView::close() {
    if (frmProgress::isLoaded()) frmProgress::form().Finish();
    StopRequested = 0;
}

}  // namespace tova
