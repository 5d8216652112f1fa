#include "voicebank/VoiceBankManager.h"

#include "core/MessageTable.h"
#include "core/Mci.h"
#include "commands/NotAvailable.h"
#include "core/Processes.h"
#include "core/ShellOpenPort.h"
#include "platform/Errors.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"
#include "render/CacheFiles.h"
#include "platform/Cp932Lines.h"
#include "render/OtoIni.h"
#include "render/OtoLoadHost.h"
#include "voicebank/OtoIniFiles.h"
#include "voicebank/VoiceBankManagerTools.h"
#include "song/FreeText.h"

#include <QFile>

#include <algorithm>

#include <cmath>

namespace tova {
namespace {

const QString kTab = QStringLiteral("\t");

// The program's loaded table as a list of entries (none when nothing is loaded).
QStringList programTable() { return OtoTableIsEmpty() ? QStringList() : OtoTable(); }

QString trimBlanks(const QString& s) {
    qsizetype a = 0, b = s.size();
    while (a < b && s[a] == u' ') ++a;
    while (b > a && s[b - 1] == u' ') --b;
    return s.mid(a, b - a);
}

// The entry split at TAB and brought to exactly seven fields.
QStringList sevenFields(const QString& entry) {
    QStringList f = entry.split(u'\t');
    while (f.size() < 7) f << QString();
    if (f.size() > 7) f.resize(7);
    return f;
}

QString withoutSampleExtension(const QString& name) {
    if (name.endsWith(QStringLiteral(".wav"))) return name.left(name.size() - 4);
    if (name.endsWith(QStringLiteral(".aiff"))) return name.left(name.size() - 5);
    return name;
}

QString cutBeforeLastDot(const QString& name) {
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot < 0 ? name : name.left(dot);
}

bool isSampleName(const QString& name) {
    const QString lower = name.toLower();
    return lower.endsWith(QStringLiteral(".wav")) || lower.endsWith(QStringLiteral(".aiff"));
}

QString numberText(double v) { return Vb::DoubleText(v == 0 ? 0.0 : v); }

}  // namespace

VoiceBankManager::VoiceBankManager(VoiceBankManagerTools* tools) : tools_(tools) {}

// ---------------------------------------------------------------------------------------------------
// Entering and leaving

bool VoiceBankManager::BeginShow(const QString& voiceFolder, const QString& name1, const QString& name2,
                                 const QString& cacheFolder, bool quickOpen) {
    VoiceFolder = voiceFolder;
    passedFolder_ = voiceFolder;
    CacheFolder = cacheFolder;
    QuickOpen = quickOpen;
    ListChanged = false;
    Accepted = false;
    saved_ = false;
    LookupName1 = trimBlanks(name1);
    LookupName2 = trimBlanks(name2);

    // The files are read at every opening, also into a kept window: the bank may have changed on disk
    // since, and a save must know the lines it writes into.
    if (!QuickOpen) LoadEntries();
    else LoadFromOtoTable();

    bool found = false;
    if (!(name1 + name2).isEmpty()) {
        found = SelectEntryByName(LookupName1);
        if (!found) found = SelectEntryByName(LookupName2);
    }
    if (selectedRow < 0) {
        Ports::msgBox(GetMessage(QStringLiteral("原音の設定が無効です")), MsgButtons::OK, MsgIcon::Exclamation);
        return false;
    }
    CurrentKey = rows[selectedRow].key;
    ShowParams();
    if (found && QuickOpen) {
        cmdEditGUI_Click();
        if (lastEditResult_ != -1) return false;
    }
    hidden = false;
    return true;
}

bool VoiceBankManager::EndShow() {
    hidden = true;
    if (Accepted && !saved_ && !SaveOtoIni()) Accepted = false;
    if (Accepted) {
        // The entries as the saved files hold them, in their order (the list's order is for display), so
        // that an alias given by two samples finds the one it finds after the next loading too.
        if (VoiceFolder == passedFolder_) PublishOtoTable(EntryTable);
    } else if (ListChanged && VoiceFolder == passedFolder_) {
        FillList();
    }
    return Accepted;
}

// ---------------------------------------------------------------------------------------------------
// The list

void VoiceBankManager::setStatus(const QString& text) {
    statusText = text;
    if (OtoLoadHost* host = otoLoadHost()) host->SetOtoStatusText(text);
}

QString VoiceBankManager::freeKey(const QString& base, int& counter) const {
    if (!keys_.contains(base)) return base;
    while (keys_.contains(base + QString::number(counter))) ++counter;
    return base + QString::number(counter);
}

void VoiceBankManager::addRow(SampleRow row) {
    keys_.insert(row.key);
    // The first row of an empty list becomes its selected row, as the list control does.
    const bool first = rows.isEmpty();
    row.selected = first;
    rows.append(std::move(row));
    if (first) selectedRow = 0;
}

void VoiceBankManager::buildRow(const QString& entry, const OtoOrigin& origin, int& counter, bool resetCounter,
                                FrqMarks& marks) {
    const QStringList f = sevenFields(entry);
    if (resetCounter) counter = 0;
    SampleRow row;
    row.key = freeKey(f[0], counter);
    row.text = f[0];
    for (int n = 1; n <= 6; ++n) row.item(n) = f[n];
    row.item(7) = marks.mark(f[0]);
    row.item(8) = RowSortKey(f[0]);
    row.origin = origin;
    addRow(std::move(row));
}

void VoiceBankManager::sortRows() {
    const QString selectedKey = selectedRow >= 0 ? rows[selectedRow].key : QString();
    std::stable_sort(rows.begin(), rows.end(), [](const SampleRow& a, const SampleRow& b) {
        return QString::compare(a.item(8), b.item(8), Qt::CaseInsensitive) < 0;
    });
    selectedRow = selectedKey.isEmpty() ? -1 : rowOfKey(selectedKey);
}

void VoiceBankManager::clearRows() {
    rows.clear();
    keys_.clear();
    selectedRow = -1;
}

void VoiceBankManager::readFiles(const QString& argument) {
    const bool reload = argument.isEmpty() || argument == u"RELOAD";
    if (reload) RecoverOtoSave(VoiceFolder);
    OtoReadResult read = ReadOtoIni(VoiceFolder, reload ? QStringLiteral("RELOAD") : argument);
    if (!reload) {
        // The opened file stands in for the bank's own oto.ini: saving writes its lines there. The
        // sub-folder files are read too, so that saving leaves them as they are.
        if (!read.files.isEmpty()) {
            KeptTextFile& opened = read.files.first();
            const KeptTextFile own = KeptTextFile::read(PathText::join(VoiceFolder, QStringLiteral("oto.ini")), kOtoIniBounds);
            opened.path = own.path;
            opened.existed = own.existed;
            opened.original = own.original;
        }
        ReadOtoSubFolders(VoiceFolder, read);
    }
    EntryTable = std::move(read.entries);
    EntryOrigins = std::move(read.origins);
    OtoFiles = std::move(read.files);
}

void VoiceBankManager::entriesFromProgram() {
    EntryTable = programTable();
    EntryOrigins = QList<OtoOrigin>(EntryTable.size());
}

void VoiceBankManager::LoadEntries(const QString& argument) {
    txtOtoPath = VoiceFolder;
    setStatus(QStringLiteral("loading alias..."));
    readFiles(argument);
    buildRows(false, true);
    ScanVoiceFolder();
    setStatus(QString());
}

void VoiceBankManager::LoadFromOtoTable() {
    txtOtoPath = VoiceFolder;
    readFiles(QString());
    buildRows(true, false);
    setStatus(QString());
}

void VoiceBankManager::buildRows(bool resetCounter, bool skipEmpty) {
    clearRows();
    rows.reserve(EntryTable.size());
    int counter = 0;
    FrqMarks marks(VoiceFolder);
    const qsizetype last = EntryTable.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        if (i % 50 == 0) setStatus(QString::number(i) + u'/' + QString::number(last));
        if (skipEmpty && EntryTable[i].isEmpty()) continue;
        buildRow(EntryTable[i], i < EntryOrigins.size() ? EntryOrigins[i] : OtoOrigin{}, counter, resetCounter, marks);
    }
}

