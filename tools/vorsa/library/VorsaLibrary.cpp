// The library form of the note renderer: `exec` with the thirteen texts and the progress callback.

#include "platform/lean/Cp932Text.h"
#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/RenderRequest.h"
#include "tools/vorsa/library/VorsaExec.h"

#include <string>
#include <vector>

extern "C" __attribute__((visibility("default"))) int32_t exec(
    const char* input, const char* output, const char* note, const char* velocity, const char* flags,
    const char* offset, const char* length, const char* consonant, const char* cutoff, const char* intensity,
    const char* modulation, const char* pitch1, const char* pitch2, VorsaProgressCallback callback) {
    try {
        std::vector<std::string> arguments;
        for (const char* text : {input, output, note, velocity, flags, offset, length, consonant, cutoff, intensity,
                                 modulation, pitch1, pitch2})
            arguments.push_back(text ? tova::lean::decodeMarkedCp932(text) : std::string());
        tova::vorsa::NoteRenderer::Progress progress;
        if (callback) progress = [callback](int kind, int value) { return static_cast<int>(callback(kind, value)); };
        // The library stays loaded for the editor's whole session: what it read of a sample serves the
        // following notes that use it.
        static tova::vorsa::SampleCache cache;
        return tova::vorsa::NoteRenderer::run(tova::vorsa::RenderRequest::fromArguments(arguments), progress, &cache)
            .code;
    } catch (...) {
        // Nothing may escape into the caller's frame.
        return tova::vorsa::NoteRenderer::OutputFailed;
    }
}
