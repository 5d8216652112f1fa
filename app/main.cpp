#include "core/ShellOpenPort.h"
#include "core/ui/QtShellOpen.h"
#include "mainwindow/Startup.h"
#include "mainwindow/ui/Form1.h"
#include "mainwindow/ui/ProgramPorts.h"
#include "platform/ui/QtPorts.h"
#include "platform/ui/QtTranslations.h"

#include "core/ui/ProgramFont.h"
#include "mainwindow/ProgramInfo.h"
#include "platform/ui/QtMessageBox.h"

#include <QApplication>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tova"));
    QApplication::setFont(tova::programFont());
    tova::QtMessageBox::setProgramTitle(tova::ProgramInfo::Title());
    tova::installQtPorts();
    tova::installQtTranslations();
    static tova::QtShellOpen shellOpen;
    tova::ShellOpenPort::install(&shellOpen);

    tova::ProgramPorts services;
    tova::Form1 w(services.ports());
    services.attach(&w);
    if (!w.start(tova::CommandLineText(QApplication::arguments().mid(1)))) return 0;
    w.show();
    const int code = QApplication::exec();
    services.attach(nullptr);
    return code;
}
