#include "core/CaptionFiles.h"

#include "core/BigNumber.h"
#include "core/FileHelpers.h"
#include "core/MessageTable.h"
#include "core/Utf16Text.h"
#include "core/WindowRegistry.h"
#include "core/clsMap.h"
#include "platform/Errors.h"
#include "platform/FileReplace.h"
#include "platform/FileSystem.h"
#include "platform/PathText.h"
#include "platform/SystemPaths.h"

#include <QDir>
#include <QFile>

#include <memory>
#include <vector>

namespace tova {
namespace {

QString resFolder() { return PathText::join(SystemPaths::programFolder(), QStringLiteral("res")); }

QString aliasNumber(int position) { return QString::number(position).rightJustified(4, u'0'); }

QString quoted(const QString& text) { return u'"' + text + u'"'; }

bool isKind(const LocalizableControl& c, QStringView kind) { return c.kind() == kind; }

bool hasCaptionKind(const LocalizableControl& c) {
    for (QStringView k : {ControlKind::Label, ControlKind::CommandButton, ControlKind::CheckBox,
                          ControlKind::OptionButton, ControlKind::RadioButton, ControlKind::Frame})
        if (isKind(c, k)) return true;
    return false;
}

bool isListKind(const LocalizableControl& c) {
    return isKind(c, ControlKind::ComboBox) || isKind(c, ControlKind::ListBox);
}

// A menu item that takes part in the menu file.
bool exportedMenu(const LocalizableControl& c, bool stringsPass) {
    if (!isKind(c, ControlKind::Menu)) return false;
    const QString caption = c.caption();
    if (caption.startsWith(QStringLiteral("テスト")) || caption == u"-") return false;
    static const QStringList runtimeMenus = {QStringLiteral("mnW0"),    QStringLiteral("mnCurve"),
                                             QStringLiteral("mnPlugin"), QStringLiteral("mnVoice"),
                                             QStringLiteral("mnExtension"), QStringLiteral("mnHistory")};
    if (runtimeMenus.contains(c.name())) return false;
    return !(stringsPass && c.name() == u"mnJump");
}

void writeCaptionFile(const QString& path, const QStringList& lines) {
    if (!QDir().mkpath(FileSystem::resolve(resFolder())))
        throw FileError(resFolder(), 76);
    // The old file stays until the new one is whole.
    QString reason;
    if (!ReplaceFile(path, Utf16FileBytes(lines), &reason)) throw FileError(path + QStringLiteral(": ") + reason, 75);
}

// A whole non-negative number written in decimal digits.
bool readCount(const QString& text, int& out) {
    if (text.isEmpty()) return false;
    for (QChar c : text)
        if (c < u'0' || c > u'9') return false;
    bool ok = false;
    out = text.toInt(&ok);
    return ok;
}

}  // namespace

QString CaptionWindowCode(const QString& windowName) { return EncodeLetterCode(windowName).left(10); }

QString CaptionFilePath(const QString& windowName, const QString& kind) {
    return PathText::join(resFolder(), CaptionWindowCode(windowName) + u'.' + kind + QStringLiteral("string.txt"));
}

void ExportMenuStrings(LocalizableWindow& window) {
    QStringList lines{QStringLiteral("[Alias]")};
    const int n = window.controlCount();
    for (int i = 0; i < n; ++i) {
        const LocalizableControl* c = window.control(i);
        if (c && exportedMenu(*c, false)) lines << aliasNumber(i) + u'=' + EncodeLetterCode(c->name());
    }
    lines << QStringLiteral("[Strings]");
    for (int i = 0; i < n; ++i) {
        const LocalizableControl* c = window.control(i);
        if (c && exportedMenu(*c, true)) lines << aliasNumber(i) + QStringLiteral(".Caption=") + quoted(c->caption());
    }
    writeCaptionFile(CaptionFilePath(window.name(), MenuStringKind.toString()), lines);
}

void ExportLabelButtonStrings(LocalizableWindow& window, bool withLists) {
    QStringList lines{QStringLiteral("[Alias]")};
    const int n = window.controlCount();
    for (int i = 0; i < n; ++i) {
        const LocalizableControl* c = window.control(i);
        if (!c) continue;
        QString target;
        if (hasCaptionKind(*c)) {
            if (QString(c->caption() + c->toolTip()).remove(QStringLiteral("...")).isEmpty()) continue;
            target = EncodeLetterCode(c->name());
            if (const auto index = c->index()) target += u'.' + QString::number(*index);
        } else if ((isKind(*c, ControlKind::TabStrip) && c->tabCount() >= 1) ||
                   (isKind(*c, ControlKind::ListView) && c->columnCount() >= 1) ||
                   (isListKind(*c) && withLists && c->listCount() >= 2)) {
            target = EncodeLetterCode(c->name());
        } else {
            continue;
        }
        lines << aliasNumber(i) + u'=' + target;
    }
    lines << QStringLiteral("[Strings]") << QStringLiteral("Caption=") + quoted(window.caption());
    for (int i = 0; i < n; ++i) {
        const LocalizableControl* c = window.control(i);
        if (!c) continue;
        const QString a = aliasNumber(i);
        if (hasCaptionKind(*c)) {
            const QString caption = c->caption();
            const QString tip = c->toolTip();
            if (!caption.isEmpty() && caption != u"...") lines << a + QStringLiteral(".Caption=") + quoted(caption);
            if (!tip.isEmpty() && tip != u"...") lines << a + QStringLiteral(".ToolTipText=") + quoted(tip);
        } else if (isKind(*c, ControlKind::TabStrip)) {
            for (int k = 1; k <= c->tabCount(); ++k)
                lines << a + QStringLiteral(".TabTitle") + QString::number(k) + u'=' + quoted(c->tabCaption(k));
        } else if (isKind(*c, ControlKind::ListView)) {
            for (int k = 1; k <= c->columnCount(); ++k)
                lines << a + QStringLiteral(".ColumnHeader") + QString::number(k) + u'=' + quoted(c->columnText(k));
        } else if (isListKind(*c) && withLists && c->listCount() >= 2) {
            for (int k = 0; k < c->listCount(); ++k)
                lines << a + QStringLiteral(".List") + QString::number(k) + u'=' + quoted(c->listEntry(k));
        }
    }
    writeCaptionFile(CaptionFilePath(window.name(), LabelButtonStringKind.toString()), lines);
}

void ApplyFormStrings(LocalizableWindow& window, const QString& kind) {
    const QString path = CaptionFilePath(window.name(), kind);
    if (SafeDir(resFolder(), kDirFolders).isEmpty() || SafeDir(path).isEmpty()) return;
    QFile f(FileSystem::resolve(path));
    if (!f.open(QIODevice::ReadOnly)) return;
    const QStringList lines = ReadUtf16Lines(f.readAll());
    f.close();

    clsMap aliases;
    for (const QString& line : lines) {
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0) continue;
        const QString left = line.left(eq);
        const QString value = StripQuotes(line.mid(eq + 1));
        if (left == u"Caption") {
            window.setCaption(value);
            continue;
        }
        const QStringList parts = left.split(u'.');
        if (parts.size() == 1) {
            int unused = 0;
            if (readCount(left, unused)) aliases.add(left, value);
            continue;
        }
        if (parts[0].isEmpty()) continue;
        QString name;
        std::optional<int> index;
        if (aliases.ContainsKey(parts[0])) {
            const QStringList target = aliases.Value(parts[0]).split(u'.');
            if (target[0].isEmpty()) continue;  // an alias without a target names no control
            name = DecodeLetterCode(target[0]);
            if (target.size() > 1) {
                int i = 0;
                if (!readCount(target[1], i)) continue;
                index = i;
            }
        } else {
            name = DecodeLetterCode(parts[0]);
        }
        const QString& prop = parts[1];
        int k = 0;
        if (prop == u"Caption" || prop == u"ToolTipText") {
            if (LocalizableControl* c = window.findControl(name, index))
                prop == u"Caption" ? c->setCaption(value) : c->setToolTip(value);
        } else if (prop.startsWith(QStringLiteral("List"))) {
            if (!readCount(prop.mid(4), k)) continue;
            if (LocalizableControl* c = window.findControl(name, std::nullopt)) c->setListEntry(k, value);
        } else if (prop.startsWith(QStringLiteral("TabTitle"))) {
            if (!readCount(prop.mid(8), k)) continue;
            if (LocalizableControl* c = window.findControl(name, std::nullopt)) c->setTabCaption(k, value);
        } else if (prop.startsWith(QStringLiteral("ColumnHeader"))) {
            if (!readCount(prop.mid(12), k)) continue;
            if (LocalizableControl* c = window.findControl(name, std::nullopt)) c->setColumnText(k, value);
        }
    }
}

