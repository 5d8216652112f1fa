#include "tools/vorsa/RenderRequest.h"

#include "platform/lean/Numbers.h"

namespace tova::vorsa {
namespace {

double numberAt(const std::vector<std::string>& a, std::size_t i, double fallback) {
    if (i >= a.size() || lean::trimmed(a[i]).empty()) return fallback;
    return lean::val(a[i]);
}

}  // namespace

RenderRequest RenderRequest::fromArguments(const std::vector<std::string>& a) {
    RenderRequest r;
    auto text = [&](std::size_t i) { return i < a.size() ? a[i] : std::string(); };
    r.input = text(0);
    r.output = text(1);
    r.note = lean::trimmed(text(2));
    r.velocity = numberAt(a, 3, 100.0);
    r.flags = text(4);
    r.offset = numberAt(a, 5, 0.0);
    r.length = numberAt(a, 6, 0.0);
    r.consonant = numberAt(a, 7, 0.0);
    r.cutoff = numberAt(a, 8, 0.0);
    r.intensity = numberAt(a, 9, 100.0);
    r.modulation = numberAt(a, 10, 100.0);
    for (std::size_t i = 11; i < a.size(); ++i) {
        if (a[i].empty()) continue;
        if (!r.pitch.empty()) r.pitch += ' ';
        r.pitch += a[i];
    }
    return r;
}

bool RenderRequest::outputIsNull() const {
    const std::string name = lean::trimmed(output);
    return name.size() == 3 && (name[0] | 0x20) == 'n' && (name[1] | 0x20) == 'u' && (name[2] | 0x20) == 'l';
}

}  // namespace tova::vorsa
