#pragma once

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace tova {

// The multi-line text editor of the program with only a Close button. However it is closed (the button,
// the window's close box, Escape) the edited text is kept.
class frmEditBox : public QDialog {
    Q_OBJECT
public:
    // Shows the editor modally over the owner with `text` in it, all selected; afterwards `text` holds
    // the edited text. Line breaks are CR LF on both sides.
    static void EditText(QString& text, QWidget* owner);
    // Shows `text` to read (a readme) modally over the owner, titled `caption`: larger, lines wrapped,
    // from the top, nothing selected; it cannot be changed.
    static void ShowText(const QString& caption, const QString& text, QWidget* owner);

    QPlainTextEdit* Text1;
    QPushButton* cmdClose;

    void done(int result) override;

private:
    explicit frmEditBox(QWidget* owner, const QString& text);
    QString text_;
};

}  // namespace tova