void ApplyMenuStrings(LocalizableWindow& window) { ApplyFormStrings(window, MenuStringKind.toString()); }
void ApplyLabelButtonStrings(LocalizableWindow& window) { ApplyFormStrings(window, LabelButtonStringKind.toString()); }

namespace {

bool hasMenus(LocalizableWindow& window) {
    const int n = window.controlCount();
    for (int i = 0; i < n; ++i)
        if (const LocalizableControl* c = window.control(i); c && c->kind() == ControlKind::Menu) return true;
    return false;
}

}  // namespace

void ExportAllCaptionFiles() {
    struct Step {
        const char* window;
        bool menu;
        bool labelButton;
        bool withLists;
    };
    static const Step steps[] = {
        {"Form1", true, true, true},
        {"Form3", true, true, false},
        {"frmNoteProperty", false, true, false},
        {"frmOmakase", false, true, false},
        {"frmPrefixmap", false, true, false},
        {"frmVoicesetManager", true, true, false},
        {"frmMode2", false, true, false},
        {"frmDefaultProperty", false, true, false},
        {"frmOptions", false, true, false},
    };
    std::vector<std::unique_ptr<LocalizableWindow>> loaded;  // unloaded when the export ends
    auto window = [&loaded](const QString& name) {
        LocalizableWindow* w = WindowRegistry::find(name);
        if (!w) {
            loaded.push_back(WindowRegistry::load(name));
            w = loaded.back().get();
        }
        return w;
    };
    QStringList done;
    for (const Step& s : steps) {
        const QString name = QString::fromLatin1(s.window);
        done << name;
        LocalizableWindow* w = window(name);
        if (!w) continue;
        if (s.menu) ExportMenuStrings(*w);
        if (s.labelButton) ExportLabelButtonStrings(*w, s.withLists);
    }
    // Then every other window of the program, in name order: its controls, and its menus when it has any.
    for (const QString& name : WindowRegistry::names()) {
        if (done.contains(name)) continue;
        LocalizableWindow* w = window(name);
        if (!w) continue;
        if (hasMenus(*w)) ExportMenuStrings(*w);
        ExportLabelButtonStrings(*w, false);
    }
}

}  // namespace tova
