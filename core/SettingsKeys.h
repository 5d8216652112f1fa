#pragma once

#include "core/Settings.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

namespace tova {

// Every setting of "setting.ini" in one table, in the order the file is written: its key, how its value
// is read and written, its default and which reset gives it that default. LoadSettings, SaveSettings,
// InitSettingDefaults, InitDefaultColors and a new Settings object all work from this table.

// How a value is read and written.
enum class SettingKind {
    FlagOne,       // true exactly when the value is "1"; written "1" or "0"
    FlagTrue,      // true exactly when the value is "True"; written "True" or "False"
    FlagNonEmpty,  // true when the value is not empty; written "1"
    Lenient16,     // leading number, 0 when none; must fit 16 bits
    Lenient32,     // leading number, 0 when none; must fit 32 bits
    Strict16,      // the whole value a number; must fit 16 bits
    Strict32,      // the whole value a number; must fit 32 bits
    Text,
    Colour,        // "&H" and hexadecimal digits (ParseColorText); written "&H" and ColorToHex
    List,          // one line per entry: the key, a number, "=" and the entry
    Placement,     // the main window's place and size in pixels: "MainWindow=left,top,width,height"
    RunTime,       // no key: set by the defaults, never stored
};

// When a value is written.
enum class SettingWrite {
    Always,
    UnlessDefault,  // only when it differs from the default (and from `sameAsDefault`)
    WhenPositive,   // only when above 0
    Never,
};

// Which reset gives a setting its default. Every group has its default in a new Settings object.
enum class SettingGroup {
    Kept,      // no reset: a value loaded earlier stays until the file sets it
    Defaults,  // InitSettingDefaults
    Colours,   // InitDefaultColors
    Lists,     // LoadSettings, before it reads the file
};

struct SettingKey {
    const char16_t* key;  // the key; for a list the text before the number
    SettingKind kind;
    SettingWrite write;
    SettingGroup group;
    // The member, after the kind (none for the placement).
    bool Settings::*flag = nullptr;
    int16_t Settings::*i16 = nullptr;
    int32_t Settings::*i32 = nullptr;  // also the colours
    QString Settings::*text = nullptr;
    QStringList Settings::*list = nullptr;
    // The default: a flag, number or colour in `number`, a text in `textDefault`.
    int64_t number = 0;
    const char16_t* textDefault = u"";
    // A text that means the same as the default and is not written either.
    const QString& (*sameAsDefault)() = nullptr;
    // Lists: positions before `listFirst` stay empty and are neither read nor written (the recent-file
    // history keeps position 0 empty); the number in an entry's key is its position plus `keyOffset`;
    // "," in the file stands for a TAB in the entry; empty entries skipped when read or when written.
    int listFirst = 0;
    int keyOffset = 0;
    bool commasForTabs = false;
    bool skipEmptyRead = false;
    bool skipEmptyWrite = false;
};

// The table, in the file's order.
const QList<SettingKey>& SettingKeys();

// Gives every setting of the group its default.
void ResetSettings(Settings& s, SettingGroup group);

}  // namespace tova
