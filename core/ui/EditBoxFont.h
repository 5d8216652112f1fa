#pragma once

#include <QFont>

namespace tova {

// The text-box font of the input boxes: the Japanese fixed-pitch system font "ＭＳ ゴシック", with the
// installed Japanese font in its place where that one is missing.
inline QFont editBoxFont() {
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ ゴシック"), QStringLiteral("IPAexGothic"), QStringLiteral("monospace")});
    f.setPointSize(9);
    return f;
}

}  // namespace tova
