#include "core/WindowRegistry.h"

#include <QHash>
#include <QList>

namespace tova {
namespace {

QList<LocalizableWindow*>& loadedWindows() {
    static QList<LocalizableWindow*> list;
    return list;
}

QHash<QString, WindowRegistry::Loader>& loaders() {
    static QHash<QString, WindowRegistry::Loader> map;
    return map;
}

}  // namespace

void WindowRegistry::add(LocalizableWindow* window) {
    if (window && !loadedWindows().contains(window)) loadedWindows().append(window);
}

void WindowRegistry::remove(LocalizableWindow* window) { loadedWindows().removeAll(window); }

LocalizableWindow* WindowRegistry::find(const QString& name) {
    const auto& list = loadedWindows();
    for (auto it = list.crbegin(); it != list.crend(); ++it)
        if ((*it)->name() == name) return *it;
    return nullptr;
}

void WindowRegistry::setLoader(const QString& name, Loader loader) {
    if (loader) loaders().insert(name, std::move(loader));
    else loaders().remove(name);
}

QStringList WindowRegistry::names() {
    QStringList out = loaders().keys();
    for (const LocalizableWindow* w : loadedWindows()) out << w->name();
    out.removeAll(QString());
    out.sort();
    out.removeDuplicates();
    return out;
}

std::unique_ptr<LocalizableWindow> WindowRegistry::load(const QString& name) {
    const auto it = loaders().constFind(name);
    if (it == loaders().constEnd()) return nullptr;
    return (*it)();
}

}  // namespace tova
