#pragma once

#include <QString>

#include <map>
#include <memory>

namespace tova {

class WavePlayer;

// The multimedia command interface of the program: command strings addressed to sound devices that
// are opened on wave files under a name (the alias), with text answers and numbered errors. The
// devices play through the machine's audio system. Commands, their words and device names are
// taken without regard to letter case; a quoted word is taken as it is between its quotes.
//
//   open <file> [alias <name>]      opens the file; without an alias the device is named by the file
//                                   text; an unquoted alias runs to the end of the command
//   close <name>                    releases the device
//   play <name>                     plays from the current position (resumes after pause)
//   pause <name>                    stops at the current position
//   seek <name> to start|end|<ms>   stops and moves
//   status <name> mode|position     "playing", "paused" or "stopped"; milliseconds from the start
//
// Lives on the user-interface thread.
class MciSystem {
public:
    enum Error : int {
        Ok = 0,
        UnrecognizedCommand = 257,
        UnrecognizedKeyword,
        MissingParameter,
        InvalidValue,
        NotOpen,
        DuplicateAlias,
        FileNotFound,
        CannotLoad,
        NoDevice,
        DeviceError,
        OutOfRange,
    };

    MciSystem();
    ~MciSystem();
    MciSystem(const MciSystem&) = delete;
    MciSystem& operator=(const MciSystem&) = delete;

    // The program's one instance.
    static MciSystem& instance();

    // Runs a command. Returns 0 or an error code; `answer` gets the answer text (empty for commands
    // that answer nothing).
    int sendString(const QString& command, QString* answer);
    // The text of an error code; false for a code that has none.
    static bool errorString(int code, QString* text);

    // The file that the device of that name plays (as `fileKey` gives it), or "" when none is open.
    QString fileOf(const QString& name) const;
    // A file's identity for comparing two names of it: the absolute, cleaned path of the file on disk.
    static QString fileKey(const QString& path);
    // The device of that name, or nullptr (for tests).
    WavePlayer* device(const QString& name) const;
    // Closes every device.
    void closeAll();

private:
    struct Device;
    int open(const QString& element, const QString& alias);
    std::map<QString, std::unique_ptr<Device>> devices_;  // by lower-case name
};

}  // namespace tova
