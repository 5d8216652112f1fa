#pragma once

#include <QDialog>

class QLabel;
class QPushButton;

namespace tova {

// The wait window shown while the render batch runs: its one button stops the waiting (sets
// `WaitAbort` to 1); the batch itself keeps running. Shown modeless, owned by the main window, which is
// disabled meanwhile: the wait window stays usable while its owner is disabled.
class frmShowRunning : public QDialog {
    Q_OBJECT
public:
    explicit frmShowRunning(QWidget* owner = nullptr);

    QLabel* Label1;
    QPushButton* Command1;

protected:
    void changeEvent(QEvent* event) override;

private:
    void Command1_Click();
};

}  // namespace tova
