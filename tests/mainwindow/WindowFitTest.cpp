// Every window of the program shown offscreen at its design size, at the default font and at a font
// 125 % as large: each visible control lies inside its window, no two visible sibling controls cover
// each other (unless the window places one on a backdrop), and every caption fits its control by the
// font's own metrics. A picture of each window at both sizes goes to the test-output folder.

#include "MainWindowRig.h"
#include "RegisteredWindows.h"

#include "autotune/ui/frmAutoBibrato.h"
#include "autotune/ui/frmAutoCombine.h"
#include "autotune/ui/frmAutoPitch.h"
#include "autotune/ui/frmOmakase.h"
#include "core/WindowRegistry.h"
#include "core/ui/InputBoxDialog.h"
#include "core/ui/ProgramFont.h"
#include "core/ui/Twips.h"
#include "core/ui/WidgetWindow.h"
#include "core/ui/frmEditBox.h"
#include "core/ui/frmProgress.h"
#include "core/ui/frmShowRunning.h"
#include "editors/ui/frmNoteProperty.h"
#include "mainwindow/ui/Dialog.h"
#include "mainwindow/ui/frmSplash.h"
#include "mainwindow/ui/QtDefaultVoiceRunView.h"
#include "render/ui/frmOtoReport.h"
#include "support/TestSupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QStyleOption>
#include <QLineEdit>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QStyleOptionComboBox>
#include <QTableWidget>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace tova;
using namespace tova::test;
using namespace Qt::Literals::StringLiterals;

namespace {

// A control's name as the caption files write it: the name, and the index of an array element.
QString controlName(const QWidget* w) {
    const QVariant index = w->property("index");
    return index.isValid() ? w->objectName() + u'(' + QString::number(index.toInt()) + u')' : w->objectName();
}

bool isControl(const QWidget* w) {
    return !w->objectName().isEmpty() && !w->objectName().startsWith(u"qt_"_s);
}

QString plainCaption(QString text) {
    text.replace(u"&&"_s, u"\x01"_s);
    text.remove(u'&');
    text.replace(u'\x01', u'&');
    return text;
}

// The widest line of a text in a font.
int textWidth(const QFontMetrics& fm, const QString& text) {
    int widest = 0;
    for (const QString& line : text.split(u'\n')) widest = std::max(widest, fm.horizontalAdvance(line));
    return widest;
}

// Pixels the caption needs beyond the room it has in its control (0 or less: it fits).
int captionShortfall(QWidget* w, QString* caption) {
    const QFontMetrics fm = w->fontMetrics();
    QStyle* style = w->style();
    if (auto* l = qobject_cast<QLabel*>(w)) {
        if (l->text().isEmpty() || !l->pixmap().isNull() || Qt::mightBeRichText(l->text())) return 0;
        *caption = l->text();
        const QRect room = l->contentsRect().adjusted(l->margin(), l->margin(), -l->margin(), -l->margin());
        if (l->wordWrap()) {
            const QRect need = fm.boundingRect(room, int(l->alignment()) | Qt::TextWordWrap, l->text());
            return std::max(need.width() - room.width(), need.height() - room.height());
        }
        return textWidth(fm, plainCaption(l->text())) - room.width();
    }
    if (auto* b = qobject_cast<QCheckBox*>(w); b || qobject_cast<QRadioButton*>(w)) {
        auto* button = static_cast<QAbstractButton*>(w);
        if (button->text().isEmpty()) return 0;
        *caption = button->text();
        // The style's own measure: indicator, spacing, text and what a style sheet adds around them.
        return w->sizeHint().width() - w->width();
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        if (b->text().isEmpty()) return 0;
        *caption = b->text();
        const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
        int need = textWidth(fm, plainCaption(b->text())) + 2 * frame + 2;
        if (!b->icon().isNull()) need += b->iconSize().width() + 4;
        return need - w->width();
    }
    if (auto* g = qobject_cast<QGroupBox*>(w)) {
        if (g->title().isEmpty()) return 0;
        *caption = g->title();
        return textWidth(fm, plainCaption(g->title())) + 16 - w->width();
    }
    if (auto* e = qobject_cast<QLineEdit*>(w); e && e->isReadOnly() && !e->text().isEmpty()) {
        // A box that only shows a value (it cannot be scrolled by typing) shows all of it, and the
        // widest value it declares: the text area is the style's contents rectangle less the text
        // margins and two pixels a side.
        const QString widest = e->property("widestText").toString();
        *caption = fm.horizontalAdvance(widest) > fm.horizontalAdvance(e->text()) ? widest : e->text();
        QStyleOptionFrame option;
        option.initFrom(e);
        option.lineWidth = e->hasFrame() ? style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, e) : 0;
        const QRect contents = style->subElementRect(QStyle::SE_LineEditContents, &option, e);
        const QMargins text = e->textMargins();
        return fm.horizontalAdvance(*caption) - (contents.width() - text.left() - text.right() - 4);
    }
    if (auto* c = qobject_cast<QComboBox*>(w)) {
        QStyleOptionComboBox option;
        option.initFrom(c);
        option.editable = c->isEditable();
        const QRect field = style->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, c);
        int worst = 0;
        for (int i = 0; i < c->count(); ++i) {
            const int over = fm.horizontalAdvance(c->itemText(i)) + 2 - field.width();
            if (over > worst) {
                worst = over;
                *caption = c->itemText(i);
            }
        }
        return worst;
    }
    return 0;
}

