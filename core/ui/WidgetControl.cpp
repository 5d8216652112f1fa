#include "core/ui/WidgetControl.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTableWidget>
#include <QTextEdit>
#include <QToolButton>
#include <QTreeWidget>

namespace tova {

WidgetControl::WidgetControl(QObject* object) : object_(object), kind_(kindOf(object)) {}

QString WidgetControl::kindOf(const QObject* o) {
    if (qobject_cast<const QMenu*>(o) || qobject_cast<const QAction*>(o)) return ControlKind::Menu.toString();
    if (qobject_cast<const QLabel*>(o)) return ControlKind::Label.toString();
    if (qobject_cast<const QCheckBox*>(o)) return ControlKind::CheckBox.toString();
    if (qobject_cast<const QRadioButton*>(o)) return ControlKind::OptionButton.toString();
    if (qobject_cast<const QPushButton*>(o) || qobject_cast<const QToolButton*>(o))
        return ControlKind::CommandButton.toString();
    if (qobject_cast<const QGroupBox*>(o)) return ControlKind::Frame.toString();
    if (qobject_cast<const QTabWidget*>(o) || qobject_cast<const QTabBar*>(o)) return ControlKind::TabStrip.toString();
    if (qobject_cast<const QTreeWidget*>(o) || qobject_cast<const QTableWidget*>(o))
        return ControlKind::ListView.toString();
    if (qobject_cast<const QComboBox*>(o)) return ControlKind::ComboBox.toString();
    if (qobject_cast<const QListWidget*>(o)) return ControlKind::ListBox.toString();
    if (qobject_cast<const QLineEdit*>(o) || qobject_cast<const QTextEdit*>(o) || qobject_cast<const QPlainTextEdit*>(o))
        return ControlKind::TextBox.toString();
    QString cls = QString::fromLatin1(o->metaObject()->className());
    if (cls.startsWith(u'Q')) cls.remove(0, 1);
    return cls;
}

QString WidgetControl::name() const { return object_ ? object_->objectName() : QString(); }

std::optional<int> WidgetControl::index() const {
    if (!object_) return std::nullopt;
    const QVariant v = object_->property("index");
    bool ok = false;
    const int i = v.toInt(&ok);
    if (!v.isValid() || !ok) return std::nullopt;
    return i;
}

QString WidgetControl::caption() const {
    QObject* o = object_;
    if (auto* m = qobject_cast<QMenu*>(o)) return m->title();
    if (auto* a = qobject_cast<QAction*>(o)) return a->isSeparator() ? QStringLiteral("-") : a->text();
    if (auto* l = qobject_cast<QLabel*>(o)) return l->text();
    if (auto* b = qobject_cast<QAbstractButton*>(o)) return b->text();
    if (auto* g = qobject_cast<QGroupBox*>(o)) return g->title();
    return QString();
}

bool WidgetControl::setCaption(const QString& text) {
    QObject* o = object_;
    if (auto* m = qobject_cast<QMenu*>(o)) m->setTitle(text);
    else if (auto* a = qobject_cast<QAction*>(o)) {
        // A separator keeps no text (its caption reads "-"); a style may draw a separator's text.
        if (!a->isSeparator()) a->setText(text);
    }
    else if (auto* l = qobject_cast<QLabel*>(o)) l->setText(text);
    else if (auto* b = qobject_cast<QAbstractButton*>(o)) b->setText(text);
    else if (auto* g = qobject_cast<QGroupBox*>(o)) g->setTitle(text);
    else return false;
    return true;
}

QString WidgetControl::toolTip() const {
    if (kind_ == ControlKind::Menu) return QString();
    auto* w = qobject_cast<QWidget*>(object_.data());
    return w ? w->toolTip() : QString();
}

bool WidgetControl::setToolTip(const QString& text) {
    auto* w = qobject_cast<QWidget*>(object_.data());
    if (kind_ == ControlKind::Menu || !w) return false;
    w->setToolTip(text);
    return true;
}

int WidgetControl::tabCount() const {
    if (auto* t = qobject_cast<QTabWidget*>(object_.data())) return t->count();
    if (auto* t = qobject_cast<QTabBar*>(object_.data())) return t->count();
    return 0;
}

QString WidgetControl::tabCaption(int tab) const {
    if (tab < 1 || tab > tabCount()) return QString();
    if (auto* t = qobject_cast<QTabWidget*>(object_.data())) return t->tabText(tab - 1);
    if (auto* t = qobject_cast<QTabBar*>(object_.data())) return t->tabText(tab - 1);
    return QString();
}

bool WidgetControl::setTabCaption(int tab, const QString& text) {
    if (tab < 1 || tab > tabCount()) return false;
    if (auto* t = qobject_cast<QTabWidget*>(object_.data())) t->setTabText(tab - 1, text);
    else if (auto* t = qobject_cast<QTabBar*>(object_.data())) t->setTabText(tab - 1, text);
    return true;
}

int WidgetControl::columnCount() const {
    if (auto* t = qobject_cast<QTreeWidget*>(object_.data())) return t->columnCount();
    if (auto* t = qobject_cast<QTableWidget*>(object_.data())) return t->columnCount();
    return 0;
}

QString WidgetControl::columnText(int column) const {
    if (column < 1 || column > columnCount()) return QString();
    if (auto* t = qobject_cast<QTreeWidget*>(object_.data()))
        return t->headerItem() ? t->headerItem()->text(column - 1) : QString();
    if (auto* t = qobject_cast<QTableWidget*>(object_.data())) {
        const QTableWidgetItem* item = t->horizontalHeaderItem(column - 1);
        return item ? item->text() : QString();
    }
    return QString();
}

bool WidgetControl::setColumnText(int column, const QString& text) {
    if (column < 1 || column > columnCount()) return false;
    if (auto* t = qobject_cast<QTreeWidget*>(object_.data())) {
        if (!t->headerItem()) return false;
        t->headerItem()->setText(column - 1, text);
    } else if (auto* t = qobject_cast<QTableWidget*>(object_.data())) {
        if (QTableWidgetItem* item = t->horizontalHeaderItem(column - 1)) item->setText(text);
        else t->setHorizontalHeaderItem(column - 1, new QTableWidgetItem(text));
    }
    return true;
}

int WidgetControl::listCount() const {
    if (auto* c = qobject_cast<QComboBox*>(object_.data())) return c->count();
    if (auto* l = qobject_cast<QListWidget*>(object_.data())) return l->count();
    return 0;
}

QString WidgetControl::listEntry(int entry) const {
    if (entry < 0 || entry >= listCount()) return QString();
    if (auto* c = qobject_cast<QComboBox*>(object_.data())) return c->itemText(entry);
    if (auto* l = qobject_cast<QListWidget*>(object_.data())) return l->item(entry)->text();
    return QString();
}

bool WidgetControl::setListEntry(int entry, const QString& text) {
    if (entry < 0 || entry >= listCount()) return false;
    if (auto* c = qobject_cast<QComboBox*>(object_.data())) c->setItemText(entry, text);
    else if (auto* l = qobject_cast<QListWidget*>(object_.data())) l->item(entry)->setText(text);
    return true;
}

}  // namespace tova
