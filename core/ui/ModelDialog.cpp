#include "core/ui/ModelDialog.h"

#include "core/CaptionFiles.h"
#include "core/WindowRegistry.h"
#include "core/ui/CaptionFit.h"
#include "platform/EventGuard.h"

namespace tova {

ModelDialog::ModelDialog(DialogModel& model, const QString& name, const QString& caption, QWidget* owner)
    : QDialog(owner), model_(model), window_(this) {
    setObjectName(name);
    setWindowTitle(caption);
    WindowRegistry::add(&window_);
}

ModelDialog::~ModelDialog() { WindowRegistry::remove(&window_); }

bool ModelDialog::handle(const std::function<void()>& handler) {
    const bool ok = EventGuard::runHandler(handler);
    EventGuard::runHandler([this] { refreshFromModel(); });
    if (model_.hidden) {
        if (model_.Result)
            QDialog::accept();
        else
            QDialog::reject();
    }
    return ok;
}

bool ModelDialog::showModal() {
    model_.hidden = false;
    model_.Result = false;
    setModal(true);
    exec();
    return model_.Result;
}

void ModelDialog::finishLoad() {
    ApplyMenuStrings(window_);
    ApplyLabelButtonStrings(window_);
    EventGuard::runHandler([this] { refreshFromModel(); });
    // The design is in twips for one font; the font in use may need wider controls.
    CaptionFit::apply(this);
}

void ModelDialog::reject() {
    handle([this] { model_.cancelRequested(); });
}

void ModelDialog::addLoader(const QString& name, std::function<QWidget*()> make) {
    WindowRegistry::setLoader(name, [make = std::move(make)]() -> std::unique_ptr<LocalizableWindow> {
        return std::make_unique<WidgetWindow>(make(), true);
    });
}

}  // namespace tova
