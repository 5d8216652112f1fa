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
    // Every member at its default (core/SettingsKeys.h).
    Settings();

    // Voice banks registered outside the voice folder: display name, TAB, folder path.
    QStringList OtoList;
    // Keep the intermediate files of wave generation as a cache. (Start-up turns this and
    // CacheDeleteOnUnload on when there is no settings file.)
    bool CacheEnable;
    bool CacheDeleteOnUnload;  // delete the cache when the program ends
    bool CacheDeleteBySize;    // delete the oldest cache files above CacheDeleteSize
    int32_t CacheDeleteSize;       // in the unit of the cache clean-up
    bool CacheDeleteByDate;    // delete cache files older than CacheDeleteInterval days
    int32_t CacheDeleteInterval;
    // Tool paths given to new projects. Empty until LoadSettings, which makes an empty (or missing)
    // path the program folder followed by "/catena" (tool 1) or "/vorsa" (tool 2).
    QString Tool1Path;
    QString Tool2Path;
    // Tool programs named by projects that the user allowed or refused to run (render/ToolTrust.h),
    // each path as it is on disk after following links.
    QStringList AcceptedTools;
    QStringList RefusedTools;
    // Recent project files, most recent first at positions 1..n; position 0 exists and stays empty.
    QStringList History;
    bool DebugMode;         // no error traps in the event handlers
    bool PropExpandDetail;  // the note property dialog shows its detail panel

    // Piano-roll colours (defaults as InitDefaultColors sets them).
    int32_t COLOR_PIANO1;
    int32_t COLOR_PIANO2;
    int32_t COLOR_ROLL1;
    int32_t COLOR_ROLL2;
    int32_t COLOR_SEPA1;
    int32_t COLOR_SEPA2;
    int32_t COLOR_BACK;
    int32_t COLOR_FORE;
    int32_t COLOR_SHADOW;
    int32_t COLOR_NOTE_NOR;
    int32_t COLOR_NOTE_TOP;
    int32_t COLOR_NOTE_SEL;
    int32_t COLOR_NOTE_TNOR;
    int32_t COLOR_NOTE_TTOP;
    int32_t COLOR_NOTE_TSEL;
    int32_t COLOR_NOTE_RNOR;
    int32_t COLOR_NOTE_RTOP;
    int32_t COLOR_NOTE_RSEL;
    int32_t COLOR_PTCH_SEL;
    int32_t COLOR_PTCH_NOR;
    int32_t COLOR_TEMPO_NOR;
    int32_t COLOR_TEMPO_ALL;
    int32_t COLOR_PTCH_GRY;
    int32_t COLOR_SELECTBAR;
    int32_t COLOR_HILIGHT;

    QString TransformTitle;                // title text for the main window caption and the about box
    QString FormIcon;                      // icon file of the main window and the about box
    bool CheckVoiceFile;           // check that sample files exist when rendering
    bool NonBatchMode;             // render through the in-process renderer
    bool UseDLL;                   // render with the library form of tool 2
    bool OldTime;                  // compute note lengths in the editor
    bool NoCopyVoiceParam;          // a lyric change copies no pre-utterance/overlap
    bool ExcludeVowelOnSetParam;   // no automatic pre-utterance/overlap for vowel lyrics
    QString VoiceRoot;                     // parent folder of the voice banks
    QString DefaultVoice;                  // name of the default voice bank
    bool MultiMove;                 // status-bar toggle read by the lyric-box commit
    bool OnlyConcat;               // read by the render batch writer
    QString MidiInDevName;                 // MIDI input device name
    QString MidiOutDevName;                // MIDI output device name
    bool MidiSendNote;             // send entered notes to the MIDI output
    int16_t MidiProgramChange;         // program number for the MIDI output; 0 = none
    bool Mode2;                    // new and imported notes use mode-2 pitch points
    QString Mode2PBS;
    QString Mode2PBW;
    QString Mode2VBR;
    int32_t Mode2VBRExclude;
    QString DefaultEnv;                    // empty means "0 5 35 0 100 100 0"
    int16_t DefaultVolume;
    int16_t DefaultModulation;
    QString DefaultFlags;
    bool SyncScroll;
    int16_t MTCFrameRate;
    bool NoOtoReport;              // do not show the voice-bank check report
    bool NoCheckSetLyrics;         // pouring lyrics is not limited to the selection
    QString SharpFlat;  // accidental style of note names: "#", "b", "♯" or "♭"
    bool EnterLyric;               // the Enter key changes the lyric

    // Run-time-only switches: set by the defaults, never stored in the file.
    bool EncodePitchData;            // write pitch data as compact pitch text when rendering
    bool PitchEditorSampleAnalysis;  // the pitch editor analyses the sample (always on)
};

// The one settings object of the program.
Settings& settings();

}  // namespace tova