void VoiceBankManager::FillList() {
    const qsizetype n = EntryTable.size() - 1;
    while (rows.size() > n + 1) removeRow(int(rows.size() - 1));
    int counter = 0;
    for (qsizetype i = rows.size(); i <= n; ++i) {
        SampleRow row;
        const QString base = u'#' + QString::number(i);
        row.key = base;
        if (keys_.contains(base)) {
            while (keys_.contains(base + u'#' + QString::number(counter))) ++counter;
            row.key = base + u'#' + QString::number(counter);
        }
        row.text = QStringLiteral("0");
        for (int k = 1; k <= 8; ++k) row.item(k) = QString::number(k);
        addRow(std::move(row));
    }
    if (rows.size() == n + 1) {
        FrqMarks marks(VoiceFolder);
        for (qsizetype i = 0; i <= n; ++i) {
            const QStringList f = sevenFields(EntryTable[i]);
            SampleRow& row = rows[i];
            row.text = f[0];
            for (int k = 1; k <= 6; ++k) row.item(k) = f[k];
            row.item(7) = marks.mark(f[0], QStringLiteral("\u3000"));
            row.item(8) = RowSortKey(f[0]);
            row.origin = i < EntryOrigins.size() ? EntryOrigins[i] : OtoOrigin{};
        }
    }
    ScanVoiceFolder();
}