// The column captions of a list or table that cut their text.
void checkHeader(QHeaderView* header, const QString& where, QStringList& problems) {
    if (!header || header->isHidden()) return;
    const QFontMetrics fm = header->fontMetrics();
    const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
    for (int s = 0; s < header->count(); ++s) {
        if (header->isSectionHidden(s)) continue;
        const QString text = header->model()->headerData(s, header->orientation()).toString();
        if (text.isEmpty()) continue;
        const int over = fm.horizontalAdvance(text) + 2 * margin - header->sectionSize(s);
        if (over > 0)
            problems << where + u": column caption \""_s + text + u"\" needs "_s + QString::number(over) + u" px more"_s;
    }
}

struct Backdrop {
    const char* window;
    const char* control;  // other controls may lie on it
};
// Pictures and frames the windows place other controls on.
const Backdrop kBackdrops[] = {
    {"Form1", "Image2"},
};

// Drawing areas whose markers the drawing places (they may stand on each other and past the edge).
const Backdrop kCanvases[] = {
    {"frmOtoEdit", "canvas"},
};

// The window of a checked name ("Form1-mode2" is Form1 in one of its states).
QString windowOf(const QString& name) { return name.section(u'-', 0, 0); }

bool isOnCanvas(const QString& window, const QWidget* w) {
    for (const Backdrop& b : kCanvases)
        if (windowOf(window) == QLatin1String(b.window) && w->parentWidget()->objectName() == QLatin1String(b.control))
            return true;
    return false;
}

// A drawn line (Line1, Line2, ...): its box is not its area, and joined lines share their ends.
bool isDrawnLine(const QWidget* w) {
    static const QRegularExpression line(u"^Line\\d+$"_s);
    return line.match(w->objectName()).hasMatch();
}

bool isBackdrop(const QString& window, const QWidget* w) {
    for (const Backdrop& b : kBackdrops)
        if (windowOf(window) == QLatin1String(b.window) && w->objectName() == QLatin1String(b.control)) return true;
    return false;
}

