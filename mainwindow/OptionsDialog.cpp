#include "mainwindow/OptionsDialog.h"
#include "song/FreeText.h"

#include "core/CaptionFiles.h"
#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Midi.h"
#include "core/Settings.h"
#include "exchange/VoiceBankAccess.h"
#include "mainwindow/ToolProgramDialog.h"
#include "platform/Cp932Lines.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "platform/Vb.h"
#include "render/CacheFiles.h"

#include <cmath>

namespace tova {
namespace {

const QString kVoice = QStringLiteral("voice");

// The whole number a box stands for: its leading number rounded to the nearest whole number (a half to
// the even one); false when that is below 1 or beyond the 32-bit range. A cache limit below one
// megabyte or one day would delete every cache file.
bool positiveWholeNumber(const QString& text, int32_t& out) {
    const double v = Vb::Val(text);
    if (!(v >= 1) || !std::isfinite(v)) return false;
    try {
        out = Vb::CLng(v);
    } catch (const OverflowError&) {
        return false;
    }
    return true;
}

// The text up to the last separator of a chosen file: its folder ("" when it holds none).
QString folderOfChosen(const QString& path) {
    const qsizetype sep = PathText::lastSeparator(path);
    return sep < 0 ? QString() : path.left(sep);
}

}  // namespace

QStringList OptionsDialog::SharpFlatEntries() {
    return {QStringLiteral(" #"), QStringLiteral("♯"), QStringLiteral(" b"), QStringLiteral("♭")};
}

OptionsDialog::OptionsDialog(VoiceBankAccess& voices, std::function<QString()> cacheFolder)
    : voices_(voices), cacheFolder_(std::move(cacheFolder)) {}

void OptionsDialog::Form_Load(int tab) {
    const Settings& s = settings();
    Result = false;
    FocusControl.clear();

    lstOtoList.clear();
    for (const QString& entry : s.OtoList)
        if (!entry.isEmpty()) lstOtoList << entry;
    lstOtoListIndex = -1;
    updateOtoButtons();

    if (s.CacheEnable) {
        chkCacheTemp = true;
        if (s.CacheDeleteOnUnload) optCache = CacheOption::DeleteOnUnload;
        else if (s.CacheDeleteBySize) optCache = CacheOption::DeleteBySize;
        else if (s.CacheDeleteByDate) optCache = CacheOption::DeleteByDate;
        else optCache = CacheOption::NoDelete;
        txtCacheLimitSize = QString::number(s.CacheDeleteSize);
        txtCacheDeleteDays = QString::number(s.CacheDeleteInterval);
    } else {
        chkCacheTemp = false;
    }
    UpdateCacheControls(s.CacheEnable);

    txtTool1Path = StripAppPath(s.Tool1Path);
    txtTool2Path = StripAppPath(s.Tool2Path);

    chkEnterLyric = s.EnterLyric;
    chkNoCheckSetLyrics = s.NoCheckSetLyrics;
    chkUseDLL_Click(s.UseDLL);
    chkNoOtoReport = s.NoOtoReport;
    chkExcludeVowelOnSetParam = s.ExcludeVowelOnSetParam;
    chkEncPitchDatas = !s.EncodePitchData;
    chkOldTime = s.OldTime;
    chkNoCopyVoiceParam_Click(s.NoCopyVoiceParam);
    chkCheckVoiceFile = s.CheckVoiceFile;
    chkNonBatchMode = s.NonBatchMode;
    chkDebugMode = s.DebugMode;

    txtVoiceParent = s.VoiceRoot.isEmpty() ? kVoice : s.VoiceRoot;
    chkVoiceRoot = !s.VoiceRoot.isEmpty();
    txtVoiceParentEnabled = chkVoiceRoot;

    ListMidiInDevices(cboMidiDevItems, cboMidiDevIndex, s.MidiInDevName);
    cboMidiDevText = s.MidiInDevName;
    ListMidiOutDevices(cboMidiOutDevItems, cboMidiOutDevIndex, s.MidiOutDevName);
    cboMidiOutDevText = s.MidiOutDevName;

    LoadMidiProgramList();
    const int program = s.MidiProgramChange;
    chkMidiSendPC_Click(program >= 1);
    cboMidiProgramIndex = program >= 1 && program <= cboMidiProgramItems.size() ? program - 1 : -1;
    chkMidiSendNote = s.MidiSendNote;

    if (tab >= 1 && tab <= TabCount) tbsOptions_Click(tab);

    cboSharpFlatIndex = -1;
    const QStringList entries = SharpFlatEntries();
    for (int i = 0; i < entries.size(); ++i) {
        if (entries[i].trimmed() == s.SharpFlat) {
            cboSharpFlatIndex = i;
            break;
        }
    }
}

void OptionsDialog::tbsOptions_Click(int tab) {
    if (tab >= 1 && tab <= TabCount) SelectedTab = tab;
}

void OptionsDialog::Form_KeyDown_CtrlTab() { tbsOptions_Click(SelectedTab % TabCount + 1); }

void OptionsDialog::chkUseDLL_Click(bool checked) {
    chkUseDLL = checked;
    chkNonBatchModeEnabled = !checked;
}

void OptionsDialog::chkNoCopyVoiceParam_Click(bool checked) {
    chkNoCopyVoiceParam = checked;
    chkExcludeVowelOnSetParamEnabled = !checked;
}

void OptionsDialog::chkMidiSendPC_Click(bool checked) {
    chkMidiSendPC = checked;
    cboMidiProgramEnabled = checked;
}

void OptionsDialog::chkCacheTemp_Click(bool checked) {
    chkCacheTemp = checked;
    UpdateCacheControls(checked);
}

void OptionsDialog::UpdateCacheControls(bool enabled) { cacheControlsEnabled = enabled; }

void OptionsDialog::chkVoiceRoot_Click(bool checked) {
    chkVoiceRoot = checked;
    txtVoiceParentEnabled = checked;
    if (!checked) txtVoiceParent = kVoice;
}

void OptionsDialog::txtOtoName_Change(const QString& text) {
    // The settings file separates a registered bank's name from its folder with a comma.
    txtOtoName = SafeFreeText(txtOtoName_KeyPress(text), FreeTextUse::Line);
    updateOtoButtons();
}

void OptionsDialog::txtOtoPath_Change(const QString& text) {
    // One line of the settings file, and the second field of a TAB-separated list entry.
    txtOtoPath = SafeFreeText(text, FreeTextUse::Line);
    updateOtoButtons();
}

void OptionsDialog::updateOtoButtons() {
    const bool both = !txtOtoName.isEmpty() && !txtOtoPath.isEmpty();
    cmdOtoAddEnabled = both;
    cmdOtoSetEnabled = both && lstOtoListIndex >= 0;
    cmdOtoDeleteEnabled = lstOtoListIndex >= 0;
}

void OptionsDialog::lstOtoList_Click(int index) {
    if (index < 0 || index >= lstOtoList.size()) return;
    lstOtoListIndex = index;
    const QStringList fields = lstOtoList[index].split(u'\t');
    txtOtoName = fields.value(0);
    txtOtoPath = fields.value(1);
    updateOtoButtons();
}

bool OptionsDialog::otoBoxesFilled() {
    if (txtOtoName.isEmpty()) FocusControl = QStringLiteral("txtOtoName");
    else if (txtOtoPath.isEmpty()) FocusControl = QStringLiteral("txtOtoPath");
    else return true;
    return false;
}

void OptionsDialog::cmdOtoAdd_Click() {
    if (!otoBoxesFilled()) return;
    lstOtoList << txtOtoName + u'\t' + txtOtoPath;
    txtOtoName.clear();
    txtOtoPath.clear();
    updateOtoButtons();
}

void OptionsDialog::cmdOtoSet_Click() {
    if (!otoBoxesFilled()) return;
    if (lstOtoListIndex < 0 || lstOtoListIndex >= lstOtoList.size()) return;
    lstOtoList[lstOtoListIndex] = txtOtoName + u'\t' + txtOtoPath;
}

void OptionsDialog::cmdOtoDelete_Click() {
    if (lstOtoListIndex < 0 || lstOtoListIndex >= lstOtoList.size()) return;
    lstOtoList.removeAt(lstOtoListIndex);
    lstOtoListIndex = -1;
    updateOtoButtons();
}

void OptionsDialog::cmdOtoFolder_Click() {
    FileDialogRequest request;
    request.filter = GetMessage(QStringLiteral("wavファイル(*.wav)|*.wav|全てのファイル(*.*)|*.*"));
    request.fileName = QStringLiteral("あ.wav");
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return;
    const QString folder = folderOfChosen(chosen.fileName);
    txtOtoPath_Change(folder);
    QString profileFolder = folder;
    QString name;
    QString image;
    voices_.ReadCharacterTxt(profileFolder, name, image);
    txtOtoName_Change(name.isEmpty() ? PathText::filePart(folder) : name);
}

void OptionsDialog::cmdBrowsTool1_Click() { ChooseToolProgram(txtTool1Path, txtTool1Path); }

void OptionsDialog::cmdBrowsTool2_Click() { ChooseToolProgram(txtTool2Path, txtTool2Path); }

void OptionsDialog::cmdBrowsVFolder_Click() {
    FileDialogRequest request;
    request.filter = GetMessage(QStringLiteral("全てのファイル(*.*)|*.*"));
    request.fileName = QStringLiteral("dummy");
    FileDialogResult chosen;
    if (Ports::fileDialog().run(request, chosen)) txtVoiceParent = folderOfChosen(chosen.fileName);
}

void OptionsDialog::Command1_Click() {
    // The two tools of the program folder (programs carry no ".exe" here).
    txtTool1Path = QStringLiteral("catena");
    txtTool2Path = QStringLiteral("vorsa");
}

void OptionsDialog::LoadMidiProgramList() {
    cboMidiProgramItems.clear();
    cboMidiProgramIndex = -1;
    const QString path = PathText::join(SystemPaths::programFolder(), QStringLiteral("program.txt"));
    if (!FileSystem::isRegularFile(path)) return;
    for (const QString& line : ReadCp932Lines(path))
        if (!line.isEmpty() && !line.startsWith(u'#')) cboMidiProgramItems << line;
}

void OptionsDialog::cmdExportResource_Click() { ExportAllCaptionFiles(); }

void OptionsDialog::cmdDeleteCache_Click() { ConfirmDeleteCache(cacheFolder_ ? cacheFolder_() : QString()); }

void OptionsDialog::refuse(const QString& message, int tab, const QString& box) {
    Ports::msgBox(GetMessage(message), MsgButtons::OK, MsgIcon::None);
    tbsOptions_Click(tab);
    FocusControl = box;
}

void OptionsDialog::cmdOK_Click() {
    FocusControl.clear();
    int32_t number = 0;
    if (optCache == CacheOption::DeleteByDate && !positiveWholeNumber(txtCacheDeleteDays, number))
        return refuse(QStringLiteral("キャッシュ保存期限の設定が不正です。"), 3, QStringLiteral("txtCacheDeleteDays"));
    if (optCache == CacheOption::DeleteBySize && !positiveWholeNumber(txtCacheLimitSize, number))
        return refuse(QStringLiteral("キャッシュの容量上限の設定が不正です。"), 3, QStringLiteral("txtCacheLimitSize"));
    if (!IsValidExePath(ResolveAppPath(txtTool1Path)))
        return refuse(QStringLiteral("ツール１のパスが不正です。"), 4, QStringLiteral("txtTool1Path"));
    if (!IsValidExePath(ResolveAppPath(txtTool2Path)))
        return refuse(QStringLiteral("ツール２のパスが不正です。"), 4, QStringLiteral("txtTool2Path"));
    QString voiceParent = txtVoiceParent;
    if (chkVoiceRoot && !IsValidFolderPath(voiceParent))
        return refuse(QStringLiteral("原音フォルダが不正です。"), 4, QStringLiteral("txtVoiceParent"));
    store();
    accept();
}

void OptionsDialog::store() {
    Settings& s = settings();
    s.OtoList = lstOtoList.isEmpty() ? QStringList{QString()} : lstOtoList;

    s.CacheEnable = s.CacheDeleteOnUnload = s.CacheDeleteBySize = s.CacheDeleteByDate = false;
    if (chkCacheTemp) {
        s.CacheEnable = true;
        int32_t number = 0;
        if (optCache == CacheOption::DeleteOnUnload) {
            s.CacheDeleteOnUnload = true;
        } else if (optCache == CacheOption::DeleteBySize) {
            s.CacheDeleteBySize = true;
            if (positiveWholeNumber(txtCacheLimitSize, number)) s.CacheDeleteSize = number;
        } else if (optCache == CacheOption::DeleteByDate) {
            s.CacheDeleteByDate = true;
            if (positiveWholeNumber(txtCacheDeleteDays, number)) s.CacheDeleteInterval = number;
        }
    }

    s.Tool1Path = ResolveAppPath(txtTool1Path);
    s.Tool2Path = ResolveAppPath(txtTool2Path);

    s.EnterLyric = chkEnterLyric;
    s.NonBatchMode = chkNonBatchMode;
    s.UseDLL = chkUseDLL;
    s.CheckVoiceFile = chkCheckVoiceFile;
    s.NoCopyVoiceParam = chkNoCopyVoiceParam;
    s.EncodePitchData = !chkEncPitchDatas;
    s.OldTime = chkOldTime;
    s.ExcludeVowelOnSetParam = chkExcludeVowelOnSetParam;
    // The event handlers read this setting on every call: the change takes effect at once.
    s.DebugMode = chkDebugMode;

    const QString voiceParent = SafeFreeText(txtVoiceParent, FreeTextUse::Line);
    s.VoiceRoot = voiceParent.isEmpty() || voiceParent == kVoice ? QString() : voiceParent;
    s.NoOtoReport = chkNoOtoReport;
    s.NoCheckSetLyrics = chkNoCheckSetLyrics;
    voices_.LoadVoiceBankList();

    s.MidiInDevName = cboMidiDevIndex >= 0 ? cboMidiDevItems.value(cboMidiDevIndex) : cboMidiDevText;
    s.MidiOutDevName = cboMidiOutDevIndex >= 0 ? cboMidiOutDevItems.value(cboMidiOutDevIndex) : cboMidiOutDevText;

    s.MidiProgramChange = 0;
    if (chkMidiSendPC && cboMidiProgramIndex >= 0) {
        try {
            s.MidiProgramChange = Vb::CInt(Vb::Val(cboMidiProgramItems.value(cboMidiProgramIndex)));
        } catch (const OverflowError&) {
            // a line whose number does not fit sends no program change
        }
    }

    s.MidiSendNote = chkMidiSendNote;
    // With no entry selected (a value that matches none) the note-name style stays as it is.
    if (cboSharpFlatIndex >= 0) s.SharpFlat = SharpFlatEntries().value(cboSharpFlatIndex).trimmed();
}

void OptionsDialog::cmdCancel_Click() { reject(); }

}  // namespace tova
