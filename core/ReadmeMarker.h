#pragma once

#include <QString>

namespace tova {

// A readme is shown once per machine: a marker file "$read" beside it holds a per-machine token.
// A marker copied from another machine holds another token and so does not count.

// The per-machine token: one line, the same on every run on this machine. Made from the machine id
// (/etc/machine-id) through a one-way hash, so the id itself never lands in a folder that is passed on.
QString ReadmeMarkerToken();

// True when the readme of the folder is to be shown: the folder has no marker, or its first line is
// not this machine's token. When true, the marker is (re)written with the token; a marker that cannot
// be written (read-only folder) is ignored. Does not look for a readme itself.
bool CheckReadMarker(const QString& folder);

// A voice bank's readme: "readme.txt", failing that "read me.txt" in the folder; empty when neither.
QString FindVoiceReadme(const QString& folder);

// Whether a voice bank's readme is still to be shown: it has a readme and its marker is missing or
// holds another token. Writes nothing.
bool VoiceReadmeUnread(const QString& folder);

// Writes the folder's marker (the token as its only line). False when it cannot be written.
bool WriteReadMarker(const QString& folder);

// The program folder's "readme.txt" as text with LF line ends: UTF-8, or CP932 when the bytes are not
// UTF-8. A null string when the file is missing or cannot be read.
QString ReadProgramReadme();

}  // namespace tova
