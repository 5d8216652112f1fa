#pragma once

namespace tova {

class CoreServices;
class MciPort;
class DefaultVoiceGeneratorPort;
class NoteEditPort;
class NoteDialogsPort;
class MidiPort;
class NoteDrawingPort;
class ProjectFilesPort;
class PlaybackCommands;
class PlaybackPort;
class PluginWaitPort;
class RenderCommands;
class RenderProgress;
class PrefixMapEditorPort;
class TuningDialogsPort;
class SamplePickerPort;
class SuffixBrokerPort;
class VoiceBankAccess;
class VoiceBankManagerPort;
class VoiceToolsPort;

// The services the main window calls, each owned elsewhere. A null port is a service that is not
// there: the steps that need it do nothing.
struct MainWindowPorts {
    CoreServices* core = nullptr;
    DefaultVoiceGeneratorPort* generator = nullptr;
    VoiceBankAccess* voiceBanks = nullptr;
    ProjectFilesPort* projectFiles = nullptr;
    NoteDrawingPort* noteDrawing = nullptr;
    PlaybackPort* playback = nullptr;
    // The multimedia layer that playback goes through; null: the program's own.
    MciPort* mci = nullptr;
    NoteEditPort* noteEdit = nullptr;
    VoiceToolsPort* voiceTools = nullptr;
    MidiPort* midi = nullptr;
    // Runs a plug-in while its wait window is shown.
    PluginWaitPort* pluginWait = nullptr;
    // The render and play commands of the window and its progress window (the form installs them).
    RenderCommands* rendering = nullptr;
    PlaybackCommands* playing = nullptr;
    RenderProgress* progress = nullptr;
    // The voice-bank manager and the prefix.map editor of the Tools menu.
    VoiceBankManagerPort* voiceBankManager = nullptr;
    PrefixMapEditorPort* prefixMapEditor = nullptr;
    // The suffix dialog over the selected lyrics and the sample picker beside the window.
    SuffixBrokerPort* suffixBroker = nullptr;
    SamplePickerPort* samplePicker = nullptr;
    // The note property, volume multiplier and default property dialogs.
    NoteDialogsPort* noteDialogs = nullptr;
    // The automatic tuning dialogs of the note tools menu.
    TuningDialogsPort* tuningDialogs = nullptr;
};

}  // namespace tova
