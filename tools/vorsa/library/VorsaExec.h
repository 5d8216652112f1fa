#pragma once

#include <cstdint>

// The library form of the note renderer ("vorsa10.so"), loaded with dlopen and called through `exec`.
//
// `exec` takes the thirteen texts of a render call, NUL-terminated in code page 932 (a text that
// starts with the mark EF BB BF is UTF-8 after it, for characters the code page lacks): input sample,
// output file ("nul": make the frequency table only), target note, velocity, flags, offset, required
// length, consonant, cutoff, intensity, modulation, and the pitch text in two parts (the text up to its
// first blank and the rest); then the progress callback, which may be null. It returns 0 when the note
// was rendered, otherwise 1 (bad arguments), 2 (sample unreadable), 3 (output not written) or
// 4 (stopped through the callback).
//
// The callback reports a frequency-table estimation: kind 1 with the number of frames when it starts,
// kind 0 with the number of frames done as it goes. A non-zero result stops the call: no table and no
// note are written.
extern "C" {
typedef int32_t (*VorsaProgressCallback)(int32_t kind, int32_t value);
typedef int32_t (*VorsaExecFunction)(const char* input, const char* output, const char* note, const char* velocity,
                                     const char* flags, const char* offset, const char* length,
                                     const char* consonant, const char* cutoff, const char* intensity,
                                     const char* modulation, const char* pitch1, const char* pitch2,
                                     VorsaProgressCallback callback);
}
