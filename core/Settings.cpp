#include "core/Settings.h"

namespace tova {

Settings& settings() {
    static Settings s;
    return s;
}

}  // namespace tova