void VoiceBankManager::ListToEntries() {
    if (rows.isEmpty()) return;
    QStringList entries;
    QList<OtoOrigin> origins;
    entries.reserve(rows.size());
    for (const SampleRow& row : rows) {
        QString e = row.text;
        for (int n = 1; n <= 6; ++n) e += kTab + row.item(n);
        entries << e;
        origins << row.origin;
    }
    EntryTable = std::move(entries);
    EntryOrigins = std::move(origins);
}

void VoiceBankManager::PublishOtoTable(const QStringList& entries) {
    OtoTable() = entries.isEmpty() ? QStringList{QString()} : entries;
    clsMap& index = OtoIndex();
    index.Clear();
    index.reserve(2 * entries.size());
    for (qsizetype i = 0; i < entries.size(); ++i) {
        const QStringList f = entries[i].split(u'\t');
        const QString number = QString::number(i);
        index.add(f[0], number);
        if (f.size() > 1 && !f[1].isEmpty()) index.add(f[1], number);
    }
}

void VoiceBankManager::ScanVoiceFolder() {
    // Names are compared without regard to letter case or the kind of separator: the entry KA.wav
    // stands for the file ka.wav, which the file-system layer opens under that name.
    const auto nameKey = [](const QString& n) { return PathText::toSlashes(n).toLower(); };
    QSet<QString> known;
    known.reserve(2 * EntryTable.size());
    for (const QString& e : EntryTable) {
        const qsizetype tab = e.indexOf(u'\t');
        known.insert(nameKey(tab < 0 ? e : e.left(tab)));
        if (tab >= 0) {
            const qsizetype next = e.indexOf(u'\t', tab + 1);
            const QString alias = next < 0 ? e.mid(tab + 1) : e.mid(tab + 1, next - tab - 1);
            if (!alias.isEmpty()) known.insert(nameKey(alias));
        }
    }

    setStatus(QStringLiteral("search for files..."));
    QStringList folders, files;
    if (!VoiceFolder.isEmpty()) {
        QStringList all;
        ListFolder(VoiceFolder, all, folders);
        for (const QString& n : all)
            if (isSampleName(n)) files << n;
        for (const QString& d : folders) {
            setStatus(QStringLiteral("searching ") + VoiceFolder + u'\\' + d);
            const QString sub = PathText::join(VoiceFolder, d);
            QStringList found = FileSystem::list(sub, QStringLiteral("*.wav"), false);
            if (found.isEmpty()) found = FileSystem::list(sub, QStringLiteral("*.aiff"), false);
            for (const QString& f : found) files << d + u'\\' + f;
        }
    }

    setStatus(QStringLiteral("others to listview"));
    FrqMarks marks(VoiceFolder);
    const qsizetype last = files.size() - 1;
    for (qsizetype i = 0; i <= last; ++i) {
        const QString& name = files[i];
        if (known.contains(nameKey(name))) continue;
        int counter = 0;
        SampleRow row;
        row.key = freeKey(name, counter);
        row.text = name;
        row.item(7) = marks.mark(name);
        row.item(8) = RowSortKey(name);
        addRow(std::move(row));
        EntryTable << name;
        EntryOrigins.resize(EntryTable.size() - 1);
        EntryOrigins << OtoOrigin{};
        if (i % 50 == 0) setStatus(QString::number(i) + u'/' + QString::number(last));
    }
    sorted = true;
    sortRows();
    setStatus(QString());
}

