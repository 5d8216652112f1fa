#pragma once

#include <QFont>
#include <QStringList>

namespace tova {

// A 9-point font of the first installed family of `families` (the later ones stand in where the
// earlier are missing).
inline QFont ninePointFont(const QStringList& families) {
    QFont f;
    f.setFamilies(families);
    f.setPointSize(9);
    return f;
}

// The font of the program's windows: the Japanese proportional system font at 9 points, with the
// installed Japanese font in its place where that one is missing (a font without kana would draw
// them from whatever font the system falls back to, with other widths).
inline QFont programFont() {
    return ninePointFont({QStringLiteral("ＭＳ Ｐゴシック"), QStringLiteral("IPAexGothic"), QStringLiteral("Sans Serif")});
}

}  // namespace tova
