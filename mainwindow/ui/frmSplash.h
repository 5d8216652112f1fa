#pragma once

#include <QDialog>

class QLabel;

namespace tova {

// The splash window shown while the program starts: the program's title and version. Any key closes it.
class frmSplash : public QDialog {
    Q_OBJECT
public:
    explicit frmSplash(QWidget* parent = nullptr);
    void CloseSplash();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Form_Load();
    QLabel* lblProductName_;
    QLabel* lblVersion_;
};

}  // namespace tova
