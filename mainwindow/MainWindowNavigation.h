#pragma once

#include "mainwindow/NavigationWindow.h"

namespace tova {

class MainWindow;

// The main window as note navigation sees it: its song and selection, the drawn rectangles, the roll's
// scale and horizontal bar, and the lyric entry box "Text2" with the other text boxes of the window.
class MainWindowNavigation : public NavigationWindow {
public:
    explicit MainWindowNavigation(MainWindow& window);

    const NoteArrays& notes() const override;
    qint32 selStart() const override;
    qint32 selEnd() const override;
    void setSelection(qint32 start, qint32 end) override;
    void setCurNote(qint32 note) override;
    const NoteGeometryList& noteGeometry() const override;
    float zoom() const override;
    double rollInnerWidth() const override;
    double vScrollWidth() const override;
    const ScrollBarState& hScroll() const override;
    void setHScrollValue(int value) override;
    void DrawBackground() override;
    void DrawNotes() override;
    QString lyricEntryText() const override;
    void focusLyricEntry() override;
    QString focusedTextBox() const override;
    void sendSelectAll(const QString& box) override;

private:
    MainWindow& w_;
};

}  // namespace tova
