#include "editors/NotePropertyDialog.h"

#include "core/NoteNames.h"
#include "core/Settings.h"
#include "platform/Vb.h"
#include "song/NoteArrays.h"
#include "song/FreeText.h"
#include "song/NoteExtension.h"
#include "song/ProjectSettings.h"

#include <algorithm>
#include <optional>

namespace tova {
namespace {

const QString kStp = QStringLiteral("stp");

// One gathered value: the reference note's value until a later note differs.
struct Gathered {
    QString value;
    bool mixed = false;
    bool started = false;
    void take(const QString& v) {
        if (!started) {
            value = v;
            started = true;
        } else if (!mixed && v != value) {
            mixed = true;
        }
    }
};

// The extension values of one sung note, split as the dialog shows them.
struct NoteValues {
    QStringList fields;  // six fields; field 4 holds the other flags (without B and N)
    QStringList timing;  // three parts of field 0
    QString bToken;
    QString nToken;
    QString stp;
    QString optionsWithoutStp;
};

NoteValues splitValues(const QString& ext) {
    NoteValues v;
    v.fields = SplitNoteExt(ext);
    v.timing = v.fields[ExtTiming].split(u':');
    v.timing.resize(3);
    v.bToken = CutFlag(v.fields[ExtFlags], QStringLiteral("B"));
    v.nToken = CutFlag(v.fields[ExtFlags], QStringLiteral("N"));
    v.stp = GetListValue(v.fields[ExtOptions], kStp);
    v.optionsWithoutStp = v.fields[ExtOptions];
    SetListValue(v.optionsWithoutStp, kStp, QString());
    return v;
}

// The option list a note keeps when it becomes a rest: its tempo change, its label and its regions
// (every entry whose key starts with "$", verbatim and in order).
QString restOptions(const QString& ext) {
    QString list;
    SetListValue(list, QStringLiteral("tempo"), GetNoteOption(ext, QStringLiteral("tempo")));
    SetListValue(list, QStringLiteral("label"), GetNoteOption(ext, QStringLiteral("label")));
    const QString options = NoteExtField(ext, ExtOptions);
    if (!options.isEmpty()) {
        for (const QString& entry : options.split(OptionSeparator())) {
            if (!entry.startsWith(u'$')) continue;
            if (!list.isEmpty()) list += OptionSeparator();
            list += entry;
        }
    }
    return list;
}

// A typed number as the note keeps it: a text that is no finite number within what the project file
// holds for that field is no number (an empty field).
QString numericOrEmpty(const QString& text, double min, double max) {
    if (!Vb::IsNumeric(text)) return QString();
    const double v = Vb::Val(text);
    return v >= min && v <= max ? text : QString();
}

}  // namespace

NotePropertyDialog::NotePropertyDialog(tova::Settings& settings) : settings_(settings) {}

void NotePropertyDialog::Form_Load() {
    cboNoteItems = {QString()};
    for (qint32 n = 95; n >= 0; --n) cboNoteItems.append(NoteNumToName(n));
    cmdGenVisible = noteIndex >= 0;
    ShowDetail(settings_.PropExpandDetail);
}

void NotePropertyDialog::lblDetail_Click() { ShowDetail(!detailShown); }

void NotePropertyDialog::lblHideDetail_Click() { ShowDetail(!detailShown); }

void NotePropertyDialog::SetFieldEdited(Field& field, bool common) { field.common = common; }

void NotePropertyDialog::SetComboEdited(bool common) { cboNoteCommon = common; }

void NotePropertyDialog::ShowDetail(bool expand) {
    detailShown = expand;
    settings_.PropExpandDetail = expand;
}

void NotePropertyDialog::Load(qint32 first, qint32 last, const NoteArrays& notes, const OtoLookup& lookup) {
    if (first == last) {
        noteIndex = first;
        otoPreutterance = otoOverlap = 0;
        if (lookup) lookup(notes.NoteNums.at(first), notes.Lyrics.at(first), otoPreutterance, otoOverlap);
        caption = QStringLiteral("音符「") + notes.Lyrics.at(first) + QStringLiteral("」のプロパティ");
    } else {
        noteIndex = -1;
        caption = QStringLiteral("選択範囲のプロパティ");
    }
    Form_Load();

    Gathered lyric, length, noteNum, pre, ovl, vel, volume, modulation, flags, bToken, nToken, stp, options;
    for (qint32 i = first; i <= last; ++i) {
        lyric.take(notes.Lyrics.at(i));
        length.take(QString::number(notes.Lengths.at(i) / 4));
        noteNum.take(QString::number(notes.NoteNums.at(i)));
        if (IsRestLyric(notes.Lyrics.at(i))) {
            // A rest adds nothing to the extension values; a rest first leaves empty references.
            if (i == first)
                for (Gathered* g : {&pre, &ovl, &vel, &volume, &modulation, &flags, &bToken, &nToken, &stp, &options})
                    g->take(QString());
            continue;
        }
        const NoteValues v = splitValues(notes.NoteExt.at(i));
        pre.take(v.timing[0]);
        ovl.take(v.timing[1]);
        vel.take(v.timing[2]);
        volume.take(v.fields[ExtIntensity]);
        modulation.take(v.fields[ExtModulation]);
        flags.take(v.fields[ExtFlags]);
        bToken.take(v.bToken);
        nToken.take(v.nToken);
        stp.take(v.stp);
        options.take(v.optionsWithoutStp);
    }

    cmdOthersEnabled = !options.mixed;
    othersText = options.mixed ? QString() : options.value;

    auto show = [this](Field& field, const Gathered& g) {
        if (g.mixed) {
            SetFieldEdited(field, false);
            field.text.clear();
        } else {
            ShowFieldValue(field, g.value);
        }
    };
    show(txtWord, lyric);
    show(txtLeng, length);
    if (noteNum.mixed) {
        cboNoteText.clear();
        SetComboEdited(false);
    } else {
        noteName = NoteNumToName(qint32(Vb::Val(noteNum.value)));
        cboNoteText = noteName;
        SetComboEdited(true);
    }
    show(txtOffset, pre);
    show(txtOverlap, ovl);
    show(txtVel, vel);
    show(txtVolume, volume);
    show(txtModulation, modulation);
    if (bToken.mixed) {
        SetFieldEdited(txtBre, false);
        txtBre.text.clear();
    } else {
        ShowFieldValue(txtBre, bToken.value.mid(1));
    }
    chkNoFilter = nToken.mixed ? 2 : (nToken.value == QStringLiteral("N") ? 1 : 0);
    show(txtFlags, flags);
    show(txtSTP, stp);
}

void NotePropertyDialog::ShowFieldValue(Field& field, const QString& value) {
    SetFieldEdited(field, true);
    fieldChanged(field, value);
}

void NotePropertyDialog::ApplyToNotes(qint32 first, qint32 last, NoteArrays& notes) const {
    for (qint32 i = first; i <= last; ++i) {
        if (IsFieldUnmixed(txtWord)) notes.Lyrics[i] = SafeFreeText(txtWord.text, FreeTextUse::Lyric);
        if (IsFieldUnmixed(txtLeng) && Vb::IsNumeric(txtLeng.text)) notes.Lengths[i] = Vb::CLng(Vb::Val(txtLeng.text) * 4);
        if (!cboNoteText.isEmpty()) notes.NoteNums[i] = NoteNameToNum(cboNoteText);

        QString& ext = notes.NoteExt[i];
        if (IsRestLyric(notes.Lyrics.at(i))) {
            QStringList rest(ExtFieldCount);
            rest[ExtOptions] = restOptions(ext);
            ext = JoinNoteExt(rest);
            continue;
        }
        NoteValues v = splitValues(ext);
        QStringList& f = v.fields;
        if (cmdOthersEnabled) {
            f[ExtOptions] = othersText;
            if (!v.stp.isEmpty()) SetListValue(f[ExtOptions], kStp, v.stp);
        }
        if (IsFieldUnmixed(txtSTP)) SetListValue(f[ExtOptions], kStp, numericOrEmpty(txtSTP.text, -60000, 60000));

        const Field* timing[] = {&txtOffset, &txtOverlap, &txtVel};
        const double timingMin[] = {-59999.999, -59999.999, 0}, timingMax[] = {59999.999, 59999.999, 200};
        for (int p = 0; p < 3; ++p)
            if (IsFieldUnmixed(*timing[p])) v.timing[p] = numericOrEmpty(timing[p]->text, timingMin[p], timingMax[p]);
        f[ExtTiming] = v.timing.join(u':');
        if (IsFieldUnmixed(txtVolume)) f[ExtIntensity] = numericOrEmpty(txtVolume.text, 0, 200);
        if (IsFieldUnmixed(txtModulation)) f[ExtModulation] = numericOrEmpty(txtModulation.text, -100, 200);

        if (IsFieldUnmixed(txtFlags)) f[ExtFlags] = SafeFreeText(txtFlags.text, FreeTextUse::Flags).remove(u' ');
        if (chkNoFilter == 1)
            f[ExtFlags].prepend(u'N');
        else if (chkNoFilter == 2)
            f[ExtFlags].prepend(v.nToken);
        if (IsFieldUnmixed(txtBre)) {
            if (Vb::IsNumeric(txtBre.text)) f[ExtFlags].prepend(QStringLiteral("B") + txtBre.text);
        } else {
            f[ExtFlags].prepend(v.bToken);
        }
        ext = JoinNoteExt(f);
    }
}

void NotePropertyDialog::fieldChanged(Field& field, const QString& text) {
    field.text = text;
    if (isRange()) SetFieldEdited(field, true);
    if (&field == &txtVolume) syncScroll(text, vscrlVolume, VolumeScrollMin, VolumeScrollMax);
    if (&field == &txtModulation) syncScroll(text, vscrlModulation, ModulationScrollMin, ModulationScrollMax);
}

// The scroll bar follows a typed value it can hold; when its value changes, its own change handler
// writes the text again ("05" becomes "5"). A value it cannot hold leaves both as they are.
void NotePropertyDialog::syncScroll(const QString& text, int& scroll, int min, int max) {
    if (text.isEmpty()) return;
    const double v = -Vb::Val(text);
    if (v < min - 0.5 || v > max + 0.5) return;
    const int next = Vb::CInt(v);
    if (next < min || next > max || next == scroll) return;
    if (&scroll == &vscrlVolume)
        vscrlVolume_Change(next);
    else
        vscrlModulation_Change(next);
}

void NotePropertyDialog::ToggleFieldState(Field& field) {
    if (!isRange()) return;
    SetFieldEdited(field, !IsFieldUnmixed(field));
}

void NotePropertyDialog::vscrlVolume_Change(int value) {
    vscrlVolume = value;
    txtVolume.text = QString::number(-value);
}

void NotePropertyDialog::vscrlModulation_Change(int value) {
    vscrlModulation = value;
    txtModulation.text = QString::number(-value);
}

void NotePropertyDialog::cboNote_Click(int index) {
    cboNoteText = index >= 0 && index < cboNoteItems.size() ? cboNoteItems.at(index) : QString();
    SetComboEdited(index >= 1);
}

void NotePropertyDialog::chkNoFilter_Click() {
    chkNoFilter = chkNoFilter == 0 ? 1 : 0;
    if (isRange() && chkNoFilterPressed == 1) chkNoFilter = 2;
}

void NotePropertyDialog::cmdClear_Click() {
    txtOffset = {QString(), true};
    txtOverlap = {QString(), true};
}

void NotePropertyDialog::cmdGen_Click() {
    fieldChanged(txtOffset, Vb::SingleText(otoPreutterance));
    fieldChanged(txtOverlap, Vb::SingleText(otoOverlap));
}

void NotePropertyDialog::cmdOthers_Click(const TextEditor& editor) {
    QString text = othersText;
    // The tempo the note had before the edit: kept as it is when left alone, whatever its value.
    QString tempoBefore;
    for (const QString& entry : othersText.split(OptionSeparator()))
        if (entry.startsWith(u"tempo=")) tempoBefore = entry.mid(6);
    text.replace(QStringLiteral("\\n"), QStringLiteral("\r\n"));
    text.replace(u' ', u',');
    editor(text);
    // One entry per line (any line break); blanks are dropped (the editor shows them as commas), and
    // each key and value is made safe for the option list, so that a TAB or a stray "=" cannot add a
    // field to the note or an entry to the list. A line without a value gives no entry (an option
    // with an empty value is no option).
    QStringList entries;
    for (QString line : text.split(u'\n')) {
        line.remove(u'\r');
        line.remove(u' ');
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        QString key = SafeFreeText(line.left(eq), FreeTextUse::OptionKey);
        key.remove(u' ');
        QString value = SafeFreeText(line.mid(eq + 1), FreeTextUse::OptionValue);
        if (key.isEmpty() || value.isEmpty()) continue;
        // A tempo change typed here is held to the tempos the tempo boxes take, as typed there; the
        // note's own tempo, untouched, stays (a project file carries 4..600).
        const double tempo = Vb::Val(value);
        if (key == u"tempo" && value != tempoBefore && tempo != 0 && !(tempo >= MinTempo && tempo <= MaxTempo))
            value = Vb::Format(double(HeldTempo(tempo, MinTempo)), QStringLiteral("0.00"));
        entries << key + u'=' + value;
    }
    othersText = entries.join(OptionSeparator());
}

void NotePropertyDialog::OKButton_Click() {
    for (Field* f : {&txtOffset, &txtVolume, &txtModulation, &txtBre, &txtOverlap})
        if (!Vb::IsNumeric(f->text)) f->text.clear();
    if (Vb::IsNumeric(txtLeng.text)) {
        const double v = Vb::Val(txtLeng.text);
        if (v < MinLength) txtLeng.text = QString::number(MinLength);
        // Four times the length must still be a note length: a larger one is refused at the bound.
        if (v * 4 >= double(0x7FFFFFFF) + 0.5) {
            txtLeng.text = QString::number(MaxLength);
            return;
        }
    }
    const double volume = Vb::Val(txtVolume.text);
    if (volume < 0) return fieldChanged(txtVolume, QStringLiteral("0"));
    if (volume > 200) return fieldChanged(txtVolume, QStringLiteral("200"));
    const double bre = Vb::Val(txtBre.text);
    if (bre < 0) return fieldChanged(txtBre, QStringLiteral("0"));
    if (bre > 100) return fieldChanged(txtBre, QStringLiteral("100"));
    accept();
}

}  // namespace tova
