// The note renderer as a program: the arguments of a render call by position, as the system gives
// them (UTF-8 bytes).

#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/RenderRequest.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    try {
        const auto outcome = tova::vorsa::NoteRenderer::run(tova::vorsa::RenderRequest::fromArguments(arguments));
        if (!outcome.message.empty()) std::fprintf(stderr, "vorsa: %s\n", outcome.message.c_str());
        return outcome.code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorsa: %s\n", e.what());
        return tova::vorsa::NoteRenderer::OutputFailed;
    } catch (...) {
        std::fprintf(stderr, "vorsa: unknown failure\n");
        return tova::vorsa::NoteRenderer::OutputFailed;
    }
}
