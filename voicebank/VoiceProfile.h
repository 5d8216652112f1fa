#pragma once

#include "core/DialogModel.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace tova {

// The logic of the voice-bank profile dialog "原音のプロフィール" (frmVoiceProperty shows it): what a
// bank says about itself (its profile file, picture and readme) and statistics gathered from its
// files. The form binds its controls to these fields; tests drive the model without widgets. "登録する"
// ends the dialog with OK (Result, `registered`), "キャンセル", Escape and the close box without.
class VoiceProfile : public DialogModel {
public:
    // ---- arguments of ShowProfile ----
    QString folder;               // the bank's folder, no final separator
    QString name;                 // the caller's name (not used for the display)
    bool registerFlag = false;    // whether the "登録する" and "キャンセル" buttons are shown

    // ---- what the form shows ----
    QString txtName = QStringLiteral("No name");
    QString picturePath;          // the profile's picture file; empty: the built-in picture
    QString txtStatics = QStringLiteral("\r\n　取得中...\r\n");
    QString txtReadme = QStringLiteral("No file.");
    int windowHeightTwips = 4470; // 4875 with the buttons, 4470 (buttons below the visible area) without

    // ---- dialog state ----
    QString samplePath;           // the sample the profile names (full path); empty when none
    QStringList samples;          // sample files found: "name" in the folder, "sub/name" in a sub-folder
    QString author, web, other;
    bool registered = false;
    bool closing = false;         // set when the dialog closes; stops the statistics

    // Plays a sample file; the form installs the program's asynchronous player.
    std::function<void(const QString&)> play;
    // Lets pending window events run (between files of the statistics).
    std::function<void()> processEvents;
    // A number in [0, 1) for the random sample.
    std::function<double()> random;

    // Stores the arguments and clears the state (ShowProfile's first step).
    void Begin(const QString& voiceFolder, const QString& callerName, bool withButtons);
    // Reads the profile file and the readme: name (else the folder's own name), picture, sample,
    // author, web and the other lines.
    void Form_Load();
    // The statistics and the author and web lines into txtStatics.
    void Timer1_Timer();
    // The statistics text of a folder, filling `samples`: sample count, total bytes (64-bit), the
    // share of samples with a frequency table and their average frequency with its note name.
    QString ComputeStatistics(const QString& voiceFolder);
    // Plays the profile's sample, or a random one of the samples found; nothing when there is none.
    void Label2_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
    void Form_QueryUnload();
    // Escape and the close box: the statistics stop and the dialog ends without registering.
    void cancelRequested() override;

    // Marks the bank's readme as read on this machine: when the folder has a readme and its marker
    // "$read" is missing or holds another machine's token, the marker is written anew. A marker that
    // cannot be written is passed over. Always false.
    static bool MarkReadmeRead(const QString& voiceFolder);

private:
    void events() const {
        if (processEvents) processEvents();
    }
};

}  // namespace tova