bool VoiceBankManager::SelectEntryByName(const QString& name) {
    int found = -1;
    for (int i = 0; i < rows.size() && found < 0; ++i)
        if (rows[i].item(1) == name) found = i;
    for (int i = 0; i < rows.size() && found < 0; ++i)
        if (rows[i].text == name + QStringLiteral(".wav") || rows[i].text == name + QStringLiteral(".aiff")) found = i;
    if (found < 0) return false;
    selectRow(found);
    scrollToSelected = true;
    return true;
}

void VoiceBankManager::ShowParams() {
    int row = rowOfKey(CurrentKey);
    if (row < 0) {
        row = selectedRow;
        if (row >= 0) CurrentKey = rows[row].key;
    }
    if (row < 0) return;
    const SampleRow& r = rows[row];
    txtName = r.text;
    txtAlias = r.item(1);
    txtOffset = r.item(2);
    txtFixedLen = r.item(3);
    txtEndBlank = r.item(4);
    txtOffset2 = r.item(5);
    txtOverlap = r.item(6);
    // The row's mark tells whether the table exists; looking it up on disk would list a large bank's
    // folder at every click.
    cmdFreqListEnabled = r.item(7) == u"○";
}

int VoiceBankManager::rowOfKey(const QString& key) const {
    if (key.isEmpty() || !keys_.contains(key)) return -1;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].key == key) return i;
    return -1;
}

void VoiceBankManager::selectRow(int row, bool add) {
    if (!(add && multiSelect))
        for (SampleRow& r : rows) r.selected = false;
    if (row < 0 || row >= rows.size()) {
        selectedRow = -1;
        return;
    }
    rows[row].selected = true;
    selectedRow = row;
}

int VoiceBankManager::targetRow() {
    if (selectedRow < 0) return -1;
    if (rows[selectedRow].key != CurrentKey) {
        const int shown = rowOfKey(CurrentKey);
        if (shown >= 0) selectRow(shown);
    }
    return selectedRow;
}

QList<int> VoiceBankManager::selectedRows() const {
    QList<int> out;
    for (int i = 0; i < rows.size(); ++i)
        if (rows[i].selected) out << i;
    return out;
}

void VoiceBankManager::removeRow(int row) {
    keys_.remove(rows[row].key);
    rows.removeAt(row);
    if (selectedRow == row) selectedRow = -1;
    else if (selectedRow > row) --selectedRow;
}

void VoiceBankManager::clearBoxes() {
    txtAlias.clear();
    txtOffset.clear();
    txtFixedLen.clear();
    txtEndBlank.clear();
    txtOffset2.clear();
    txtOverlap.clear();
}

