#pragma once

#include <functional>

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

    // Every port by name with whether it is set, in the order above.
    void forEachPort(const std::function<void(const char* name, bool set)>& visit) const {
        visit("core", core);
        visit("generator", generator);
        visit("voiceBanks", voiceBanks);
        visit("projectFiles", projectFiles);
        visit("noteDrawing", noteDrawing);
        visit("playback", playback);
        visit("mci", mci);
        visit("noteEdit", noteEdit);
        visit("voiceTools", voiceTools);
        visit("midi", midi);
        visit("pluginWait", pluginWait);
        visit("rendering", rendering);
        visit("playing", playing);
        visit("progress", progress);
        visit("voiceBankManager", voiceBankManager);
        visit("prefixMapEditor", prefixMapEditor);
        visit("suffixBroker", suffixBroker);
        visit("samplePicker", samplePicker);
        visit("noteDialogs", noteDialogs);
        visit("tuningDialogs", tuningDialogs);
    }
};
// A port added above and not to forEachPort would escape the check that the program sets every port.
static_assert(sizeof(MainWindowPorts) == 20 * sizeof(void*), "list every port in forEachPort");

}  // namespace tova