// What is wrong with a window's layout, one line per fault, each naming window, control and caption.
QStringList layoutProblems(QWidget* window, const QString& name) {
    QStringList problems;
    const QList<QWidget*> all = window->findChildren<QWidget*>();
    auto shown = [&](QWidget* w) { return w->isVisibleTo(window); };
    for (QWidget* w : all) {
        if (!shown(w) || !isControl(w) || w->isWindow() || isOnCanvas(name, w)) continue;
        QWidget* parent = w->parentWidget();
        const QString where = name + u'.' + controlName(w);
        // A control wholly outside its container is a part the window's size hides; one cut by the edge shows half.
        const QRect box = w->geometry();
        const QRect room = parent->rect();
        if (!room.intersects(box)) continue;
        if (!room.contains(box))
            problems << where + u" is cut by the edge of "_s + (parent == window ? name : controlName(parent)) + u" ("_s
                            + QString::number(box.x()) + u',' + QString::number(box.y()) + u' ' + QString::number(box.width())
                            + u'x' + QString::number(box.height()) + u" in "_s + QString::number(room.width()) + u'x'
                            + QString::number(room.height()) + u')';
        QString caption;
        const int over = captionShortfall(w, &caption);
        if (over > 0)
            problems << where + u": caption \""_s + caption + u"\" needs "_s + QString::number(over) + u" px more"_s;
        if (auto* tree = qobject_cast<QTreeView*>(w)) checkHeader(tree->header(), where, problems);
        if (auto* table = qobject_cast<QTableView*>(w)) checkHeader(table->horizontalHeader(), where, problems);
        // Siblings made after this one that cover it.
        const QObjectList& siblings = parent->children();
        for (qsizetype i = siblings.indexOf(w) + 1; i < siblings.size(); ++i) {
            auto* s = qobject_cast<QWidget*>(siblings[i]);
            if (!s || !shown(s) || !isControl(s) || s->isWindow()) continue;
            if (isBackdrop(name, w) || isBackdrop(name, s) || isDrawnLine(w) || isDrawnLine(s)) continue;
            const QRect both = box.intersected(s->geometry()) & room;
            if (!both.isEmpty())
                problems << where + u" and "_s + controlName(s) + u" overlap by "_s + QString::number(both.width()) + u'x'
                                + QString::number(both.height()) + u" px"_s;
        }
    }
    return problems;
}

// Separators of the menus carry no text, so no style can draw a "-" beside the line.
QStringList menuProblems(QWidget* window, const QString& name) {
    QStringList problems;
    for (QMenu* menu : window->findChildren<QMenu*>())
        for (QAction* a : menu->actions())
            if (a->isSeparator() && !a->text().isEmpty())
                problems << name + u'.' + menu->objectName() + u": separator "_s + a->objectName() + u" shows \""_s + a->text()
                                + u'"';
    return problems;
}

class WindowFit : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        original_ = QApplication::font();
        QFont f = programFont();
        f.setPointSizeF(f.pointSizeF() * GetParam() / 100.0);
        QApplication::setFont(f);
        suffix_ = u"-"_s + QString::number(GetParam());
    }
    void TearDown() override { QApplication::setFont(original_); }

    // Shows the window offscreen, saves its picture and checks it.
    void check(QWidget* window, const QString& name) {
        SCOPED_TRACE(name.toStdString());
        window->setAttribute(Qt::WA_DontShowOnScreen);
        window->show();
        QApplication::processEvents();
        savePng(window, u"fit-"_s + name + suffix_);
        const QStringList problems = layoutProblems(window, name) + menuProblems(window, name);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
        window->hide();
    }

    // Checks the modal window that `open` shows, then closes it.
    void checkModal(const QString& name, const std::function<void()>& open) {
        bool seen = false;
        QTimer::singleShot(0, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (!w) return;
            seen = true;
            check(w, name);
            w->close();
        });
        open();
        EXPECT_TRUE(seen) << name.toStdString();
    }

    QFont original_;
    QString suffix_;
};

TEST_P(WindowFit, EveryRegisteredWindow) {
    MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    RegisteredWindows windows;

    QStringList names = WindowRegistry::names();
    ASSERT_GE(names.size(), 19);
    names.removeAll(u"Form1"_s);
    for (const QString& name : names) {
        std::unique_ptr<LocalizableWindow> loaded = WindowRegistry::load(name);
        auto* window = dynamic_cast<WidgetWindow*>(loaded.get());
        ASSERT_NE(window, nullptr) << name.toStdString();
        check(window->form(), name);
    }
}

