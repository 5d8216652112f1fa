#pragma once

#include <QString>
#include <QStringView>

#include <optional>

namespace tova {

// Kind names of the controls that the caption files know.
namespace ControlKind {
inline constexpr QStringView Menu = u"Menu";
inline constexpr QStringView Label = u"Label";
inline constexpr QStringView CommandButton = u"CommandButton";
inline constexpr QStringView CheckBox = u"CheckBox";
inline constexpr QStringView OptionButton = u"OptionButton";
inline constexpr QStringView RadioButton = u"RadioButton";
inline constexpr QStringView Frame = u"Frame";
inline constexpr QStringView TabStrip = u"TabStrip";
inline constexpr QStringView ListView = u"ListView";
inline constexpr QStringView ComboBox = u"ComboBox";
inline constexpr QStringView ListBox = u"ListBox";
inline constexpr QStringView TextBox = u"TextBox";
}  // namespace ControlKind

// One control of a window as the caption files see it: its kind, its name, its index when it is an
// element of a control array, and by kind its caption and tool tip, its tabs, its column headers or its
// list entries. A setter answers false when the control has no such property or the number is out of
// range; the caption reader then goes on with the next line.
class LocalizableControl {
public:
    virtual ~LocalizableControl() = default;

    virtual QString kind() const = 0;
    virtual QString name() const = 0;
    // The index within a control array; nullopt for a control that is not an array element.
    virtual std::optional<int> index() const = 0;

    virtual QString caption() const = 0;  // "-" for a menu separator
    virtual bool setCaption(const QString& text) = 0;
    virtual QString toolTip() const = 0;
    virtual bool setToolTip(const QString& text) = 0;

    virtual int tabCount() const = 0;
    virtual QString tabCaption(int tab) const = 0;  // tab from 1
    virtual bool setTabCaption(int tab, const QString& text) = 0;

    virtual int columnCount() const = 0;
    virtual QString columnText(int column) const = 0;  // column from 1
    virtual bool setColumnText(int column, const QString& text) = 0;

    virtual int listCount() const = 0;
    virtual QString listEntry(int entry) const = 0;  // entry from 0
    virtual bool setListEntry(int entry, const QString& text) = 0;
};

}  // namespace tova
