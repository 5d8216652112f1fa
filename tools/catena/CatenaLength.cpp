#include "tools/catena/CatenaLength.h"

#include "platform/lean/Numbers.h"

namespace tova {

double CatenaLength::milliseconds(const std::string& text) {
    const std::size_t at = text.find('@');
    if (at == std::string::npos) return lean::val(text);

    const double ticks = lean::val(std::string_view(text).substr(0, at));
    const std::string_view rest = std::string_view(text).substr(at + 1);
    // The tempo is unsigned; the first sign after "@" starts the correction.
    const std::size_t sign = rest.find_first_of("+-");
    const double tempo = lean::val(rest.substr(0, sign));
    const double correction = sign == std::string_view::npos ? 0.0 : lean::val(rest.substr(sign));
    const double noteMs = tempo > 0 ? ticks * 60000.0 / (TicksPerBeat * tempo) : 0.0;
    return noteMs + correction;
}

}  // namespace tova
