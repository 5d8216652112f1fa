// The note renderer as a program: the arguments of a render call by position.

#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/RenderRequest.h"

#include <QStringList>

#include <cstdio>
#include <exception>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
    try {
        const auto outcome = tova::vorsa::NoteRenderer::run(tova::vorsa::RenderRequest::fromArguments(arguments));
        if (!outcome.message.isEmpty()) std::fprintf(stderr, "vorsa: %s\n", outcome.message.toLocal8Bit().constData());
        return outcome.code;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "vorsa: %s\n", e.what());
        return tova::vorsa::NoteRenderer::OutputFailed;
    } catch (...) {
        std::fprintf(stderr, "vorsa: unknown failure\n");
        return tova::vorsa::NoteRenderer::OutputFailed;
    }
}
