#pragma once

#include "core/ui/ProgramFont.h"

#include <QFont>

namespace tova {

// The text-box font of the input boxes: the Japanese fixed-pitch system font "ＭＳ ゴシック", with the
// installed Japanese font in its place where that one is missing.
inline QFont editBoxFont() {
    return ninePointFont({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAexGothic"), QStringLiteral("monospace")});
}

}  // namespace tova
