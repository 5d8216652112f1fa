#pragma once

#include "core/LocalizableControl.h"

#include <QStringList>

namespace tova {

// A control held in plain fields, for tests until the real forms exist. Which properties it has
// follows its kind: a caption for menus, labels, buttons, check boxes, option buttons and frames;
// a tool tip for every kind but menus; tabs for a tab strip; column headers for a list view; list
// entries for combo and list boxes.
class FakeControl : public LocalizableControl {
public:
    FakeControl(QString kind, QString name, std::optional<int> index = std::nullopt)
        : kind_(std::move(kind)), name_(std::move(name)), index_(index) {}

    QString caption_;
    QString toolTip_;
    QStringList tabs;     // tab captions, tab 1 first
    QStringList columns;  // column header texts, column 1 first
    QStringList list;     // list entries, entry 0 first

    QString kind() const override { return kind_; }
    QString name() const override { return name_; }
    std::optional<int> index() const override { return index_; }

    QString caption() const override { return hasCaption() ? caption_ : QString(); }
    bool setCaption(const QString& text) override;
    QString toolTip() const override { return hasToolTip() ? toolTip_ : QString(); }
    bool setToolTip(const QString& text) override;

    int tabCount() const override { return int(tabs.size()); }
    QString tabCaption(int tab) const override { return tabs.value(tab - 1); }
    bool setTabCaption(int tab, const QString& text) override { return setIn(tabs, tab - 1, text); }
    int columnCount() const override { return int(columns.size()); }
    QString columnText(int column) const override { return columns.value(column - 1); }
    bool setColumnText(int column, const QString& text) override { return setIn(columns, column - 1, text); }
    int listCount() const override { return int(list.size()); }
    QString listEntry(int entry) const override { return list.value(entry); }
    bool setListEntry(int entry, const QString& text) override { return setIn(list, entry, text); }

private:
    bool hasCaption() const;
    bool hasToolTip() const;
    static bool setIn(QStringList& l, int i, const QString& text);

    QString kind_;
    QString name_;
    std::optional<int> index_;
};

}  // namespace tova
