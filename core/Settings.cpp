#include "core/Settings.h"

#include "core/SettingsKeys.h"

#include "platform/EventGuard.h"

namespace tova {

Settings::Settings() {
    for (SettingGroup g : {SettingGroup::Kept, SettingGroup::Defaults, SettingGroup::Colours, SettingGroup::Lists})
        ResetSettings(*this, g);
}

Settings& settings() {
    static Settings s;
    return s;
}

namespace {
// The event guard reads DebugMode from the settings themselves: a change takes effect at once.
const bool kDebugModeBound = [] {
    EventGuard::bindDebugMode(&settings().DebugMode);
    return true;
}();
}  // namespace

}  // namespace tova
