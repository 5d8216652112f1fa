#include "core/ui/InputBoxDialogPort.h"
#include "mainwindow/ui/Form1.h"
#include "platform/ui/QtPorts.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tova"));
    tova::installQtPorts();
    tova::installInputBoxDialogPort();
    tova::Form1 w;
    w.show();
    return QApplication::exec();
}
