#include "mainwindow/ProgramArchiveInstaller.h"

#include "commands/EditContext.h"
#include "exchange/VoiceBankAccess.h"
#include "exchange/install/ArchiveInstaller.h"
#include "exchange/install/InstallHost.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "commands/VoiceToolsPort.h"
#include "render/RenderProgress.h"

namespace tova {
namespace {

class WindowInstallHost : public InstallHost {
public:
    explicit WindowInstallHost(EditContext& context) : c_(context), w_(MainWindow::of(context)) {}

    void ProgressStart(int maximum, int slideMs) override { c_.progress().Start(0, maximum, slideMs, true); }
    void ProgressSet(const QString& text, int value) override {
        c_.progress().SetStatus(text, value);
        w_.view().processEvents();
    }
    void ProgressEnd() override { c_.progress().Finish(); }
    void SetStatusText(int panel, const QString& text) override { w_.view().setStatusText(panel, text); }
    void LoadVoiceBankList() override {
        if (VoiceBankAccess* voices = w_.ports().voiceBanks) voices->LoadVoiceBankList();
    }
    void ShowVoiceProfile(const QString& folder) override {
        if (VoiceToolsPort* tools = w_.ports().voiceTools) tools->ShowVoiceProperty(folder, QString(), false, c_.ownerWindow());
    }
    void BuildPluginMenu() override { w_.BuildPluginMenu(); }

private:
    EditContext& c_;
    MainWindow& w_;
};

}  // namespace

void ProgramArchiveInstaller::InstallArchive(EditContext& window, const QString& path) {
    WindowInstallHost host(window);
    ArchiveInstaller(host).InstallArchive(path);
}

}  // namespace tova
