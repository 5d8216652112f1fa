#include "commands/CommandRegistry.h"

#include <algorithm>

namespace tova {

void CommandRegistry::add(const QString& name, std::function<void(EditContext&)> run, Command::Enabled enabled) {
    commands_.insert(name, Command{[run = std::move(run)](EditContext& c, int) { run(c); }, std::move(enabled)});
}

void CommandRegistry::addIndexed(const QString& name, Command::Run run, Command::Enabled enabled) {
    commands_.insert(name, Command{std::move(run), std::move(enabled)});
}

void CommandRegistry::alias(const QString& control, const QString& target) { aliases_.insert(control, target); }

QString CommandRegistry::resolve(const QString& control) const { return aliases_.value(control, control); }

const Command* CommandRegistry::find(const QString& control) const {
    const auto it = commands_.constFind(resolve(control));
    return it == commands_.constEnd() ? nullptr : &it.value();
}

QStringList CommandRegistry::names() const {
    QStringList list = commands_.keys();
    std::sort(list.begin(), list.end());
    return list;
}

QStringList CommandRegistry::aliases() const {
    QStringList list = aliases_.keys();
    std::sort(list.begin(), list.end());
    return list;
}

bool CommandRegistry::run(const QString& control, EditContext& context, int index) const {
    const Command* c = find(control);
    if (!c) return false;
    c->run(context, index);
    return true;
}

bool CommandRegistry::enabled(const QString& control, const EditContext& context) const {
    const Command* c = find(control);
    if (!c) return false;
    return !c->enabled || c->enabled(context);
}

bool CommandRegistry::hasPredicate(const QString& control) const {
    const Command* c = find(control);
    return c && c->enabled;
}

}  // namespace tova
