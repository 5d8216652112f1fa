#include "mainwindow/ProjectSettingsDialog.h"

#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/ReadmeMarker.h"
#include "core/Settings.h"
#include "core/ShellOpenPort.h"
#include "exchange/VoiceBankAccess.h"
#include "commands/NotAvailable.h"
#include "mainwindow/OptionsDialogPort.h"
#include "mainwindow/ToolProgramDialog.h"
#include "commands/VoiceToolsPort.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "song/FreeText.h"
#include "song/ProjectSettings.h"
#include "platform/Ports.h"
#include "platform/SystemPaths.h"
#include "render/CacheFiles.h"

#include <QFile>

namespace tova {
namespace {

// A path as stored: absolute. An empty text (nothing chosen) stays empty rather than becoming the
// program folder.
QString absolute(const QString& text) { return text.isEmpty() ? text : ResolveAppPath(text); }

// A value of the project file's settings section: one line (no TAB or line break reaches the file,
// which a path box refuses on OK anyway) no longer than the reader takes in.
QString projectValue(const QString& text) {
    QString out = SafeFreeText(text, FreeTextUse::Line);
    if (out.size() > ProjectValueLimit) {
        out.truncate(ProjectValueLimit);
        if (out.back().isHighSurrogate()) out.chop(1);
    }
    return out;
}

// The render cache files of a folder (names of the cache form), as paths.
QStringList cacheFiles(const QString& folder) {
    QStringList out;
    if (folder.isEmpty()) return out;
    const QString onDisk = FileSystem::resolve(folder);
    for (const QString& name : FileSystem::list(onDisk, QStringLiteral("*.wav"), false))
        if (IsCacheFileName(name)) out << PathText::join(onDisk, name);
    return out;
}

}  // namespace

ProjectSettingsDialog::ProjectSettingsDialog(VoiceBankAccess& voices, VoiceToolsPort* profile,
                                             OptionsDialogPort* options)
    : voices_(voices), profile_(profile), options_(options) {}

QString ProjectSettingsDialog::cboVoiceNameText() const {
    return cboVoiceNameIndex >= 0 && cboVoiceNameIndex < cboVoiceNameItems.size() ? cboVoiceNameItems[cboVoiceNameIndex]
                                                                                 : comboText_;
}

void ProjectSettingsDialog::setCboVoiceNameText(const QString& text) {
    const int i = int(cboVoiceNameItems.indexOf(text));
    if (i >= 0) {
        cboVoiceName_Click(i);
        return;
    }
    cboVoiceNameIndex = -1;
    comboText_ = text;
    checkVoiceMenu();
}

void ProjectSettingsDialog::Form_Load(const ProjectSettingsValues& values) {
    given_ = values;
    BuildVoiceMenu(QString());
    chkUseReamplerDll = settings().UseDLL;
    UpdateToolControls();
    txtProjectName = values.ProjectName;
    txtOutputWavName = values.OutFile;
    SelectVoiceEntry(values.VoiceDir, QString());
    txtTool1Path_Change(StripAppPath(values.Tool1));
    txtTool2Path_Change(StripAppPath(values.Tool2));
    txtFlags = values.Flags;
    Result = false;
    CacheFolder = CacheFolderOrTemp(values.CacheDir);
    UpdateCacheButton();
    checkVoiceMenu();
}

void ProjectSettingsDialog::BuildVoiceMenu(const QString& currentName) {
    cboVoiceNameItems.clear();
    cboVoiceNameIndex = -1;
    comboText_.clear();
    mnVoiceCaptions.clear();
    mnVoiceChecked = -1;
    VoiceFolders.clear();
    for (const QString& entry : voices_.VoiceBankList()) {
        if (entry.isEmpty()) continue;
        const QStringList fields = entry.split(u'\t');
        if (fields.size() < 2) continue;
        cboVoiceNameItems << fields[0];
        VoiceFolders << fields[1];
        mnVoiceCaptions << fields[0];
        if (fields[0] == currentName && mnVoiceChecked < 0) mnVoiceChecked = int(mnVoiceCaptions.size()) - 1;
    }
}

void ProjectSettingsDialog::SelectVoiceEntry(const QString& folder, const QString& name) {
    const int i = int(VoiceFolders.indexOf(folder));
    if (i >= 0) {
        cboVoiceName_Click(i);
        return;
    }
    // A folder that is not listed gets a combo entry of its own (no menu entry).
    cboVoiceNameItems << (name.isEmpty() ? folder : name);
    VoiceFolders << folder;
    setLbOtoFolder(folder);
    cboVoiceName_Click(int(cboVoiceNameItems.size()) - 1);
}

void ProjectSettingsDialog::setLbOtoFolder(const QString& caption) {
    lbOtoFolder = caption;
    lbOtoFolder_Change();
}

void ProjectSettingsDialog::lbOtoFolder_Change() {
    QString folder = absolute(lbOtoFolder);
    if (folder.isEmpty()) return;  // the colour stays
    lbOtoFolderRed = !(IsValidFolderPath(folder) && FileSystem::isFolder(folder));
}

void ProjectSettingsDialog::txtTool1Path_Change(const QString& text) {
    txtTool1Path = text;
    txtTool1PathRed = !IsValidExePath(text);
}

void ProjectSettingsDialog::txtTool2Path_Change(const QString& text) {
    txtTool2Path = text;
    txtTool2PathRed = !IsValidExePath(text);
}

void ProjectSettingsDialog::UpdateToolControls() { toolControlsEnabled = !chkUseReamplerDll; }

void ProjectSettingsDialog::chkUseReamplerDll_Click(bool checked) {
    chkUseReamplerDll = checked;
    UpdateToolControls();
}

void ProjectSettingsDialog::cboVoiceName_Click(int index) {
    if (index < 0 || index >= cboVoiceNameItems.size()) return;
    cboVoiceNameIndex = index;
    comboText_.clear();
    setLbOtoFolder(StripAppPath(VoiceFolders.value(index)));
    checkVoiceMenu();
}

void ProjectSettingsDialog::mnVoice_Click(int index) {
    cboVoiceName_Click(index);
    checkVoiceMenu();
}

void ProjectSettingsDialog::checkVoiceMenu() {
    mnVoiceChecked = cboVoiceNameIndex >= 0 && cboVoiceNameIndex < mnVoiceCaptions.size() ? cboVoiceNameIndex : -1;
}

void ProjectSettingsDialog::cmdBrowsOtoDir_Click() {
    QString current = absolute(lbOtoFolder);
    if (!current.isEmpty() && !PathText::isSeparator(current.back())) current += u'/';
    FileDialogRequest request;
    request.filter = GetMessage(QStringLiteral("音源ファイル(*.wav;*.aiff)|*.wav;*.aiff|全てのファイル(*.*)|*.*"));
    request.fileName = current + QStringLiteral("あ.wav");
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen)) return;
    QString folder = chosen.fileName.left(PathText::lastSeparator(chosen.fileName));
    QString name;
    QString image;
    QString profileFolder = folder;
    voices_.ReadCharacterTxt(profileFolder, name, image);
    SelectVoiceEntry(folder, name);
}

