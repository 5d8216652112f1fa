#pragma once

#include "exchange/install/ArchiveUnpack.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

class InstallHost;
class ZipArchive;

// The installer of voice banks ("voiceset") and plug-ins ("editplugin") from ".zip" and ".tvz"
// archives that carry an "install.txt" at their root:
//   type=voiceset | editplugin       (compared exactly)
//   folder=<one plain folder name>   (under the voice root, or under the plug-in folder)
//   contentsdir=<a/b>                (optional: the folder inside the archive whose contents go there)
//   description=<text>               (optional: shown when asking)
// Lines hold exactly one "="; the key is lower-cased, nothing is trimmed; a later line wins.
//
// Every file is read from the archive in memory ("install.txt", and "character.txt" or "plugin.txt"
// of the contents folder); nothing is extracted before the user confirmed. Unpacking writes into a
// staging folder that then takes the target's place, and never outside it (see ArchiveUnpack.h).
// One installation at a time; the fields stay until the next one.
class ArchiveInstaller {
public:
    explicit ArchiveInstaller(InstallHost& host);

    // The whole installation: reads and checks the description, asks, unpacks under the progress
    // window, reports completion in status panel 2, then rescans the voice banks and shows the new
    // bank's profile, or rebuilds the plug-in menu. Every refusal and failure is shown in a message box.
    void InstallArchive(const QString& archivePath);

    // Reads and checks the description and asks the user. Returns "0" when the archive has no
    // "install.txt", the target folder name when a voice bank is ready to install, otherwise empty;
    // `message` is empty exactly when the installation may go on.
    QString PrepareInstall(const QString& archivePath, QString& message);
    // Unpacks into InstallDestRoot/InstallDestFolder under the progress window. False when unpacking
    // failed (`UnpackResult::error`); `Skipped` names what was left out.
    bool UnzipWithProgress();

    // The "name" value of a "plugin.txt" text: the first line whose first "="-part, lower-cased, is
    // "name" gives the text between the first and a second "="; empty when none.
    static QString ReadNameFromText(const QByteArray& bytes);
    // The description lines as the installer reads them: key (lower-cased) -> value.
    struct Description {
        QString type, folder, contentsDir, description, id, version;
    };
    static Description ReadDescription(const QByteArray& bytes);

    QString GetInstallType() const { return InstallType; }
    QString GetInstallName() const { return InstallName; }

    // ---- state of the last installation ----
    QString InstallType;
    QString InstallArchivePath;
    QString InstallContentsDir;
    QString InstallDestRoot;
    QString InstallDestFolder;
    QString InstallName;
    std::int32_t InstallEntryCount = 0;
    std::int32_t UnzipFileCount = 0;
    QStringList Skipped;     // entries the last unpacking left out
    QString UnpackError;     // why the last unpacking failed

    // The largest description file read from an archive.
    static constexpr qint64 kDescriptionLimit = 1 << 20;

private:
    // 0 when the path can be probed (it exists or is plainly missing); the error number otherwise.
    static int GetFileAttrSafe(const QString& path);
    // Whether a folder of exactly that name (letter case included) exists.
    static bool FolderExists(const QString& path);
    // The first "<folder><n>" (n = 0, 1, 2, ...) under root that does not exist.
    static QString AlternativeFolder(const QString& root, const QString& folder);
    // Asks about installing into an existing folder (Yes, No, Cancel) or a new one (OK, Cancel);
    // false when the user cancelled; `folder` becomes the alternative on No.
    bool ConfirmTarget(const QString& root, QString& folder, const QString& newName, const QString& existingName,
                       const QString& description, bool exists);

    InstallHost& host_;
    QStringList contentsParts_;
};

}  // namespace tova
