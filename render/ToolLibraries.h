#pragma once

#include "tools/vorsa/library/VorsaExec.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <mutex>

namespace tova {

// The library forms of the two tools, called in process: `exec` of the note renderer ("vorsa10.so",
// or another "vorsa*.so" of the program folder) and `exec` and `append_files` of the concatenator
// ("catena2.so"). Each library is loaded with dlopen from the program folder at its first use and
// stays loaded. Texts are passed as NUL-terminated strings in code page 932, or, when a text holds a
// character the code page lacks, in UTF-8 after the mark EF BB BF; the results are returned as the
// libraries give them.
class ToolLibraries {
public:
    static constexpr int VorsaArgumentCount = 13;
    static constexpr int CatenaArgumentCount = 15;

    static ToolLibraries& instance();

    // The note renderer's library file in a folder: "vorsa10.so" when it is there, else the first
    // "vorsa*.so" in name order; "" when there is none.
    static QString FindVorsaLibrary(const QString& folder);

    // Tool 2: the thirteen texts (input, output, note, velocity, flags, offset, length, consonant,
    // cutoff, intensity, modulation, the two parts of the pitch text) and the progress callback.
    std::int32_t VorsaExec(const QStringList& arguments, VorsaProgressCallback callback);
    // The same call made ready: the library is loaded and the texts encoded now; the call answered
    // may then run on any thread, several at once.
    using VorsaCall = std::function<std::int32_t(VorsaProgressCallback)>;
    VorsaCall PrepareVorsaExec(const QStringList& arguments);
    // Tool 1: output, input, start point, length and the eleven envelope values.
    std::int32_t CatenaExec(const QStringList& arguments);
    // Tool 1's join of the header part and the data part into the output.
    std::int32_t AppendFiles(const QString& headerPart, const QString& dataPart, const QString& output);

    // Releases both libraries (the next call loads them again).
    void Unload();

    ToolLibraries(const ToolLibraries&) = delete;
    ToolLibraries& operator=(const ToolLibraries&) = delete;

private:
    ToolLibraries() = default;
    ~ToolLibraries();

    struct Library {
        QString path;
        void* handle = nullptr;
    };
    // Loads (or keeps) the library at `path` and answers the address of `symbol`. A library that cannot
    // be loaded or lacks the entry point raises FileError.
    void* entry(Library& library, const QString& path, const char* symbol);

    std::mutex lock_;  // loading and unloading
    Library vorsa_;
    Library catena_;
};

}  // namespace tova
