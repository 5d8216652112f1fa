#include "autotune/TuningText.h"

#include "editors/EnvelopeText.h"

#include "platform/Vb.h"
#include "song/FreeText.h"
#include "song/LyricText.h"
#include "song/NoteArrays.h"
#include "song/NoteExtension.h"

#include <algorithm>
#include <cmath>

namespace tova {

namespace {


// Key and value of an option entry: the text before the first "=", and between it and a second one.
void splitEntry(const QString& entry, QString& key, QString& value) {
    const QStringList parts = entry.split(u'=');
    key = parts.at(0);
    value = parts.value(1);
}

qint32 findEntry(const QStringList& entries, const QString& key, QString* value = nullptr) {
    for (qint32 k = 0; k < entries.size(); ++k) {
        QString name, v;
        splitEntry(entries.at(k), name, v);
        if (name == key) {
            if (value) *value = v;
            return k;
        }
    }
    return -1;
}

void setEntry(QString& list, const QString& key, const QString& value) {
    QStringList entries = list.split(OptionSeparator());
    const QString entry = key + QLatin1Char('=') + value;
    const qint32 k = findEntry(entries, key);
    if (k >= 0) {
        entries[k] = entry;
        list = entries.join(OptionSeparator());
    } else {
        list = list.isEmpty() ? entry : list + OptionSeparator() + entry;
    }
}

}  // namespace

double Nearest(double v) { return std::nearbyint(v); }

void OwnTempo(const NoteArrays& notes, qint32 index, float& tempo) {
    if (index < 0 || index > notes.lastNote()) return;
    const QString t = GetNoteOption(notes.NoteExt.value(index), QStringLiteral("tempo"));
    if (t.isEmpty()) return;
    const double v = Vb::Val(t);
    if (v > 0) tempo = float(v);
}

bool IsExactRest(const QString& lyric) {
    const QString t = TrimBlanks(lyric);
    return t.isEmpty() || t == QLatin1String("R");
}

QString StampedFirstPoint(const QString& point, float tempo) {
    return Vb::DoubleText(Vb::Val(point)) + QLatin1Char('Q') + Vb::SingleText(tempo);
}

bool CheckValue(const QString& text) { return std::clamp(Nearest(Vb::Val(text)), 0.0, 1.0) == 1.0; }

QString WholeText(double v) {
    if (std::fabs(v) < 1e15) return QString::number(qint64(v));
    return Vb::DoubleText(v);
}

bool FindNoteProp(const QString& ext, const QString& key, QString& value) {
    return findEntry(NoteExtField(ext, ExtOptions).split(OptionSeparator()), key, &value) >= 0;
}

void GetNoteProp(const QString& ext, const QString& key, qint32& value) {
    QString v;
    if (!FindNoteProp(ext, key, v)) return;
    const double n = Nearest(Vb::Val(v));
    value = qint32(std::fmax(std::fmin(n, 2147483647.0), -2147483648.0));
}

void SetNoteProp(QString& ext, const QString& key, qint32 value) {
    QStringList f = SplitNoteExt(ext);
    setEntry(f[ExtOptions], key, QString::number(value));
    ext = JoinNoteExt(f);
}

QString GetPropValue(const QString& list, const QString& key) {
    QString v;
    findEntry(list.split(OptionSeparator()), key, &v);
    return v;
}

void SetPropValue(QString& list, const QString& key, const QString& value) { setEntry(list, key, value); }

QStringList EnvelopeSlots(const QString& env, const QString& emptyDefault) {
    return ReadEnvelopeFields(env.isEmpty() ? emptyDefault : env);
}

QString JoinEnvelopeSlots(const QStringList& fields) { return TrimBlanks(fields.join(u' ')); }

QString CleanPresetText(const QString& text, const QString& separators) {
    QString t = SafeFreeText(text, FreeTextUse::PresetField);
    for (qsizetype k = 0; k < t.size(); ++k)
        if (separators.contains(t.at(k))) t[k] = u' ';
    return t;
}

}  // namespace tova
