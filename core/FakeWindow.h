#pragma once

#include "core/FakeControl.h"
#include "core/LocalizableWindow.h"

#include <memory>
#include <vector>

namespace tova {

// A window held in plain fields, for tests until the real forms exist.
class FakeWindow : public LocalizableWindow {
public:
    explicit FakeWindow(QString name, QString caption = QString())
        : name_(std::move(name)), caption_(std::move(caption)) {}

    // Appends a control at the end of the collection and returns it for filling in.
    FakeControl& addControl(const QString& kind, const QString& name, std::optional<int> index = std::nullopt) {
        controls_.push_back(std::make_unique<FakeControl>(kind, name, index));
        return *controls_.back();
    }

    QString name() const override { return name_; }
    QString caption() const override { return caption_; }
    void setCaption(const QString& text) override { caption_ = text; }
    int controlCount() const override { return int(controls_.size()); }
    LocalizableControl* control(int position) override {
        return position >= 0 && position < controlCount() ? controls_[size_t(position)].get() : nullptr;
    }
    FakeControl& at(int position) { return *controls_[size_t(position)]; }

private:
    QString name_;
    QString caption_;
    std::vector<std::unique_ptr<FakeControl>> controls_;
};

}  // namespace tova
