#pragma once

namespace tova {

class CoreServices;
class MciPort;
class DefaultVoiceGeneratorPort;
class NoteEditPort;
class MidiPort;
class NoteDrawingPort;
class ProjectFilesPort;
class PlaybackCommands;
class PlaybackPort;
class RenderCommands;
class RenderProgress;
class VoiceBankAccess;
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
    // The render and play commands of the window and its progress window (the form installs them).
    RenderCommands* rendering = nullptr;
    PlaybackCommands* playing = nullptr;
    RenderProgress* progress = nullptr;
};

}  // namespace tova
