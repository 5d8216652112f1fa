#pragma once

#include <QString>

#include <cstdint>
#include <functional>

class QObject;

namespace tova {

class LocalizableWindow;
class MainWindowPlacement;

// The core services that the main window's start-up and view commands call: processes, the instance
// counter and temporary folder, the wheel hook, the readme marker, the settings file, the message table
// and the caption files. `ProgramCoreServices` calls the program's own; tests give a fake.
class CoreServices {
public:
    using WheelHandler = std::function<void(int16_t direction, int16_t& keys)>;

    virtual ~CoreServices() = default;

    // The text of the TEMP variable (the temporary root).
    virtual QString tempVariable() = 0;
    // Makes the current folder of the process.
    virtual void setCurrentFolder(const QString& folder) = 0;
    // Starts a command line and blocks until it ends.
    virtual void shellAndWait(const QString& commandLine, int windowStyle) = 0;
    // This running copy's number (1 for the first).
    virtual int countInstance() = 0;
    // Makes the per-instance temporary folder, private to the user, and returns its path. `planned` is
    // the folder the instance rules name; `inTempRoot` tells that it lies in the TEMP folder, where a
    // name taken by someone else gives way to a fresh private folder.
    virtual QString makeTempFolder(int instance, const QString& planned, bool inTempRoot) = 0;
    // Empties the wheel hook's list, then subclasses `target` for its wheel messages.
    virtual void initWheelHook() = 0;
    virtual void hookWheel(QObject* target, WheelHandler handler) = 0;
    // The readme marker of a folder: true when it was missing or stale (and has now been written).
    virtual bool checkReadMarker(const QString& folder) = 0;
    // Shows the program folder's readme in the program's own text window; false when it is missing or
    // cannot be read.
    virtual bool showProgramReadme() = 0;
    // Opens a folder or file through the shell.
    virtual void shellOpen(const QString& path) = 0;
    // Reads "setting.ini" (placing the window); false when there is none.
    virtual bool loadSettings(MainWindowPlacement* window) = 0;
    virtual void loadMessageTable() = 0;
    virtual void applyMenuStrings(LocalizableWindow& window) = 0;
    virtual void applyLabelButtonStrings(LocalizableWindow& window) = 0;
    // The MD5 digest of a file (32 lower-case hexadecimal digits).
    virtual QString md5File(const QString& path) = 0;

    // ---- at the end of the program ----
    // Writes "setting.ini" with the window's placement; false when it could not be written (reported).
    virtual bool saveSettings(const MainWindowPlacement* window) = 0;
    // Restores every window the wheel hook subclassed.
    virtual void unhookWheels() = 0;
    // Closes the multimedia device opened on a file.
    virtual void mciClose(const QString& path) = 0;
    // Releases this copy's place in the instance counter.
    virtual void closeInstanceMap() = 0;
};

}  // namespace tova
