#include "commands/JobProgress.h"

#include "commands/EditContext.h"
#include "core/Processes.h"
#include "render/RenderProgress.h"

#include <QCoreApplication>

namespace tova {

namespace {
// The slide duration of the progress window, in milliseconds.
constexpr int kSlideMs = 200;
}  // namespace

JobProgress::JobProgress(EditContext& context, int maximum, bool shown) : context_(context) {
    StartProgress(maximum, shown);
}

void JobProgress::StartProgress(int maximum, bool shown) {
    StopRequested = 0;
    context_.progress().Start(0, maximum, kSlideMs, shown);
}

JobProgress::~JobProgress() { context_.progress().Finish(); }

void JobProgress::UpdateProgress(const QString& text, int value) { context_.progress().SetStatus(text, value); }

bool JobProgress::stopRequested() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents();
    return StopRequested != 0;
}

}  // namespace tova
