#pragma once

#include <string>
#include <string_view>

namespace tova::lean {

// Texts the editor hands the tools' library forms: code page 932 (through iconv "CP932"), or UTF-8
// after the mark EF BB BF for characters the code page lacks; answered as UTF-8. Reads as
// tova::Cp932::decodeMarked does: CP932 that does not decode cleanly but is valid UTF-8 is UTF-8; an
// invalid byte becomes U+FFFD.
std::string decodeMarkedCp932(std::string_view bytes);

}  // namespace tova::lean
