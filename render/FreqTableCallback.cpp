#include "render/FreqTableCallback.h"

#include "core/Processes.h"
#include "platform/Vb.h"
#include "render/RenderProgress.h"
#include "render/RenderWindow.h"

#include <QCoreApplication>

#include <atomic>

namespace tova {
namespace {

RenderWindow* gWindow = nullptr;
std::int32_t gTotal = 0;
std::atomic<std::int32_t> gConcurrentStop{0};

}  // namespace

std::int32_t ConcurrentFreqTableCallback(std::int32_t, std::int32_t) { return gConcurrentStop.load(); }

void SetConcurrentStop(std::int32_t stop) { gConcurrentStop.store(stop); }

void SetFreqTableWindow(RenderWindow* window) {
    gWindow = window;
    gTotal = 0;
}

std::int32_t FreqTableCallback(std::int32_t kind, std::int32_t value) {
    if (gWindow) {
        RenderProgress& progress = gWindow->Progress();
        if (kind == 1) {
            if (!progress.IsVisible()) {
                progress.Restart();
                gWindow->SetWindowEnabled(false);
                progress.SlideIn();
            }
            progress.SetMaximum(value);
            gTotal = value;
            progress.SetStatusText(QStringLiteral("周波数表(0%)"));
        } else if (kind == 0) {
            progress.SetValue(value);
            // A run that announced no frames counts as done nothing.
            const double share = gTotal > 0 ? double(value) / gTotal : 0.0;
            progress.SetStatusText(QStringLiteral("周波数表(") + Vb::Format(share, QStringLiteral("0%")) + u')');
        }
    }
    QCoreApplication::processEvents();
    return StopRequested;
}

}  // namespace tova
