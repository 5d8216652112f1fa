#pragma once

#include "core/LocalizableWindow.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace tova {

// The program's named windows, as the caption export finds them. A loaded window adds itself (and
// removes itself when it closes); a window that can be loaded without being shown registers a loader,
// so that the export can load it, write its files and unload it again.
class WindowRegistry {
public:
    using Loader = std::function<std::unique_ptr<LocalizableWindow>()>;

    static void add(LocalizableWindow* window);
    static void remove(LocalizableWindow* window);
    // The loaded window of that name (the one added last); nullptr when none is loaded.
    static LocalizableWindow* find(const QString& name);

    // Registers (or, with an empty loader, removes) how a window is loaded without being shown.
    static void setLoader(const QString& name, Loader loader);
    // Loads the window through its loader; nullptr when it has none. The window is unloaded when the
    // returned object is destroyed.
    static std::unique_ptr<LocalizableWindow> load(const QString& name);
    // The names of every window that is loaded or has a loader, sorted, each once.
    static QStringList names();
};

}  // namespace tova
