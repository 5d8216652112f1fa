#pragma once

#include <QList>
#include <QString>

namespace tova {

// The files of the default-voice generator that the start-up checks, in the order it checks them,
// each with the MD5 digest of the file the program ships. They lie in the default voice folder
// ("voice/cantu" under the program folder):
//   "initvox.bat"  the generator batch that the start-up runs and awaits;
//   "initvox"      the generator program (the Windows program "initvox.exe");
//   "initvox.txt"  the generator's table: what it speaks for each sample and how. It stands in for the
//                  speech library, which here is the espeak-ng program.
// The build computes the digests from the files it lays out, so they follow every change of a file.
struct DefaultVoiceFile {
    QString name;
    QString digest;  // 32 lower-case hexadecimal characters
};

QList<DefaultVoiceFile> DefaultVoiceFiles();

}  // namespace tova
