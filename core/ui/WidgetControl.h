#pragma once

#include "core/LocalizableControl.h"

#include <QObject>
#include <QPointer>

namespace tova {

// A widget, menu or menu item of a Qt form seen as a caption-file control. The name is the object's
// objectName, the control-array index its dynamic property "index" (none when the property is not
// set). Kinds: QMenu and QAction "Menu", QLabel "Label", QPushButton and QToolButton
// "CommandButton", QCheckBox "CheckBox", QRadioButton "OptionButton", QGroupBox "Frame", QTabWidget
// and QTabBar "TabStrip", QTreeWidget and QTableWidget "ListView", QComboBox "ComboBox", QListWidget
// "ListBox", line and text edits "TextBox", anything else its class name without the "Q".
class WidgetControl : public LocalizableControl {
public:
    explicit WidgetControl(QObject* object);

    QObject* object() const { return object_; }

    QString kind() const override { return kind_; }
    QString name() const override;
    std::optional<int> index() const override;

    QString caption() const override;
    bool setCaption(const QString& text) override;
    QString toolTip() const override;
    bool setToolTip(const QString& text) override;

    int tabCount() const override;
    QString tabCaption(int tab) const override;
    bool setTabCaption(int tab, const QString& text) override;

    int columnCount() const override;
    QString columnText(int column) const override;
    bool setColumnText(int column, const QString& text) override;

    int listCount() const override;
    QString listEntry(int entry) const override;
    bool setListEntry(int entry, const QString& text) override;

    // The kind name of an object, as above.
    static QString kindOf(const QObject* object);

private:
    QPointer<QObject> object_;
    QString kind_;
};

}  // namespace tova
