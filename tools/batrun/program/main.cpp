// batrun: runs a batch file of the editor's batch dialect in place of the Windows command processor.
//   batrun BATCH [ARGUMENTS...]
// The batch runs in its own folder. Exit code 0 when it ran to its end, 1 when it stopped at a line it
// cannot run (named on standard error), 2 when the batch file cannot be read or no file was given.
#include "tools/batrun/BatchLineError.h"
#include "tools/batrun/BatchRunner.h"
#include "tools/batrun/EditorTie.h"
#include "tools/batrun/InProcessToolHost.h"

#include <unistd.h>

#include <cstdio>
#include <exception>
#include <string>

namespace {

// The folder of this program: programs named without a folder are looked for there too.
std::string programFolder(const char* argv0) {
    char self[4096];
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof self - 1);
    std::string path = n > 0 ? std::string(self, std::size_t(n)) : std::string(argv0);
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : (slash == 0 ? "/" : path.substr(0, slash));
}

}  // namespace

int main(int argc, char** argv) {
    // Started by the editor: ends when the editor ends, and tells it how the batch ended.
    tova::EditorTie::watchEditor();
    if (argc < 2) {
        std::fputs("usage: batrun BATCH [ARGUMENTS...]\n", stderr);
        return tova::EditorTie::reportExit(2);
    }
    const tova::BatchString folder = tova::batchText(programFolder(argv[0]));
    // The folder's own note renderer and concatenator run in process; other programs start as processes.
    tova::InProcessToolHost host(folder);
    tova::BatchStrings arguments;
    for (int i = 2; i < argc; ++i) arguments.push_back(tova::batchText(argv[i]));
    tova::BatchRunner runner(host, tova::BatchEnvironment::system(), folder);
    try {
        runner.run(tova::batchText(argv[1]), arguments);
    } catch (const tova::BatchLineError& e) {
        host.warn(u"batrun: " + e.message());
        return tova::EditorTie::reportExit(1);
    } catch (const std::exception& e) {
        host.warn(u"batrun: " + tova::batchText(e.what()));
        return tova::EditorTie::reportExit(2);
    }
    return tova::EditorTie::reportExit(0);
}
