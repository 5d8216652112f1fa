#include "core/ui/CaptionFit.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QHash>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QAbstractSpinBox>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QStyleOptionComboBox>
#include <QTableView>
#include <QTreeView>

#include <algorithm>

namespace tova {

namespace {

// A cut of this many pixels by a neighbour or an edge is a rounding of the design, not a placement.
constexpr int kSlack = 4;

bool isControl(const QWidget* w) {
    return !w->objectName().isEmpty() && !w->objectName().startsWith(QStringLiteral("qt_")) && !w->isWindow();
}

QString shownCaption(QString text) {
    text.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

int widestLine(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n')) widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// The width a control needs for its caption, or 0 when it shows none that the font can cut.
int neededWidth(QWidget* w) {
    const QFontMetrics fm = w->fontMetrics();
    QStyle* style = w->style();
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull() || l->wordWrap() || Qt::mightBeRichText(l->text())) return 0;
        const QMargins m = l->contentsMargins();
        return widestLine(fm, shownCaption(l->text())) + m.left() + m.right() + 2 * l->margin() + 1;
    }
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w)) {
        auto* b = static_cast<QAbstractButton*>(w);
        // Indicator, spacing, text and what a style sheet puts around them.
        return b->text().isEmpty() ? 0 : b->sizeHint().width() + 1;
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text().isEmpty()) return 0;
        int need = widestLine(fm, shownCaption(b->text())) + 2 * style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w) + 4;
        if (!b->icon().isNull()) need += b->iconSize().width() + 4;
        return need;
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        return g->title().isEmpty() ? 0 : widestLine(fm, shownCaption(g->title())) + 18;
    }
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        // A box that shows a value of known form ("widestText": its widest value) shows it whole.
        const QString widest = e->property("widestText").toString();
        if (widest.isEmpty()) return 0;
        QStyleOptionFrame option;
        option.initFrom(e);
        option.lineWidth = e->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
        const QRect contents = style->subElementRect(QStyle::SE_LineEditContents, &option, e);
        const QMargins text = e->textMargins();
        // The box draws its text two pixels in from each side of its contents.
        return fm.horizontalAdvance(widest) + text.left() + text.right() + 4 + (e->width() - contents.width()) + 1;
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(c);
        option.editable = c->isEditable();
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c);
        int widest = 0;
        for (int i = 0; i < c->count(); ++i) widest = std::max(widest, fm.horizontalAdvance(c->itemText(i)));
        return widest == 0 ? 0 : widest + 4 + (c->width() - field.width());
    }
    return 0;
}

// Widens the columns of a list whose captions the font cuts.
void fitHeader(QHeaderView* header) {
    if (!header || header->isHidden()) return;
    const QFontMetrics fm = header->fontMetrics();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int s = 0; s < header->count(); ++s) {
        const QString text = header->model()->headerData(s, header->orientation()).toString();
        const int need = fm.horizontalAdvance(text) + 2 * margin + 2;
        if (!text.isEmpty() && header->sectionSize(s) < need) header->resizeSection(s, need);
    }
}

// The height a word-wrapped label needs for its text at its width (0 for any other control).
int neededHeight(QWidget* w) {
    auto* l = qobject_cast<QLabel*>(w);
    if (!l || !l->wordWrap() || l->text().isEmpty() || Qt::mightBeRichText(l->text())) return 0;
    const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
    const QRect need = l->fontMetrics().boundingRect(room, int(l->alignment()) | Qt::TextWordWrap, l->text());
    return need.height() + (l->height() - room.height()) + 1;
}

bool rowsMeet(const QRect& a, const QRect& b) { return a.top() <= b.bottom() && b.top() <= a.bottom(); }
bool columnsMeet(const QRect& a, const QRect& b) { return a.left() <= b.right() && b.left() <= a.right(); }

