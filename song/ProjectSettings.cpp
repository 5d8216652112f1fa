#include "song/ProjectSettings.h"

#include <algorithm>
#include <cmath>

namespace tova {

float HeldTempo(double tempo, float otherwise) {
    if (std::isnan(tempo)) return otherwise;
    return float(std::clamp(tempo, double(MinTempo), double(MaxTempo)));
}

bool ReadableTempo(double tempo) {
    const double whole = std::nearbyint(tempo);  // halves to even, as the file's other numbers
    return whole >= 4 && whole <= 600;
}

double ImportedTempo(double tempo, float otherwise) {
    if (tempo == 0 || ReadableTempo(tempo)) return tempo;
    return double(HeldTempo(tempo, otherwise));
}

}  // namespace tova
