#include "voicebank/ui/QtVoiceBankTools.h"

#include "core/ProgressPanel.h"
#include "core/ui/EmbeddedProgress.h"
#include "voicebank/ui/frmEditFreqList.h"
#include "voicebank/ui/frmFreqGen.h"
#include "voicebank/ui/frmOtoEdit.h"
#include "voicebank/ui/frmVoicesetManager.h"

#include <QApplication>
#include <QMenu>
#include <QProgressBar>
#include <QTableView>

namespace tova {

QtVoiceBankTools::QtVoiceBankTools(std::function<frmVoicesetManager*()> window, Tool2Calls* tool)
    : window_(std::move(window)), tool_(tool ? *tool : programTool_), set_(tool_, *this) {}

void QtVoiceBankTools::setControlsEnabled(bool on) {
    frmVoicesetManager* w = window_();
    if (!w) return;
    EnableCommandButtons(w, on);
    w->ListView1->setEnabled(on);
    for (QMenu* m : {w->mnFile, w->mnSettei, w->mnTools}) m->menuAction()->setEnabled(on);
}

void QtVoiceBankTools::beginRun(int count) {
    frmVoicesetManager* w = window_();
    if (!w) return;
    BeginProgress(w->ProgressBar1, w->Picture1, 0, count, 200, w);
    setControlsEnabled(false);
    QApplication::processEvents();
}

void QtVoiceBankTools::advance(int done) {
    SetProgressValue(done);
    QApplication::processEvents();
}

void QtVoiceBankTools::endRun() {
    setControlsEnabled(true);
    EndProgress();
}

void QtVoiceBankTools::showFreqGenerator(const QString& voiceFolder) { frmFreqGen::ShowDialog(voiceFolder, tool_); }

bool QtVoiceBankTools::loadFreqFile(const QString& samplePath) { return frmEditFreqList::LoadFreqFile(samplePath, window_()); }

int QtVoiceBankTools::editEntry(VoiceBankManager& manager, int) { return frmOtoEdit::EditEntry(manager, tool_, window_()); }

}  // namespace tova