bool VoiceBankManager::toolMissing(const QString& feature) const {
    if (tools_) return false;
    ReportNotAvailable(feature);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// Entry commands

double VoiceBankManager::ParseParamText(const QString& text) {
    const double v = Vb::Val(text);
    return v < 0 || !std::isfinite(v) ? 0.0 : v;
}

void VoiceBankManager::cmdSet_Click() {
    if (!txtOffset.isEmpty()) {
        const double v = Vb::Val(txtOffset);
        txtOffset = numberText(std::isfinite(v) ? v : 0.0);
    }
    SetMultiSelect(false);
    RepeatCount = 0;
    const int row = targetRow();
    if (row < 0) return;
    SampleRow& r = rows[row];
    // A value that gives no finite number is 0, as any other text that is no number.
    const auto signedValue = [](const QString& text) {
        const double v = Vb::Val(text);
        return std::isfinite(v) ? v : 0.0;
    };
    r.item(1) = SafeFreeText(txtAlias, FreeTextUse::Alias);
    r.item(2) = numberText(ParseParamText(txtOffset));
    r.item(3) = numberText(ParseParamText(txtFixedLen));
    r.item(4) = numberText(signedValue(txtEndBlank));
    r.item(5) = numberText(ParseParamText(txtOffset2));
    r.item(6) = numberText(signedValue(txtOverlap));
    DeleteVoiceCacheFiles(CacheFolder, withoutSampleExtension(r.text));
    ListChanged = true;
}

void VoiceBankManager::cmdDel_Click() {
    const QString question = GetMessage(QStringLiteral("選択したエントリを削除します。")) + u'\n' +
                             GetMessage(QStringLiteral("削除するとパラメータがクリアされますが、ファイルは削除しません。"));
    if (Ports::msgBox(question, MsgButtons::OKCancel, MsgIcon::Information) != MsgResult::OK) {
        RepeatCount = 0;
        return;
    }
    if (multiSelect) {
        const QList<int> chosen = selectedRows();
        for (qsizetype k = chosen.size() - 1; k >= 0; --k) removeRow(chosen[k]);
    } else {
        const int row = targetRow();
        if (row >= 0) {
            removeRow(row);
            // The list then selects the row that took the removed one's place.
            if (!rows.isEmpty()) {
                selectRow(std::min(row, int(rows.size()) - 1));
                CurrentKey = rows[selectedRow].key;
                ShowParams();
            }
        }
    }
    ListChanged = true;
    RepeatCount = 0;
}

void VoiceBankManager::cmdClear_Click() {
    if (!multiSelect) {
        const int row = targetRow();
        if (row < 0) return;
        for (int n = 1; n <= 6; ++n) rows[row].item(n).clear();
    } else {
        // Shown as it stands, not through the message table.
        if (Ports::msgBox(QStringLiteral("選択したエントリを全てクリアします"), MsgButtons::OKCancel) != MsgResult::OK) return;
        for (const int row : selectedRows())
            for (int n = 1; n <= 6; ++n) rows[row].item(n).clear();
    }
    clearBoxes();
    ListChanged = true;
    RepeatCount = 0;
}

void VoiceBankManager::cmdCopy_Click() {
    const int row = targetRow();
    if (row < 0) return;
    SampleRow copy = rows[row];
    copy.selected = false;
    copy.origin.line = -1;  // a new entry, saved into the file of the copied one
    int counter = 0;
    while (keys_.contains(copy.text + QString::number(counter))) ++counter;
    copy.key = copy.text + QString::number(counter);
    keys_.insert(copy.key);
    rows.insert(row, std::move(copy));
    ++selectedRow;
    sorted = true;
    sortRows();
    ListChanged = true;
    RepeatCount = 0;
}

void VoiceBankManager::cmdEditGUI_Click() {
    SetMultiSelect(false);
    RepeatCount = 0;
    if (selectedRow < 0) return;
    lastEditResult_ = toolMissing(GetMessage(QStringLiteral("原音設定エディタ"))) ? -1 : tools_->EditEntry(*this, selectedRow);
    if (lastEditResult_ == 1 && selectedRow >= 0) {
        DeleteVoiceCacheFiles(CacheFolder, cutBeforeLastDot(rows[selectedRow].text));
        Accepted = true;
        ListChanged = true;
    } else {
        Accepted = false;
    }
}

void VoiceBankManager::ReloadEntry(int row, QString& path) {
    SampleRow& r = rows[row];
    path = SampleFilePath(VoiceFolder, r.text);
    if (path.isEmpty()) return;  // a name outside the bank has no oto.ini of its own
    const qsizetype sep = PathText::lastSeparator(path);
    const QString folder = path.left(sep + 1);
    const QString file = path.mid(sep + 1);
    const QString ini = folder + QStringLiteral("oto.ini");
    if (!FileSystem::isFile(ini)) return;
    for (const QString& line : ReadCp932Lines(ini)) {
        const QStringList parts = line.split(u'=');
        if (parts[0] != file) continue;
        const QStringList values = parts.size() > 1 ? parts[1].split(u',') : QStringList{QString()};
        if (values[0] != r.item(1)) continue;
        if (values.size() < 6)
            throw InvalidCallError(QStringLiteral("インデックスが有効範囲にありません。"));
        for (int n = 2; n <= 6; ++n) r.item(n) = values[n - 1];
        ListChanged = true;
        return;
    }
}

void VoiceBankManager::mnReloadEntry_Click() {
    QString path;
    if (multiSelect) {
        for (const int row : selectedRows()) ReloadEntry(row, path);
    } else if (selectedRow >= 0) {
        ReloadEntry(selectedRow, path);
    }
}

void VoiceBankManager::mnExtension_Click(int) {
    SetMultiSelect(false);
    if (selectedRow < 0) return;
    QString path;
    ReloadEntry(selectedRow, path);
    QString name = rows[selectedRow].text;
    if (name.endsWith(QStringLiteral(".wav"))) name.chop(4);
    DeleteVoiceCacheFiles(CacheFolder, name);
}

void VoiceBankManager::Label3_DblClick() {
    const QString question = multiSelect ? GetMessage(QStringLiteral("選択したエントリのエイリアスをクリアします"))
                                         : GetMessage(QStringLiteral("全てのエントリのエイリアスをクリアします"));
    if (Ports::msgBox(question, MsgButtons::OKCancel, MsgIcon::Question) == MsgResult::OK) {
        for (SampleRow& r : rows)
            if (!multiSelect || r.selected) r.item(1).clear();
        ListChanged = true;
    }
    ShowParams();
}

void VoiceBankManager::AliasFromFileName() {
    const QString question = multiSelect
                                 ? GetMessage(QStringLiteral("選択したエントリのファイル名（.wav抜き）をエイリアスに設定します"))
                                 : GetMessage(QStringLiteral("全てのエントリのファイル名（.wav抜き）をエイリアスに設定します"));
    if (Ports::msgBox(question, MsgButtons::OKCancel, MsgIcon::Question) == MsgResult::OK) {
        for (SampleRow& r : rows)
            if (!multiSelect || r.selected) r.item(1) = withoutSampleExtension(r.text.mid(PathText::lastSeparator(r.text) + 1));
        ListChanged = true;
    }
    ShowParams();
}

void VoiceBankManager::SetMultiSelect(bool on) {
    multiSelect = on;
    mnSelectAllEnabled = on;
    if (!on) selectRow(selectedRow);
}

void VoiceBankManager::mnSelectAll_Click() {
    if (!multiSelect) return;
    for (SampleRow& r : rows) r.selected = true;
}

void VoiceBankManager::cmdOK_Click() {
    // The list is saved before the window goes, so that a save that cannot be made keeps the window and
    // its changes.
    if (!SaveOtoIni() && !txtOtoPath.isEmpty()) return;
    saved_ = true;
    Accepted = true;
    accept();
}

void VoiceBankManager::cmdClose_Click() {
    Accepted = false;
    reject();
}

void VoiceBankManager::cancelRequested() {
    if (Form_Unload()) cmdClose_Click();
}

// ---------------------------------------------------------------------------------------------------
// Tools built apart

void VoiceBankManager::Form_DblClick() {
    if (toolMissing(GetMessage(QStringLiteral("パラメータの推定")))) return;
    if (tools_->EstimateParameters(*this)) ListChanged = true;
}

void VoiceBankManager::cmdDeleteFreqList_Click() {
    if (toolMissing(GetMessage(QStringLiteral("周波数表の作成")))) return;
    tools_->RecreateFreqTables(*this);
}

void VoiceBankManager::lblBreak_Click() { StopRequested = -1; }

void VoiceBankManager::cmdFreqList_Click() {
    RepeatCount = 0;
    if (selectedRow < 0 || toolMissing(GetMessage(QStringLiteral("周波数表の編集")))) return;
    if (tools_->EditFreqTable(*this) && selectedRow >= 0)
        DeleteVoiceCacheFiles(CacheFolder, cutBeforeLastDot(rows[selectedRow].text));
}

void VoiceBankManager::Label18_DblClick() {
    RepeatCount = 0;
    if (toolMissing(GetMessage(QStringLiteral("周波数表の一括作成")))) return;
    tools_->ShowFreqGenerator(*this);
    // The run made tables: the rows show their marks at once.
    FrqMarks marks(VoiceFolder);
    for (SampleRow& r : rows) r.item(7) = marks.mark(r.text);
    ShowParams();
}

// ---------------------------------------------------------------------------------------------------
// Window and list events, file menu

bool VoiceBankManager::Form_Unload() { return !Busy; }

void VoiceBankManager::ListView1_DblClick() {
    if (selectedRow < 0) return;
    const QString sample = SampleFilePath(VoiceFolder, rows[selectedRow].text);
    if (sample.isEmpty() || !FileSystem::isFile(sample)) return;
    QString path = GetShortPath(sample);
    if (path.contains(u'!')) {
        // Played from a copy in the temporary folder.
        const QString copy = PathText::join(TempFolder, QStringLiteral("temp.wav"));
        MciClose(GetShortPath(copy));
        const QString target = FileSystem::resolve(copy);
        QFile::remove(target);
        if (!QFile::copy(FileSystem::resolve(sample), target))
            throw FileError(GetMessage(QStringLiteral("{1}を保存できませんでした。"), copy), 75);
        path = GetShortPath(copy);
    }
    // The multimedia layer plays a file once it is opened under its alias.
    MciOpen(path);
    MciPlay(path);
}

void VoiceBankManager::ListView1_KeyDown(int key, bool ctrl) {
    if (ctrl && key == kKeyA && multiSelect) mnSelectAll_Click();
}

void VoiceBankManager::ListView1_KeyUp(int key) {
    if ((key == kKeyUp || key == kKeyDown) && selectedRow >= 0) {
        CurrentKey = rows[selectedRow].key;
        ShowParams();
    }
}

void VoiceBankManager::ListView1_MouseDown(int row) {
    if (row < 0 || row >= rows.size()) return;
    CurrentKey = rows[row].key;
    ShowParams();
}

bool VoiceBankManager::ListView1_MouseUp(int row, bool rightButton) {
    if (!rightButton || row < 0 || row >= rows.size()) return false;
    CurrentKey = rows[row].key;
    ShowParams();
    return true;
}

void VoiceBankManager::mnOpen_Click() {
    FileDialogRequest request;
    request.fileName = PathText::join(txtOtoPath, QStringLiteral("*.ini"));
    request.filter = GetMessage(QStringLiteral("設定ファイル(*.ini)|*.ini|全てのファイル(*.*)|*.*"));
    request.fileMustExist = true;
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen) || chosen.fileName.isEmpty()) return;
    const QString folder = PathText::toSlashes(PathText::folderPart(chosen.fileName));
    if (folder != PathText::toSlashes(txtOtoPath) &&
        Ports::msgBox(GetMessage(QStringLiteral("現在表示されているものとは違うフォルダの設定ファイルです。そのまま読み込みますか？")),
                      MsgButtons::OKCancel, MsgIcon::Exclamation) != MsgResult::OK)
        return;
    LoadEntries(chosen.fileName);
    ListChanged = true;
    entriesFromProgram();
    RepeatCount = 0;
}