TEST_P(WindowFit, MainWindowItsToolBandAndPopUps) {
    MainWindowRig rig;
    ASSERT_TRUE(rig.start());
    rig.f().resize(Twips::size(14160, 8700));
    check(&rig.f(), u"Form1"_s);
    // Mode 2 shows its own buttons in the band ("Trace", "Render"): they have their room too.
    rig.f().setValue(u"chkAutoPitchMode2"_s, 1);
    rig.w().chkAutoPitchMode2_Click();
    ASSERT_TRUE(rig.f().visible(u"chkTraceMode"_s));
    check(&rig.f(), u"Form1-mode2"_s);
    // The pop-up menus as they open.
    for (QMenu* menu : rig.f().findChildren<QMenu*>()) {
        if (menu->parent() != rig.f().menuBar() && qobject_cast<QMenuBar*>(menu->parentWidget())) continue;
        if (menu->objectName().isEmpty() || menu->actions().isEmpty()) continue;
        menu->adjustSize();
        savePng(menu, u"fit-Form1-"_s + menu->objectName() + suffix_);
    }
}

TEST_P(WindowFit, DialogsOutsideTheRegistry) {
    ScopedFakePorts modal;
    const std::vector<std::pair<QString, std::function<QWidget*()>>> windows = {
        {u"frmAutoPitch"_s, [] { return new frmAutoPitch(); }},
        {u"frmAutoBibrato"_s, [] { return new frmAutoBibrato(); }},
        {u"frmAutoCombine"_s, [] { return new frmAutoCombine(); }},
        {u"frmAutoCombine-full"_s, [] {
             auto* w = new frmAutoCombine();
             w->handle([w] { w->model().ToggleDetailHeight(); });
             return w;
         }},
        {u"frmNoteProperty-detail"_s, [] {
             auto* w = new frmNoteProperty(settings());
             w->handle([w] { w->model().ShowDetail(true); });
             return w;
         }},
        {u"frmOmakase"_s, [] { return new frmOmakase(); }},
        {u"frmShowRunning"_s, [] { return new frmShowRunning(); }},
        {u"frmOtoReport"_s, [] { return new frmOtoReport(); }},
        {u"frmSplash"_s, [] { return new frmSplash(); }},
        {u"Dialog"_s, [] { return new Dialog(); }},
    };
    for (const auto& [name, make] : windows) {
        std::unique_ptr<QWidget> w(make());
        check(w.get(), name);
    }
    // The two input boxes open only modally: checked while they are open.
    checkModal(u"InputBoxDialog"_s, [] {
        QString text = u"120"_s;
        InputBoxDialog::ShowInput(text, nullptr, u"全体のテンポの変更"_s);
    });
    checkModal(u"frmEditBox"_s, [] {
        QString text = u"テキスト"_s;
        frmEditBox::EditText(text, nullptr);
    });
    checkModal(u"frmEditBox-readme"_s, [] {
        frmEditBox::ShowText(u"readme.txt"_s, u"テキスト"_s, nullptr);
    });
}

// The progress window of the first start, while the default voice is made: shown as the run shows it
// (slid in, centred on the screen), with the longest texts of both stages of the run.
TEST_P(WindowFit, ProgressWindowDuringTheDefaultVoiceRun) {
    QtDefaultVoiceRunView view;
    DefaultVoiceProgress::State speaking;
    speaking.done = 65;
    speaking.total = 105;
    view.open(speaking);
    ASSERT_TRUE(frmProgress::isLoaded());
    frmProgress& f = frmProgress::form();
    DefaultVoiceProgress::State tables;
    tables.tables = true;
    tables.done = 100;
    tables.total = 104;
    for (const auto& [state, name] : {std::pair{speaking, u"frmProgress-speaking"_s}, std::pair{tables, u"frmProgress-tables"_s}}) {
        SCOPED_TRACE(name.toStdString());
        view.update(state);
        QApplication::processEvents();
        savePng(&f, u"fit-"_s + name + suffix_);
        // The window shows the whole panel: nothing of it lies past the window's lower edge.
        EXPECT_GE(f.height(), f.Picture1->geometry().bottom() + 1);
        const QStringList problems = layoutProblems(&f, name);
        EXPECT_TRUE(problems.isEmpty()) << problems.join(u'\n').toStdString();
    }
    view.close();
}

INSTANTIATE_TEST_SUITE_P(Fonts, WindowFit, ::testing::Values(100, 125),
                         [](const ::testing::TestParamInfo<int>& info) { return "Font" + std::to_string(info.param); });

}  // namespace
