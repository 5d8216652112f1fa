#include "autotune/PitchPreview.h"

#include "autotune/AutoPitch.h"
#include "autotune/TuningText.h"

#include <cmath>

namespace tova {

QList<PreviewLine> PitchPreviewLines(bool rising, bool ticked, const BendSettings& s, double w, double h) {
    const quint32 axis = ticked ? 0xFF0000u : 0x808080u;
    const quint32 curve = ticked ? 0x0000FFu : 0x808080u;
    QList<PreviewLine> lines{{QPointF(w / 2, 0), QPointF(w / 2, h), axis}};
    const double pi = 3.14159265358979;
    const int n = std::max(1, int(Nearest(s.UpWidth / 4)));
    const int start = int(Nearest((rising ? s.UpStart : s.DownStart) / 4));
    const bool cosine = rising ? s.UpCurve : s.DownCurve;
    const double y0 = rising ? 0.875 * h : 0.125 * h;
    const double a = 0.375 * h;
    QPointF previous(0, y0);
    for (int j = 0; j <= n; ++j) {
        const double f = cosine ? 1 - std::cos(j * pi / n) : 2.0 * j / n;
        const QPointF p(w / 2 + (start + j) * 15.0, rising ? y0 - f * a : y0 + f * a);
        lines.append({previous, p, curve});
        previous = p;
    }
    lines.append({previous, QPointF(w, previous.y()), curve});
    return lines;
}

}  // namespace tova
