#pragma once

#include "core/WheelClient.h"
#include "mainwindow/CoreServices.h"

#include <QPointer>

#include <functional>

namespace tova {

// The core services of the running program: the program's own processes, instance counter, wheel hook,
// readme marker, settings file, message table and caption files.
class ProgramCoreServices : public CoreServices {
public:
    ProgramCoreServices();
    ~ProgramCoreServices() override;

    QString tempVariable() override;
    void setCurrentFolder(const QString& folder) override;
    void shellAndWait(const QString& commandLine, int windowStyle) override;
    int countInstance() override;
    QString makeTempFolder(int instance, const QString& planned, bool inTempRoot) override;
    void initWheelHook() override;
    void hookWheel(QObject* target, WheelHandler handler) override;
    bool checkReadMarker(const QString& folder) override;
    bool showProgramReadme() override;
    void shellOpen(const QString& path) override;
    bool loadSettings(MainWindowPlacement* window) override;
    void loadMessageTable() override;
    void applyMenuStrings(LocalizableWindow& window) override;
    void applyLabelButtonStrings(LocalizableWindow& window) override;
    QString md5File(const QString& path) override;
    bool saveSettings(const MainWindowPlacement* window) override;
    void unhookWheels() override;
    void mciClose(const QString& path) override;
    void closeInstanceMap() override;

    // The program's own read-only text window (caption, text), which shows the readme; none set: the
    // readme is not shown.
    using TextWindow = std::function<void(const QString& caption, const QString& text)>;
    void setTextWindow(TextWindow window) { textWindow_ = std::move(window); }

private:
    // The main window as the wheel hook registers it.
    class WheelTarget : public WheelClient {
    public:
        QPointer<QObject> target;
        WheelHandler handler;
        QObject* TargetHwnd() const override { return target.data(); }
        void WheelEvent(int16_t direction, int16_t& keyState) override {
            if (handler) handler(direction, keyState);
        }
    };
    WheelTarget wheel_;
    TextWindow textWindow_;
};

}  // namespace tova
