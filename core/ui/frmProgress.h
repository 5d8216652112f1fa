#pragma once

#include "core/SlideClock.h"

#include <QPointer>
#include <QWidget>

#include <cstdint>

class QLabel;
class QProgressBar;

namespace tova {

// The progress window of long jobs: a small borderless window with a bar, a status text and a "×" stop
// link, hanging from the top edge of an anchor window and owned by an owner window that is disabled
// while the job runs. There is one program-wide window: `form()` loads it when needed and `Finish`
// unloads it.
class frmProgress : public QWidget {
    Q_OBJECT
public:
    // The loaded window, loading it first when it is not.
    static frmProgress& form();
    static bool isLoaded();

    // Sets the bar to minimum..maximum with the value minimum and places the window at the anchor;
    // with `animate` shows it owned by the owner, disables the owner and slides the window in.
    void Start(int minimum, int maximum, int durationMs, QWidget* anchor, QWidget* owner, bool animate);
    // Lays the window out for the widest status text it will show, at the font it is shown in: the text
    // line grows to the font's height and the text's width, the bar, the stop link and the window with
    // it. Called before the window is shown: a shown window is not resized under the user's eyes.
    void FitText(const QString& widest);
    // Status text and bar value; repaints.
    void SetStatus(const QString& text, std::int16_t value);
    // Turns animation on, the bar value to 0, and shows the window again (owned by the owner).
    void Restart();
    // Slides out (when animated), enables and repaints the owner, handles pending events and unloads.
    // Never fails: the owner is always enabled again.
    void Finish();

    void SlideIn();
    void SlideOut();

    bool animate() const { return animate_; }
    int fullHeight() const { return fullHeight_; }
    int durationMs() const { return durationMs_; }
    QWidget* anchor() const { return anchor_; }
    QWidget* owner() const { return owner_; }
    void setClock(SlideClock* clock) { clock_ = clock ? clock : &SlideClock::real(); }

    QWidget* Picture1;
    QLabel* Image1;
    QLabel* Label1;
    QProgressBar* ProgressBar1;
    QLabel* Label2;

protected:
    void changeEvent(QEvent* event) override;

private:
    frmProgress();
    void placeAtAnchor();
    void setSlideHeight(int height);
    void Label2_Click();

    static QPointer<frmProgress>& loaded();

    bool animate_ = false;
    int fullHeight_ = 0;
    bool slidIn_ = false;  // shown at its whole height, between the slide in and the slide out
    int durationMs_ = 0;
    QPointer<QWidget> anchor_;
    QPointer<QWidget> owner_;
    SlideClock* clock_ = &SlideClock::real();
};

}  // namespace tova
