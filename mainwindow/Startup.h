#pragma once

#include "mainwindow/DefaultVoiceGeneratorPort.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

// Helpers of the main window's start-up.

// The per-instance temporary folder: the TEMP folder followed by "/tova" and the instance number when
// the number is at least 1 and TEMP is not empty; otherwise the program folder followed by "/temp" and
// the number.
QString InstanceTempFolderPath(int instance, const QString& tempVariable, const QString& programFolder);
// True when the planned folder lies in the TEMP folder (the first rule above).
bool InstanceTempFolderInTempRoot(int instance, const QString& tempVariable);

// The whole command line as one text: the arguments joined by blanks, an argument that holds a blank
// in double quotes (as the desktop passes a dropped path). A relative argument that names an existing
// file or folder is made absolute against the current folder.
QString CommandLineText(const QStringList& arguments);

// The default voice folder: the program folder followed by "/voice/cantu".
QString DefaultVoiceFolder(const QString& programFolder);

// True only when every generator file lies in the folder and its digest equals the stored one
// (exact comparison). A generator without files gives false.
bool CheckDefaultVoiceTools(const QString& folder, const QList<DefaultVoiceFile>& files,
                            const std::function<QString(const QString&)>& md5File);

// The folder of the default voice bank in a voice-bank list (TAB-separated entries, field 0 the name,
// field 1 the folder): the first entry named like the DefaultVoice setting (or "デフォルト" when that
// is empty), else the first entry; empty for an empty list.
QString DefaultVoicePathIn(const QStringList& voiceBankList, const QString& defaultVoiceSetting);

}  // namespace tova
