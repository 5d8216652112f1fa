#include "mainwindow/ui/ProgramArchiveInstaller.h"

#include "exchange/VoiceBankAccess.h"
#include "exchange/install/ArchiveInstaller.h"
#include "exchange/install/InstallHost.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "mainwindow/VoiceToolsPort.h"
#include "render/ui/QtRenderProgress.h"

#include <QCoreApplication>
#include <QWidget>

namespace tova {
namespace {

class WindowInstallHost : public InstallHost {
public:
    explicit WindowInstallHost(MainWindow& w)
        : w_(w),
          progress_(qobject_cast<QWidget*>(w.view().windowObject(QStringLiteral("Picture2"))),
                    qobject_cast<QWidget*>(w.view().windowObject(QStringLiteral("Form1")))) {}

    void ProgressStart(int maximum, int slideMs) override { progress_.Start(0, maximum, slideMs, true); }
    void ProgressSet(const QString& text, int value) override {
        progress_.SetStatus(text, value);
        QCoreApplication::processEvents();
    }
    void ProgressEnd() override { progress_.Finish(); }
    void SetStatusText(int panel, const QString& text) override { w_.view().setStatusText(panel, text); }
    void LoadVoiceBankList() override {
        if (VoiceBankAccess* voices = w_.ports().voiceBanks) voices->LoadVoiceBankList();
    }
    void ShowVoiceProfile(const QString& folder) override {
        if (VoiceToolsPort* tools = w_.ports().voiceTools)
            tools->ShowVoiceProperty(folder, QString(), false, w_.view().windowObject(QStringLiteral("Form1")));
    }
    void BuildPluginMenu() override { w_.BuildPluginMenu(); }

private:
    MainWindow& w_;
    QtRenderProgress progress_;
};

}  // namespace

void ProgramArchiveInstaller::InstallArchive(MainWindow& window, const QString& path) {
    WindowInstallHost host(window);
    ArchiveInstaller(host).InstallArchive(path);
}

}  // namespace tova
