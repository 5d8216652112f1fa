#include "mainwindow/ui/Form1.h"

#include <QMenuBar>

namespace tova {

Form1::Form1(QWidget* parent) : QMainWindow(parent) {
    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("新規プロジェクト - tova"));
    QMenu* file = menuBar()->addMenu(QStringLiteral("ファイル(&F)"));
    file->setObjectName(QStringLiteral("mnFile"));
    QAction* exit = file->addAction(QStringLiteral("終了(&X)"));
    exit->setObjectName(QStringLiteral("mnExit"));
    connect(exit, &QAction::triggered, this, &QWidget::close);
    resize(1000, 700);
}

}  // namespace tova
