#pragma once

#include "mainwindow/DefaultVoiceGeneratorPort.h"
#include "mainwindow/DefaultVoiceRun.h"
#include "platform/PathText.h"

namespace tova {

// The default-voice generator the program ships. With a view, its run shows the samples done and can
// be stopped (leaving no half-made bank; the next start makes it).
class ProgramDefaultVoiceGenerator : public DefaultVoiceGeneratorPort {
public:
    explicit ProgramDefaultVoiceGenerator(DefaultVoiceRunView* view = nullptr) : view_(view) {}
    QList<DefaultVoiceFile> files() override { return DefaultVoiceFiles(); }
    void Generate(CoreServices& core, const QString& batchRunner, const QString& batch) override {
        if (!view_) {
            DefaultVoiceGeneratorPort::Generate(core, batchRunner, batch);
            return;
        }
        RunDefaultVoiceGenerator(batchRunner, {batch}, PathText::folderPart(batch), *view_);
    }

private:
    DefaultVoiceRunView* view_;
};

}  // namespace tova
