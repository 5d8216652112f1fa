#pragma once

#include <QString>
#include <QtGlobal>

namespace tova {

class MciPort;
class RenderWindow;
class SelectionRenderer;
class Song;
struct PlayState;

// The main window's playback commands and timers.
//
// The selection player renders the selected notes into "temp.wav" of the temporary folder and plays
// it with a play cursor that follows the sound. Its state is the state of the device opened on
// "temp.wav": not open (the mode answers "NG:"), playing, paused or stopped. Play on not-open or
// stopped renders again, play on paused resumes, play while playing does nothing; stop closes the
// device; the playback timer sees the end of the sound as "stopped" and closes the device. The file
// is rendered only while its device is closed.
//
// The output player plays, pauses and stops the song's output wave file, always from its start.
class PlaybackCommands {
public:
    PlaybackCommands(Song& song, RenderWindow& window, PlayState& state, MciPort& mci, SelectionRenderer& renderer);

    void btnPlay_Click();
    void btnPause_Click();
    void btnStop_Click();
    void mnPlayTemp_Click();
    void mnToneGen_Click() { mnPlayTemp_Click(); }
    void mnPlayAgain_Click();
    void mnTonePlay_Click() { mnPlayAgain_Click(); }
    void mnPauseTemp_Click();
    void mnStopTemp_Click();
    void mnTempSaveAt_Click();
    void mnMCIPlay_Click();
    void mnMCIPause_Click();
    void mnMCIStop_Click();
    void tmrPlaying_Timer();
    // Ends the MIDI preview note and switches its timer off.
    void tmrMidiNote_Timer();

    // Plays notes first..last: resumes a paused "temp.wav", ignores a playing one, and otherwise
    // renders the notes into it (after closing a stopped device) and plays it from the start.
    void PlayTemp(qint32 first, qint32 last);

    // The selection render's file: the temporary folder followed by "/temp.wav".
    static QString TempWavePath();
    // The output file as the output player finds it: a bare or relative name is taken in the project
    // file's folder; an absolute or network name is used unchanged.
    static QString OutputWavePath(const QString& outputName, const QString& projectPath);

private:
    enum class OutputCommand { Play, Pause, Stop };
    void outputPlayer(OutputCommand command);
    void playSelection();
    QString tempPath() const;

    Song& song_;
    RenderWindow& window_;
    PlayState& state_;
    MciPort& mci_;
    SelectionRenderer& renderer_;
};

}  // namespace tova