void VoiceBankManager::mnOpenOther_Click() {
    FileDialogRequest request;
    request.fileName = PathText::join(txtOtoPath, QStringLiteral("あ.wav"));
    request.filter = GetMessage(QStringLiteral("wavファイル(*.wav)|*.wav|全てのファイル(*.*)|*.*"));
    request.fileMustExist = true;
    FileDialogResult chosen;
    if (!Ports::fileDialog().run(request, chosen) || chosen.fileName.isEmpty()) return;
    VoiceFolder = PathText::folderPart(chosen.fileName);
    LoadEntries(QStringLiteral("RELOAD"));
    ListChanged = true;
    RepeatCount = 0;
}

void VoiceBankManager::mnReload_Click() {
    if (Ports::msgBox(GetMessage(QStringLiteral("原音フォルダから設定を読み直します。 ")), MsgButtons::OKCancel,
                      MsgIcon::Exclamation) != MsgResult::OK)
        return;
    LoadEntries(QStringLiteral("RELOAD"));
    // Leaving without saving brings back the bank as the program has it loaded.
    ListChanged = true;
    if (VoiceFolder == passedFolder_) entriesFromProgram();
}

void VoiceBankManager::mnSaveAs_Click() {
    FileDialogRequest request;
    request.save = true;
    request.fileName = txtOtoPath;
    request.filter = GetMessage(QStringLiteral("設定ファイル(*.ini)|*.ini|全てのファイル(*.*)|*.*"));
    request.overwritePrompt = true;
    FileDialogResult chosen;
    RepeatCount = 0;
    if (!Ports::fileDialog().run(request, chosen) || chosen.fileName.isEmpty()) return;
    SaveOtoIni(chosen.fileName);
}

