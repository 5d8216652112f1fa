// Any text as pitch text and as a pitch list: decoding stays within its bounds, and what the encoder
// makes decodes back to the same values.
#include "FuzzInput.h"

#include "song/PitchText.h"

using namespace tova;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString text = QString::fromUtf8(fuzz::bytesOf(data, size));

    // A limit of its own for each input (the default one would spend every input's time on a million
    // copies of a pair).
    const qsizetype limit = qsizetype(size % 4096);
    fuzz::require(DecodePitchRun(text, limit).size() <= 2 * limit);
    const QString field = DecodePitchText(text, limit);
    if (text.startsWith(u'!') && text.indexOf(u' ') >= 2) fuzz::require(field.count(u' ') < qMax<qsizetype>(limit, 1));

    // Encoding: pairs of the alphabet, and a run compression that decodes to the same pairs.
    const QString pairs = EncodePitchList(text);
    fuzz::require(pairs.size() % 2 == 0);
    for (QChar c : pairs) fuzz::require(PitchAlphabet().contains(c));
    fuzz::require(DecodePitchRun(EncodePitchRun(pairs), pairs.size() / 2) == pairs);
    fuzz::require(EncodePitchList(DecodePitchList(pairs)) == pairs);
    return 0;
}