void fitContainer(QWidget* container, QHash<QWidget*, int>& grown) {
    QList<QWidget*> kids, hidden;  // hidden: controls the form shows later (a mode's buttons)
    const QRect room = container->rect();
    for (QObject* o : container->children()) {
        auto* w = qobject_cast<QWidget*>(o);
        if (w && isControl(w)) (w->isHidden() ? hidden : kids) << w;
    }
    if (kids.isEmpty()) return;
    int right = 0, bottom = 0;
    for (QWidget* k : kids) {
        right = std::max(right, k->geometry().right());
        bottom = std::max(bottom, k->geometry().bottom());
    }
    const int rightMargin = std::max(0, room.right() - right);
    const int bottomMargin = std::max(0, room.bottom() - bottom);
    // Moves the controls that start at or after `edge` in the row of `from` by `by` pixels, the hidden
    // ones too, so that a control shown later still has its place.
    auto pushRow = [&](QWidget* from, const QRect& before, int edge, int by) {
        for (const QList<QWidget*>* list : {&kids, &hidden})
            for (QWidget* t : *list)
                if (t != from && t->x() >= edge && rowsMeet(before, t->geometry())) t->move(t->x() + by, t->y());
    };

    std::sort(kids.begin(), kids.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
    // Captions: the control grows to the right and its row moves along.
    for (QWidget* k : kids) {
        if (auto* tree = qobject_cast<QTreeView*>(k)) fitHeader(tree->header());
        if (auto* table = qobject_cast<QTableView*>(k)) fitHeader(table->horizontalHeader());
        // A frame that grew for its own controls moves its row along.
        if (const int grew = grown.value(k); grew > 0) {
            QRect before = k->geometry();
            before.setWidth(before.width() - grew);
            pushRow(k, before, before.right() - kSlack, grew);
        }
        const int more = neededWidth(k) - k->width();
        if (more <= 0) continue;
        const QRect before = k->geometry();
        k->resize(k->width() + more, k->height());
        // A wide entry box just right of it gives up the room at its left (the row keeps its right
        // edge); anything else moves the row along.
        QWidget* next = nullptr;
        for (QWidget* t : kids)
            if (t != k && t->x() >= before.right() - kSlack && rowsMeet(before, t->geometry()) && (!next || t->x() < next->x()))
                next = t;
        const int gap = next ? next->x() - (before.right() + 1) : 0;
        const int into = more - std::max(0, gap);
        const bool entry = next && (qobject_cast<QLineEdit*>(next) || qobject_cast<QAbstractSpinBox*>(next)
                                    || (qobject_cast<QComboBox*>(next) && neededWidth(next) <= next->width() - into));
        if (entry && (into <= 0 || next->width() - into >= 3 * next->width() / 4)) {
            if (into > 0) next->setGeometry(next->x() + into, next->y(), next->width() - into, next->height());
        } else {
            pushRow(k, before, before.right() - kSlack, more);
        }
    }
    // Wrapped texts: the label grows down and the controls below it in its column move along.
    std::sort(kids.begin(), kids.end(), [](QWidget* a, QWidget* b) { return a->y() < b->y(); });
    bool taller = false;
    for (QWidget* k : kids) {
        const int more = neededHeight(k) - k->height();
        if (more <= 0) continue;
        const QRect before = k->geometry();
        k->resize(k->width(), k->height() + more);
        for (QWidget* t : kids)
            if (t != k && t->y() >= before.bottom() - kSlack && columnsMeet(before, t->geometry())) t->move(t->x(), t->y() + more);
        taller = true;
    }
    // Labels and check boxes that run into a neighbour end where it begins, when their text still fits.
    for (QWidget* l : kids) {
        const bool caption = qobject_cast<QLabel*>(l) || qobject_cast<QCheckBox*>(l) || qobject_cast<QRadioButton*>(l);
        if (!caption || neededWidth(l) == 0) continue;
        for (QWidget* t : kids) {
            const QRect a = l->geometry();
            const QRect b = t->geometry();
            if (t == l || !a.intersects(b)) continue;
            const QRect both = a.intersected(b);
            if (both.height() <= kSlack && b.top() > a.top()) {
                l->resize(l->width(), b.top() - a.top());
            } else if (both.height() <= kSlack && b.bottom() < a.bottom()) {
                l->setGeometry(a.left(), b.bottom() + 1, a.width(), a.bottom() - b.bottom());
            } else if (b.left() > a.left() && b.left() - a.left() >= neededWidth(l)) {
                l->resize(b.left() - a.left(), l->height());
            } else if (b.left() > a.left()) {
                // The text reaches under the neighbour: the label ends after its text, the row moves along.
                const int need = neededWidth(l);
                l->resize(need, l->height());
                pushRow(l, a, b.left(), a.left() + need - b.left());
            } else if (b.right() < a.right() && a.right() - b.right() >= neededWidth(l)) {
                l->setGeometry(b.right() + 1, a.top(), a.right() - b.right(), a.height());
            }
        }
    }
    // A few pixels past the container's edge: the control shrinks into it (a part the window's size
    // hides wholly stays as it is).
    for (QWidget* k : kids) {
        QRect g = k->geometry();
        if (!room.intersects(g)) continue;
        if (g.bottom() > room.bottom() && g.bottom() - room.bottom() <= kSlack) g.setBottom(room.bottom());
        if (g.right() > room.right() && g.right() - room.right() <= kSlack && !grown.contains(container)) g.setRight(room.right());
        k->setGeometry(g);
    }
    // The container grows to hold what grew.
    int newRight = 0, newBottom = 0;
    for (QWidget* k : kids) {
        newRight = std::max(newRight, k->geometry().right());
        newBottom = std::max(newBottom, k->geometry().bottom());
    }
    const int extra = std::max(0, newRight + rightMargin - room.right());
    const int lower = taller ? std::max(0, newBottom + bottomMargin - room.bottom()) : 0;
    if (extra <= 0 && lower <= 0) return;
    if (container->isWindow()) {
        const bool fixed = container->minimumSize() == container->maximumSize();
        const QSize size(container->width() + extra, container->height() + lower);
        if (fixed) container->setFixedSize(size);
        else {
            if (container->minimumWidth() > 0) container->setMinimumWidth(container->minimumWidth() + extra);
            if (container->minimumHeight() > 0) container->setMinimumHeight(container->minimumHeight() + lower);
            container->resize(size);
        }
    } else {
        container->resize(container->width() + extra, container->height() + lower);
        grown[container] = std::max(grown.value(container), extra);
    }
}

int depth(const QWidget* w, const QWidget* top) {
    int d = 0;
    for (; w && w != top; w = w->parentWidget()) ++d;
    return d;
}

}  // namespace

int CaptionFit::shortfall(QWidget* control) { return std::max(0, neededWidth(control) - control->width()); }

void CaptionFit::apply(QWidget* form) {
    // Inner containers first, so that a frame that grew moves its neighbours in the form.
    QList<QWidget*> containers{form};
    for (QWidget* w : form->findChildren<QWidget*>())
        if (!w->isWindow() && !qobject_cast<QAbstractButton*>(w) && !qobject_cast<QComboBox*>(w)) containers << w;
    std::stable_sort(containers.begin(), containers.end(),
                     [form](QWidget* a, QWidget* b) { return depth(a, form) > depth(b, form); });
    QHash<QWidget*, int> grown;
    for (QWidget* c : containers) fitContainer(c, grown);
}

}  // namespace tova
