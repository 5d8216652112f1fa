#include "tools/vorsa/VorsaProgram.h"

#include "tools/vorsa/NoteRenderer.h"
#include "tools/vorsa/RenderRequest.h"

#include <exception>

namespace tova::vorsa {

int VorsaProgram::run(const std::vector<std::string>& arguments, std::string& errors, SampleCache* cache) {
    try {
        const auto outcome = NoteRenderer::run(RenderRequest::fromArguments(arguments), {}, cache);
        if (!outcome.message.empty()) errors = "vorsa: " + outcome.message + "\n";
        return outcome.code;
    } catch (const std::exception& e) {
        errors = std::string("vorsa: ") + e.what() + "\n";
        return NoteRenderer::OutputFailed;
    } catch (...) {
        errors = "vorsa: unknown failure\n";
        return NoteRenderer::OutputFailed;
    }
}

}  // namespace tova::vorsa
