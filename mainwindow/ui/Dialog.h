#pragma once

#include <QDialog>

class QLabel;

namespace tova {

// The about box: the program's title (or the TransformTitle setting), its version and its picture.
class Dialog : public QDialog {
    Q_OBJECT
public:
    explicit Dialog(QWidget* parent = nullptr);

private:
    void Form_Load();
    void OKButton_Click();
    QLabel* Label1_;
    QLabel* Label2_;
    QLabel* Picture1_;
};

}  // namespace tova
