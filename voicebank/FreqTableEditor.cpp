#include "voicebank/FreqTableEditor.h"

#include "core/FileHelpers.h"
#include "core/WaveFiles.h"
#include "platform/PathText.h"
#include "platform/Ports.h"
#include "platform/Vb.h"

namespace tova {
namespace {
const QString kNone = QStringLiteral("----");
QString eightDecimals(double f) { return Vb::Format(f, QStringLiteral("0.00000000")); }
}  // namespace

QString FreqTableEditor::FormatFreq(double f) { return f == 55.0 ? kNone : eightDecimals(f); }

bool FreqTableEditor::Load(const QString& path) {
    samplePath = path;
    fileName = SafeDir(path);
    if (fileName.isEmpty()) fileName = PathText::filePart(path);
    FrqHeader h;
    QVector<double> f;
    if (!ReadFrqFile(h, f, path)) return false;
    header = h;
    frames = f;
    modified = false;
    result = false;
    fillList();
    key = header.averageFreq;
    txtFreqAvg = eightDecimals(header.averageFreq);
    modified = false;
    redraw = true;
    return true;
}

void FreqTableEditor::fillList() {
    List1.clear();
    for (int i = 0; i <= lastFrame(); ++i) List1 << FormatFreq(freq(i));
    selected = QVector<bool>(List1.size(), false);
    listIndex = -1;
}

void FreqTableEditor::Resize(int clientWidthTwips) {
    const double visible = (clientWidthTwips - 4920) / 60.0;
    const qint32 n = Vb::CLng(lastFrame() - visible);
    if (n < 1) {
        scrollMax = 0;
    } else {
        scrollMax = n;
        scrollLargeChange = std::max(1, int(Vb::CLng(visible)));
    }
    scrollValue = std::min(scrollValue, scrollMax);
    redraw = true;
}

void FreqTableEditor::List1_Click() {
    if (listIndex >= 0 && listIndex < List1.size()) txtFrequency = List1[listIndex] == kNone ? QString() : List1[listIndex];
    redraw = true;
}

void FreqTableEditor::cmdSetValue_Click() {
    if (listIndex < 0 || listIndex >= List1.size() || !Vb::IsNumeric(txtFrequency)) return;
    List1[listIndex] = txtFrequency;
    frames[2 * listIndex] = Vb::CDbl(txtFrequency);
    modified = true;
    redraw = true;
}

void FreqTableEditor::txtFreqAvg_Change(const QString& text) {
    if (Vb::IsNumeric(text)) {
        const double v = Vb::CDbl(text);
        txtFreqAvg = text;
        if (v != key) {
            key = v;
            txtFreqAvg = eightDecimals(key);
            modified = true;
            redraw = true;
        }
    } else {
        txtFreqAvg = eightDecimals(key);
    }
}

void FreqTableEditor::setFreq(int i, double f) {
    frames[2 * i] = f;
    List1[i] = FormatFreq(f);
}

void FreqTableEditor::GetSelectionRange(int& first, int& last) const {
    first = last = -1;
    for (int i = 0; i < selected.size(); ++i)
        if (selected[i]) {
            if (first < 0) first = i;
            last = i;
        }
}

void FreqTableEditor::lbSetKey_DblClick() {
    if (listIndex < 0) return;
    double sum = 0;
    int n = 0;
    for (int i = 0; i < List1.size(); ++i)
        if (selected[i] && List1[i] != kNone) sum += freq(i), ++n;
    if (n == 0) return;
    key = sum / n;
    txtFreqAvg_Change(FormatFreq(key));
    modified = true;
    redraw = true;
}

void FreqTableEditor::lbre_DblClick() {
    FrqHeader h;
    QVector<double> f;
    if (!ReadFrqFile(h, f, samplePath)) return;
    header = h;
    frames = f;
    fillList();
    txtFrequency.clear();
    key = header.averageFreq;
    txtFreqAvg = FormatFreq(key);
    modified = false;
    redraw = true;
}

void FreqTableEditor::lbc_DblClick() {
    for (int i = 0; i < List1.size(); ++i)
        if (selected[i]) setFreq(i, 55.0);
    txtFrequency.clear();
    modified = true;
    redraw = true;
}

void FreqTableEditor::lbavg_DblClick() {
    int first, last;
    GetSelectionRange(first, last);
    if (first < 0 || first + 1 >= last) return;
    const double a = freq(first), b = freq(last);
    for (int i = first + 1; i < last; ++i) setFreq(i, a + (i - first) * (b - a) / (last - first));
    modified = true;
    redraw = true;
}

void FreqTableEditor::scale(double mul, double div) {
    int changed = -1;
    for (int i = 0; i < List1.size(); ++i)
        if (selected[i]) {
            setFreq(i, freq(i) * mul / div);
            changed = i;
        }
    if (changed >= 0) txtFrequency = List1[changed];
    modified = true;
    redraw = true;
}

void FreqTableEditor::lbHelp_Click() { Ports::msgBox(QStringLiteral("コマンドはダブルクリックで実行します")); }

void FreqTableEditor::OKButton_Click() {
    result = true;
    bool keyEdited = false;
    if (txtFreqAvg != FormatFreq(header.averageFreq)) {
        const double v = Vb::Val(txtFreqAvg);
        if (v == 0) {
            txtFreqAvg = FormatFreq(header.averageFreq);
        } else {
            header.averageFreq = v;
            key = v;
            keyEdited = true;
        }
    }
    // Nothing edited: the table and its backup stay as they are (writing would replace the backup).
    if (!modified && !keyEdited) {
        Ports::msgBox(fileName + QStringLiteral("の周波数表は変更されていないため、書き込みませんでした。"), MsgButtons::OK,
                      MsgIcon::Information);
        return;
    }
    // The writer replaces the table only once the new one is complete: a failure keeps the old one.
    if (!WriteFrqFile(header, frames, samplePath)) {
        Ports::msgBox(fileName + QStringLiteral("の周波数表を更新出来ませんでした。"), MsgButtons::OK, MsgIcon::Exclamation);
        return;
    }
    Ports::msgBox(fileName + QStringLiteral("の周波数表を更新しました。"), MsgButtons::OK, MsgIcon::Information);
    modified = false;
    redraw = true;
}

void FreqTableEditor::CancelButton_Click() {
    if (modified && Ports::msgBox(QStringLiteral("ファイルに書き込んでいません。変更を破棄してよろしいですか？"), MsgButtons::OKCancel,
                                  MsgIcon::Question) != MsgResult::OK)
        return;
    hidden = true;
}

}  // namespace tova
