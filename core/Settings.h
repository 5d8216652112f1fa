#pragma once

#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// The program settings globals, loaded from "setting.ini" at start-up and saved at exit
// (core/SettingsFile.h). Each member is named by its key in the file and starts at its default, the
// value in force when the file or the key is absent. Dialogs and commands change the members directly;
// nothing reaches the file before the program ends.
//
// Types follow the file: flag = bool, integer = int16_t, long = int32_t, colour = int32_t holding
// red + 256 * green + 65536 * blue, list = QStringList.
struct Settings {
    // Voice banks registered outside the voice folder: display name, TAB, folder path.
    QStringList OtoList;
    // Keep the intermediate files of wave generation as a cache. (Start-up turns this and
    // CacheDeleteOnUnload on when there is no settings file.)
    bool CacheEnable = false;
    bool CacheDeleteOnUnload = false;  // delete the cache when the program ends
    bool CacheDeleteBySize = false;    // delete the oldest cache files above CacheDeleteSize
    int32_t CacheDeleteSize = 0;       // in the unit of the cache clean-up
    bool CacheDeleteByDate = false;    // delete cache files older than CacheDeleteInterval days
    int32_t CacheDeleteInterval = 0;
    // Tool paths given to new projects. Empty until LoadSettings, which makes an empty (or missing)
    // path the program folder followed by "/catena" (tool 1) or "/vorsa" (tool 2).
    QString Tool1Path;
    QString Tool2Path;
    // Tool programs named by projects that the user allowed or refused to run (render/ToolTrust.h),
    // each path as it is on disk after following links.
    QStringList AcceptedTools;
    QStringList RefusedTools;
    // Recent project files, most recent first at positions 1..n; position 0 exists and stays empty.
    QStringList History{QString()};
    bool DebugMode = false;         // no error traps in the event handlers
    bool PropExpandDetail = false;  // the note property dialog shows its detail panel

    // Piano-roll colours (defaults as InitDefaultColors sets them).
    int32_t COLOR_PIANO1 = 0xFFFFFF;
    int32_t COLOR_PIANO2 = 0x404040;
    int32_t COLOR_ROLL1 = 0xFFFFFF;
    int32_t COLOR_ROLL2 = 0xE0E0E0;
    int32_t COLOR_SEPA1 = 0xFF40FF;
    int32_t COLOR_SEPA2 = 0xFF8080;
    int32_t COLOR_BACK = 0xFFFFFF;
    int32_t COLOR_FORE = 0x000000;
    int32_t COLOR_SHADOW = 0x808080;
    int32_t COLOR_NOTE_NOR = 0xFFC000;
    int32_t COLOR_NOTE_TOP = 0xFF80FF;
    int32_t COLOR_NOTE_SEL = 0xFF40FF;
    int32_t COLOR_NOTE_TNOR = 0x000000;
    int32_t COLOR_NOTE_TTOP = 0x800000;
    int32_t COLOR_NOTE_TSEL = 0x800000;
    int32_t COLOR_NOTE_RNOR = 0xFFFFFF;
    int32_t COLOR_NOTE_RTOP = 0xC0C0C0;
    int32_t COLOR_NOTE_RSEL = 0x808080;
    int32_t COLOR_PTCH_SEL = 0x0000FF;
    int32_t COLOR_PTCH_NOR = 0xFF0000;
    int32_t COLOR_TEMPO_NOR = 0x0000FF;
    int32_t COLOR_TEMPO_ALL = 0xFF0000;
    int32_t COLOR_PTCH_GRY = 0x808080;
    int32_t COLOR_SELECTBAR = 0xC0C0C0;
    int32_t COLOR_HILIGHT = 0x00FFFF;

    QString TransformTitle;                // title text for the main window caption and the about box
    QString FormIcon;                      // icon file of the main window and the about box
    bool CheckVoiceFile = false;           // check that sample files exist when rendering
    bool NonBatchMode = false;             // render through the in-process renderer
    bool UseDLL = false;                   // render with the library form of tool 2
    bool OldTime = false;                  // compute note lengths in the editor
    bool NoCopyVoiceParam = true;          // a lyric change copies no pre-utterance/overlap
    bool ExcludeVowelOnSetParam = false;   // no automatic pre-utterance/overlap for vowel lyrics
    QString VoiceRoot;                     // parent folder of the voice banks
    QString DefaultVoice;                  // name of the default voice bank
    bool MultiMove = true;                 // status-bar toggle read by the lyric-box commit
    bool OnlyConcat = false;               // read by the render batch writer
    QString MidiInDevName;                 // MIDI input device name
    QString MidiOutDevName;                // MIDI output device name
    bool MidiSendNote = false;             // send entered notes to the MIDI output
    int16_t MidiProgramChange = 0;         // program number for the MIDI output; 0 = none
    bool Mode2 = false;                    // new and imported notes use mode-2 pitch points
    QString Mode2PBS = QStringLiteral("-40");
    QString Mode2PBW = QStringLiteral("80");
    QString Mode2VBR;
    int32_t Mode2VBRExclude = 0;
    QString DefaultEnv;                    // empty means "0 5 35 0 100 100 0"
    int16_t DefaultVolume = 100;
    int16_t DefaultModulation = 0;
    QString DefaultFlags;
    bool SyncScroll = false;
    int16_t MTCFrameRate = 30;
    bool NoOtoReport = false;              // do not show the voice-bank check report
    bool NoCheckSetLyrics = false;         // pouring lyrics is not limited to the selection
    QString SharpFlat = QStringLiteral("#");  // accidental style of note names: "#", "b", "♯" or "♭"
    bool EnterLyric = false;               // the Enter key changes the lyric

    // Run-time-only switches: set by the defaults, never stored in the file.
    bool EncodePitchData = true;            // write pitch data as compact pitch text when rendering
    bool PitchEditorSampleAnalysis = true;  // the pitch editor analyses the sample (always on)
};

// The one settings object of the program.
Settings& settings();

}  // namespace tova
