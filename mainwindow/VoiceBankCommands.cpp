// The main window's commands that open the voice-bank tools of the Tools menu.

#include "commands/NotAvailable.h"
#include "core/Settings.h"
#include "mainwindow/MainWindow.h"
#include "mainwindow/MainWindowView.h"
#include "voicebank/PrefixMapEditorPort.h"
#include "render/AliasLookup.h"
#include "render/CacheFiles.h"
#include "voicebank/VoiceBankManagerPort.h"

namespace tova {

void MainWindow::mnEditAlias_Click() {
    if (!ports_.voiceBankManager) {
        ReportNotAvailable(QStringLiteral("原音の設定"));
        return;
    }
    const QString cache = CacheFolderOrTemp(song.CacheDir);
    QString lyric, alias;
    const qint32 note = song.SelStart;
    if (note >= 0 && note < song.noteCount()) {
        lyric = song.Lyrics[note];
        alias = ApplyPrefixMap(song.NoteNums[note], lyric);
        QString lookup = alias;
        if (settings().CheckVoiceFile && FindOtoAlias(lookup).value(0).isEmpty()) alias = lyric;
    }
    const bool quickOpen = view_.ctrlHeld();
    // The manager saves and publishes the table itself when it is closed with its save command.
    ports_.voiceBankManager->ShowDialog(song.VoiceDir, alias, lyric, cache, song.Tool2, quickOpen,
                                       view_.windowObject(QStringLiteral("Form1")));
}

void MainWindow::mnEditPrefixmap_Click() {
    if (!ports_.prefixMapEditor) {
        ReportNotAvailable(QStringLiteral("prefix.mapの編集"));
        return;
    }
    if (ports_.prefixMapEditor->ShowDialog(song.VoiceDir, view_.windowObject(QStringLiteral("Form1"))))
        LoadPrefixMap(song.VoiceDir);
}

}  // namespace tova
