#pragma once

#include <QHash>
#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

class EditContext;

// One command of the main window, found by its control name: what it does and whether it can run now.
// `run` gets the element index for a menu control array (recent files, plug-ins, alias candidates,
// labels, regions) and -1 for a plain control. An empty `enabled` means always enabled.
struct Command {
    using Run = std::function<void(EditContext&, int index)>;
    using Enabled = std::function<bool(const EditContext&)>;
    Run run;
    Enabled enabled;
};

// The main window's commands by control name. Each subsystem registers its own in one function
// (`registerNavigationCommands(registry)`, ...); the window connects every menu item and tool-band
// control through it. A tool-band button that only forwards to a menu item is an alias of it.
//
//     registry.add(u"mnNoteNext"_s, [](EditContext& c) { NoteNavigation(c).mnNoteNext_Click(); });
class CommandRegistry {
public:
    // Registers a command; a second registration of a name replaces the first.
    void add(const QString& name, std::function<void(EditContext&)> run, Command::Enabled enabled = {});
    // Registers the command of a control array, which receives the element index.
    void addIndexed(const QString& name, Command::Run run, Command::Enabled enabled = {});
    // `control` runs the command `target` (a tool-band button forwarding to its menu item).
    void alias(const QString& control, const QString& target);

    // The command of a control (through its alias); nullptr when none is registered.
    const Command* find(const QString& control) const;
    bool contains(const QString& control) const { return find(control) != nullptr; }
    // The name the control runs: the alias target, or the control itself.
    QString resolve(const QString& control) const;
    // Every registered command name (not the aliases), sorted.
    QStringList names() const;
    QStringList aliases() const;

    // Runs the control's command; false when none is registered (nothing runs).
    bool run(const QString& control, EditContext& context, int index = -1) const;
    // The command's enabled predicate; true for a command without one, false for an unknown control.
    bool enabled(const QString& control, const EditContext& context) const;
    // True when the command has an enabled predicate of its own.
    bool hasPredicate(const QString& control) const;

private:
    QHash<QString, Command> commands_;
    QHash<QString, QString> aliases_;
};

}  // namespace tova
