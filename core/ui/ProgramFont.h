#pragma once

#include <QFont>

namespace tova {

// The font of the program's windows: the Japanese proportional system font at 9 points, with the
// installed Japanese font in its place where that one is missing (a font without kana would draw
// them from whatever font the system falls back to, with other widths).
inline QFont programFont() {
    QFont f;
    f.setFamilies({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAexGothic"), QStringLiteral("Sans Serif")});
    f.setPointSize(9);
    return f;
}

}  // namespace tova
