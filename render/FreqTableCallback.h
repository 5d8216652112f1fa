#pragma once

#include <cstdint>

namespace tova {

class RenderProgress;
class RenderWindow;

// The progress callback that the note renderer's library calls while it makes a sample's frequency
// table: kind 1 starts a run of `value` frames (showing the progress window when it is hidden and
// disabling the main window), kind 0 reports `value` frames done. Every call handles pending window
// events and answers `StopRequested` (0, or -1 when the user asked to stop).
std::int32_t FreqTableCallback(std::int32_t kind, std::int32_t value);

// The callback of notes rendered away from the window's thread: it shows nothing and answers the stop
// request as the window's thread last passed it on (SetConcurrentStop).
std::int32_t ConcurrentFreqTableCallback(std::int32_t kind, std::int32_t value);
void SetConcurrentStop(std::int32_t stop);

// The window whose progress display the callback drives while an in-process render runs (nullptr when
// none runs). The renderer sets it for the length of its note loop.
void SetFreqTableWindow(RenderWindow* window);

}  // namespace tova
