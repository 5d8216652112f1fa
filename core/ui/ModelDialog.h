#pragma once

#include "core/DialogModel.h"
#include "core/ui/WidgetWindow.h"

#include <QDialog>

#include <functional>

namespace tova {

// The base of the program's dialogs. Every handler of the form runs the same way:
//   guard (EventGuard::runHandler) -> the model's handler -> refreshFromModel() -> when the handler
//   hid the model, accept or reject the modal display.
// The dialog is a named window of the caption files: it adds itself to the window registry while it
// lives, and finishLoad() applies the menu and label/button caption files once its controls exist.
// Escape and the close box go to the model's cancelRequested().
//
// A form derives from ModelDialogOf<Model>, builds its controls in its constructor, connects them with
// handle(), writes refreshFromModel() and ends its constructor with finishLoad().
class ModelDialog : public QDialog {
    Q_OBJECT
public:
    ModelDialog(DialogModel& model, const QString& name, const QString& caption, QWidget* owner);
    ~ModelDialog() override;

    // Runs a handler of the model under the guard, shows the model's state and ends the modal display
    // when the handler hid the model. False when the handler failed.
    bool handle(const std::function<void()>& handler);
    // Shows the dialog modally; true when it ended with OK (the model's Result).
    bool showModal();
    // The form as the caption files see it.
    LocalizableWindow& localizable() { return window_; }
    // Escape and the close box: the model's cancelRequested() under the guard.
    void reject() override;

    // Registers how the caption export loads a dialog of that name without showing it.
    template <typename Form>
    static void registerLoader(const QString& name);
    // The same for a form that needs arguments: `make` builds and loads it.
    static void registerLoader(const QString& name, std::function<QWidget*()> make) { addLoader(name, std::move(make)); }

protected:
    // Shows the model's fields in the widgets (without raising their handlers).
    virtual void refreshFromModel() = 0;
    // Applies the caption files and shows the model's state: the end of the form's constructor.
    void finishLoad();

private:
    static void addLoader(const QString& name, std::function<QWidget*()> make);

    DialogModel& model_;
    WidgetWindow window_;
};

// The typed form of the base: the form's model is reachable with its own type.
template <typename Model>
class ModelDialogOf : public ModelDialog {
public:
    template <typename... Args>
    ModelDialogOf(const QString& name, const QString& caption, QWidget* owner, Args&&... args)
        : ModelDialog(model_, name, caption, owner), model_(std::forward<Args>(args)...) {}
    Model& model() { return model_; }
    const Model& model() const { return model_; }

private:
    Model model_;
};

template <typename Form>
void ModelDialog::registerLoader(const QString& name) {
    addLoader(name, [] { return static_cast<QWidget*>(new Form()); });
}

}  // namespace tova