void VoiceBankManager::mnOpenFolder_Click() {
    if (selectedRow >= 0) {
        const QString sample = SampleFilePath(VoiceFolder, rows[selectedRow].text);
        // The file manager opens on the sample's folder (it cannot be asked to select the file).
        if (!sample.isEmpty() && FileSystem::isFile(sample))
            ShellOpenPort::openPath(FileSystem::resolve(PathText::folderPart(sample)));
        else
            ShellOpenPort::openPath(FileSystem::resolve(VoiceFolder));
        return;
    }
    if (!txtOtoPath.isEmpty() && FileSystem::isFolder(txtOtoPath)) ShellOpenPort::openPath(FileSystem::resolve(txtOtoPath));
}

bool VoiceBankManager::SaveOtoIni(const QString& path) {
    const OtoSaveResult r = tova::SaveOtoIni(rows, txtOtoPath, path, OtoFiles);
    if (r.status == OtoSaveResult::Refused && !r.message.isEmpty())
        Ports::msgBox(r.message, MsgButtons::OK, MsgIcon::Exclamation);
    if (r.status != OtoSaveResult::Saved) return false;
    const QString own = PathText::join(txtOtoPath, QStringLiteral("oto.ini"));
    if (path.isEmpty() || PathText::toSlashes(path) == PathText::toSlashes(own)) {
        // The list as the files now hold it, with the lines a next save writes into.
        const QString shown = CurrentKey;
        const QString selected = selectedRow >= 0 ? rows[selectedRow].key : QString();
        const QString folder = VoiceFolder;
        VoiceFolder = txtOtoPath;
        LoadEntries(QStringLiteral("RELOAD"));
        VoiceFolder = folder;
        if (rowOfKey(selected) >= 0) selectRow(rowOfKey(selected));
        CurrentKey = shown;
    }
    return true;
}

}  // namespace tova
