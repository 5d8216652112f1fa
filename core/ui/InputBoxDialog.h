#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

namespace tova {

// The one-line input box of the program, with OK and Cancel. It keeps the text of its last OK between
// uses.
class InputBoxDialog : public QDialog {
    Q_OBJECT
public:
    // Shows the box modally over the owner, titled `caption`, with `text` in the field and selected.
    // True when the user pressed OK. Afterwards `text` holds the box's stored result: the text of this
    // OK, or after Cancel or closing the window the text of the last OK (callers use it only on true).
    // Closing the window by its frame answers false, whatever an earlier use answered.
    static bool ShowInput(QString& text, QWidget* owner, const QString& caption);

    QLabel* lblPrompt;
    QLineEdit* txtInput;
    QPushButton* OKButton;
    QPushButton* CancelButton;

private:
    explicit InputBoxDialog(QWidget* owner);
    void OKButton_Click();
    void CancelButton_Click();

    static QString& storedText();
    bool resultFlag_ = false;
};

}  // namespace tova
