#include "song/FreeText.h"

#include "song/LyricText.h"

namespace tova {

namespace {

// Texts that go into a note (its undo line and its section of the project file): there a value ends
// at the next "=", and the pair backslash + "n" ends a line or an option entry.
bool inNote(FreeTextUse use) { return use != FreeTextUse::Line && use != FreeTextUse::PresetField; }

bool commaIsBlank(FreeTextUse use) {
    return use == FreeTextUse::OptionValue || use == FreeTextUse::Label || use == FreeTextUse::RegionName ||
           use == FreeTextUse::Alias;
}

bool barIsBlank(FreeTextUse use) { return use == FreeTextUse::RegionName || use == FreeTextUse::PresetField; }

qsizetype limitOf(FreeTextUse use) {
    switch (use) {
    case FreeTextUse::Lyric:
    case FreeTextUse::Alias: return LyricTextLimit;
    case FreeTextUse::Flags: return FlagsTextLimit;
    case FreeTextUse::Label: return LabelTextLimit;
    default: return -1;
    }
}

}  // namespace

QString SafeFreeText(const QString& text, FreeTextUse use) {
    // A text cut to a limit needs no more than one character past it (a label first loses the blanks
    // at its ends, so it is read whole): a 50 MB lyric is not copied to keep 255 characters.
    const qsizetype limit = limitOf(use);
    const qsizetype enough = limit >= 0 && use != FreeTextUse::Label ? limit + 1 : text.size();
    QString out;
    out.reserve(qMin(text.size(), enough));
    const qsizetype size = text.size();
    for (qsizetype k = 0; k < size && out.size() < enough; ++k) {
        const QChar c = text.at(k);
        const char16_t u = c.unicode();
        if (u == u'\r' && k + 1 < size && text.at(k + 1) == u'\n') {
            out += u' ';
            ++k;
        } else if (u < 0x20 || u == 0x7F) {
            out += u' ';
        } else if (u == u'\\' && inNote(use) && k + 1 < size && text.at(k + 1) == u'n') {
            out += u'/';
        } else if ((u == u'=' && inNote(use)) || (u == u',' && commaIsBlank(use)) ||
                   (u == u'|' && barIsBlank(use))) {
            out += u' ';
        } else {
            out += c;
        }
    }
    if (use == FreeTextUse::Label) out = TrimBlanks(out);
    if (limit >= 0 && out.size() > limit) {
        out.truncate(limit);
        // Never leave half of a surrogate pair.
        if (out.back().isHighSurrogate()) out.chop(1);
        if (use == FreeTextUse::Label) out = TrimBlanks(out);
    }
    return out;
}

}  // namespace tova
