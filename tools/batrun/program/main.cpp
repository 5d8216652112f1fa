// batrun: runs a batch file of the editor's batch dialect in place of the Windows command processor.
//   batrun BATCH [ARGUMENTS...]
// The batch runs in its own folder. Exit code 0 when it ran to its end, 1 when it stopped at a line it
// cannot run (named on standard error), 2 when the batch file cannot be read or no file was given.
#include "platform/Errors.h"
#include "tools/batrun/BatchLineError.h"
#include "tools/batrun/BatchRunner.h"
#include "tools/batrun/ProcessBatchHost.h"

#include <QCoreApplication>
#include <QProcessEnvironment>

#include <cstdio>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty()) {
        std::fputs("usage: batrun BATCH [ARGUMENTS...]\n", stderr);
        return 2;
    }
    tova::ProcessBatchHost host;
    tova::BatchRunner runner(host, QProcessEnvironment::systemEnvironment(), QCoreApplication::applicationDirPath());
    try {
        runner.run(args[0], args.mid(1));
    } catch (const tova::BatchLineError& e) {
        host.warn(QStringLiteral("batrun: ") + e.message());
        return 1;
    } catch (const tova::TovaError& e) {
        host.warn(QStringLiteral("batrun: ") + e.description());
        return 2;
    } catch (const std::exception& e) {
        host.warn(QStringLiteral("batrun: ") + QString::fromLocal8Bit(e.what()));
        return 2;
    }
    return 0;
}
