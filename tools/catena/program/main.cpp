// catena: appends one piece of a sound to the two parts of an output wave.
//   catena output input start-point length [p1 p2 p3 v1 v2 v3 v4 [overlap [p4 [p5 [v5]]]]]
#include "tools/catena/Catena.h"

#include <QStringList>

#include <cstdio>

int main(int argc, char** argv) {
    // No application object: the arguments are all it needs, and it starts faster without one.
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    QString errors;
    const int code = tova::Catena::runProgram(arguments, errors);
    if (!errors.isEmpty()) std::fputs(errors.toLocal8Bit().constData(), stderr);
    return code;
}
