// catena: appends one piece of a sound to the two parts of an output wave.
//   catena output input start-point length [p1 p2 p3 v1 v2 v3 v4 [overlap [p4 [p5 [v5]]]]]
#include "tools/catena/Catena.h"

#include <QCoreApplication>
#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QString errors;
    const int code = tova::Catena::runProgram(QCoreApplication::arguments().mid(1), errors);
    if (!errors.isEmpty()) std::fputs(errors.toLocal8Bit().constData(), stderr);
    return code;
}