void ProjectSettingsDialog::cmdBrowsTool1_Click() {
    QString chosen;
    if (ChooseToolProgram(txtTool1Path, chosen)) txtTool1Path_Change(chosen);
}

void ProjectSettingsDialog::cmdBrowsTool2_Click() {
    QString chosen;
    if (ChooseToolProgram(txtTool2Path, chosen)) txtTool2Path_Change(chosen);
}

void ProjectSettingsDialog::cmdDefault_Click() {
    txtTool1Path_Change(StripAppPath(settings().Tool1Path));
    txtTool2Path_Change(StripAppPath(settings().Tool2Path));
}

int ProjectSettingsDialog::ClearCacheFolder() {
    int count = 0;
    for (const QString& path : cacheFiles(CacheFolder))
        if (QFile::remove(path)) ++count;
    return count;
}

void ProjectSettingsDialog::UpdateCacheButton() { cmdDeleteCacheEnabled = !cacheFiles(CacheFolder).isEmpty(); }

void ProjectSettingsDialog::cmdDeleteCache_Click() {
    if (ClearCacheFolder() > 0) Ports::msgBox(GetMessage(QStringLiteral("WAV作成時の中間ファイルを全て削除しました。")));
    cmdDeleteCacheEnabled = false;
}

void ProjectSettingsDialog::cmdInfo_Click() {
    if (!profile_) {
        ReportNotAvailable(QStringLiteral("音源の情報"));
        return;
    }
    profile_->ShowVoiceProperty(absolute(lbOtoFolder), QString(), false, owner);
}

