#pragma once

#include <QMainWindow>

namespace tova {

// The main window: the piano roll with its menus.
class Form1 : public QMainWindow {
    Q_OBJECT
public:
    explicit Form1(QWidget* parent = nullptr);
};

}  // namespace tova
