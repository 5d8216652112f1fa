#pragma once

#include <locale.h>

namespace tova::lean {

// A locale made with newlocale and freed with the object. The code here is also built into the
// renderer and joiner libraries, which the editor loads and unloads: a locale kept in a static of
// this type goes with the library, where a bare locale_t would stay allocated after each unload.
class OwnedLocale {
public:
    explicit OwnedLocale(locale_t locale) : locale_(locale) {}
    ~OwnedLocale() {
        if (locale_) freelocale(locale_);
    }
    OwnedLocale(const OwnedLocale&) = delete;
    OwnedLocale& operator=(const OwnedLocale&) = delete;
    locale_t get() const { return locale_; }

private:
    locale_t locale_;
};

}  // namespace tova::lean