void ProjectSettingsDialog::mnSetDefault_Click() {
    if (cboVoiceNameIndex >= 0) settings().DefaultVoice = cboVoiceNameText();
}

void ProjectSettingsDialog::mnVOpen_Click() {
    const QString root = settings().VoiceRoot.isEmpty() ? PathText::join(SystemPaths::programFolder(), QStringLiteral("voice"))
                                                        : settings().VoiceRoot;
    ShellOpenPort::openPath(root);
}

void ProjectSettingsDialog::mnSetting_Click() {
    if (!options_) {
        ReportNotAvailable(QStringLiteral("オプション"));
        return;
    }
    if (!options_->ShowOptions(2)) return;
    const QString text = cboVoiceNameText();
    BuildVoiceMenu(text);
    setCboVoiceNameText(text);
    chkUseReamplerDll_Click(settings().UseDLL);
}

void ProjectSettingsDialog::mnReloadList_Click() {
    voices_.LoadVoiceBankList();
    const QString text = cboVoiceNameText();
    BuildVoiceMenu(text);
    setCboVoiceNameText(text);
}

void ProjectSettingsDialog::cmdOK_Click() {
    if (lbOtoFolderRed) {
        Ports::msgBox(GetMessage(QStringLiteral("原音の選択が無効です。")), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!chkUseReamplerDll && txtTool1PathRed) {
        Ports::msgBox(GetMessage(QStringLiteral("ツール１が無効です。")), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    if (!chkUseReamplerDll && txtTool2PathRed) {
        Ports::msgBox(GetMessage(QStringLiteral("ツール２が無効です。")), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    accept();
}

void ProjectSettingsDialog::cmdCancel_Click() { reject(); }

QString ProjectSettingsDialog::CleanFlags(const QString& flags) {
    static const QString removed = QStringLiteral(" ;:\"<>|&/\\*?%");
    QString out;
    for (QChar c : flags)
        if (!removed.contains(c)) out += c;
    return out;
}

QString ProjectSettingsDialog::OutputWithWavExtension(const QString& name) {
    return name.right(4).toLower() == u".wav" ? name : name + QStringLiteral(".wav");
}

bool ProjectSettingsDialog::ReadVoiceReadme(const QString& folder) { return VoiceReadmeUnread(folder); }

void ProjectSettingsDialog::ApplyResult(ProjectSettingsValues& values) {
    values.ProjectName = projectValue(txtProjectName);
    values.OutFile = projectValue(OutputWithWavExtension(txtOutputWavName));
    QString voiceName = cboVoiceNameText();
    const qsizetype sep = PathText::lastSeparator(voiceName);
    if (sep >= 0) voiceName = voiceName.mid(sep + 1);
    values.VoiceName = voiceName;

    const QString flags = CleanFlags(SafeFreeText(txtFlags, FreeTextUse::Flags));
    const QString voiceDir = projectValue(absolute(lbOtoFolder));
    const QString tool1 = projectValue(absolute(txtTool1Path));
    const QString tool2 = projectValue(absolute(txtTool2Path));
    // The cached renderings depend on the voice bank, tool 2 and the flags, not on tool 1.
    if (voiceDir != given_.VoiceDir || tool2 != given_.Tool2 || flags != given_.Flags) ClearCacheFolder();
    values.VoiceDir = voiceDir;
    values.Tool1 = tool1;
    values.Tool2 = tool2;
    values.Flags = flags;

    if (ReadVoiceReadme(voiceDir)) {
        if (profile_) profile_->ShowVoiceProperty(voiceDir, QString(), false, owner);
    }
    settings().UseDLL = chkUseReamplerDll;
}

}  // namespace tova
