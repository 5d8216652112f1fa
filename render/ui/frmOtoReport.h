#pragma once

#include <QDialog>

class QCheckBox;
class QPlainTextEdit;
class QPushButton;

namespace tova {

// The voice-bank check report ("原音レポート"): the report text in a box that takes no keys, a
// "表示しない" check box that switches the report off for later loads, and a close button. Closing
// the window stores the check box in the NoOtoReport setting.
class frmOtoReport : public QDialog {
    Q_OBJECT
public:
    explicit frmOtoReport(QWidget* owner = nullptr);

    // Shows the report modally over the owner, then unloads the window.
    static void ShowReport(const QString& report, QWidget* owner);

    void setReportText(const QString& report);

    QPlainTextEdit* Text1 = nullptr;
    QCheckBox* chkNoThankYou = nullptr;
    QPushButton* OKButton = nullptr;

    // Closing by any way (the button, the window's close box, Escape) unloads the window.
    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};

}  // namespace tova
