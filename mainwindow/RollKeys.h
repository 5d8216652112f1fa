#pragma once

namespace tova {

class MainWindow;

// Keys on the piano roll and its double click. The key codes are the virtual-key codes of letters
// (upper case), Enter 13, Left 37, Right 39; Shift is 0 none, 1 Shift, 2 Ctrl (any other state does
// nothing). The actions forward to the window's commands, by name through the command registry.
class RollKeys {
public:
    explicit RollKeys(MainWindow& window);
    void Picture2_KeyDown(int keyCode, int shift);
    // Acts on the note of the last press: the lyric box, or in the band under the note the note
    // property dialog (curve view and the parameter view switch on).
    void Picture2_DblClick();

private:
    void openLyricBox();
    MainWindow& w_;
};

}  // namespace tova
