// The main window's direct-editing controls: the feedback controls over the roll and the ruler, the
// in-place text boxes, and the routing of pointer and key events to the logic's handlers.
#include "mainwindow/ui/Form1.h"

#include "core/ui/frmEditBox.h"
#include "mainwindow/ui/PictureBox.h"

#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace tova {

namespace {

// A feedback control: drawn over the picture, never taking the pointer's events from it.
QWidget* feedback(QWidget* parent, const char* name, const QString& style) {
    auto* f = new QFrame(parent);
    f->setObjectName(QString::fromLatin1(name));
    f->setStyleSheet(style);
    f->setAttribute(Qt::WA_TransparentForMouseEvents);
    f->hide();
    return f;
}

int buttonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton: return 1;
    case Qt::RightButton: return 2;
    case Qt::MiddleButton: return 4;
    default: return 0;
    }
}

int buttonsOf(Qt::MouseButtons b) {
    return (b & Qt::LeftButton ? 1 : 0) | (b & Qt::RightButton ? 2 : 0) | (b & Qt::MiddleButton ? 4 : 0);
}

int shiftOf(Qt::KeyboardModifiers m) {
    return (m & Qt::ShiftModifier ? 1 : 0) | (m & Qt::ControlModifier ? 2 : 0) | (m & Qt::AltModifier ? 4 : 0);
}

// The key code the roll's key map uses: letters as capitals, Enter 13, Left 37, Right 39.
int keyCodeOf(const QKeyEvent* e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: return 13;
    case Qt::Key_Escape: return 27;
    case Qt::Key_Left: return 37;
    case Qt::Key_Right: return 39;
    default: break;
    }
    if (e->key() >= Qt::Key_A && e->key() <= Qt::Key_Z) return e->key();
    return 0;
}

// A pointer handler (Button, Shift, X, Y) of a part of the main window's logic.
template <class Part>
auto on(Part MainWindow::*part, void (Part::*handler)(int, int, double, double)) {
    return [part, handler](MainWindow& w, int button, int shift, double x, double y) {
        ((w.*part).*handler)(button, shift, x, y);
    };
}

double tx(const QMouseEvent* e) { return e->position().x() * 15.0; }
double ty(const QMouseEvent* e) { return e->position().y() * 15.0; }

}  // namespace

void Form1::buildRollControls() {
    const QString box = QStringLiteral("QFrame { border: 1px solid #202020; background: transparent; }");
    feedback(Picture2_, "Shape1", QStringLiteral("QFrame { border: 2px solid #1040c0; background: rgba(16,64,192,40); }"));
    feedback(Picture2_, "Shape2", QStringLiteral("QFrame { border: 1px dashed #1040c0; background: transparent; }"));
    feedback(Picture2_, "shpHandle", box);
    feedback(Picture2_, "Line1", QStringLiteral("QFrame { background: #1040c0; }"));
    feedback(Picture2_, "Line2", QStringLiteral("QFrame { background: #1040c0; }"));
    feedback(Picture4_, "Shape3", QStringLiteral("QFrame { border: 1px solid #1040c0; background: transparent; }"));

    auto* lbNumber = new QLabel(Picture2_);
    lbNumber->setObjectName(QStringLiteral("lbNumber"));
    lbNumber->setAttribute(Qt::WA_TransparentForMouseEvents);
    lbNumber->hide();

    auto* Text1 = new QLineEdit(Picture2_);
    Text1->setObjectName(QStringLiteral("Text1"));
    Text1->hide();
    Text1->installEventFilter(this);

    auto* txtLabel = new QLineEdit(Picture4_);
    txtLabel->setObjectName(QStringLiteral("txtLabel"));
    txtLabel->hide();
    txtLabel->installEventFilter(this);
}

void Form1::wireRollInput() {
    MainWindow* w = logic_.get();
    Picture2_->setMouseTracking(true);
    Picture3_->setMouseTracking(true);
    // A pointer event of a picture box to a handler of one of the logic's parts; a move passes the
    // buttons held, a press or release the button that changed.
    auto route = [this, w](PictureBox* box, void (PictureBox::*signal)(QMouseEvent*), auto handler, bool move) {
        connect(box, signal, this, [this, w, handler, move](QMouseEvent* e) {
            const int button = move ? buttonsOf(e->buttons()) : buttonOf(e->button());
            handle([&] { handler(*w, button, shiftOf(e->modifiers()), tx(e), ty(e)); });
        });
    };
    route(Picture2_, &PictureBox::mousePressed, on(&MainWindow::Roll, &RollEditor::Picture2_MouseDown), false);
    route(Picture2_, &PictureBox::mouseMoved, on(&MainWindow::Roll, &RollEditor::Picture2_MouseMove), true);
    route(Picture2_, &PictureBox::mouseReleased, on(&MainWindow::Roll, &RollEditor::Picture2_MouseUp), false);
    route(Picture3_, &PictureBox::mousePressed, on(&MainWindow::Ruler, &RulerInput::Picture3_MouseDown), false);
    route(Picture3_, &PictureBox::mouseMoved, on(&MainWindow::Ruler, &RulerInput::Picture3_MouseMove), true);
    route(Picture3_, &PictureBox::mouseReleased, on(&MainWindow::Ruler, &RulerInput::Picture3_MouseUp), false);
    route(Picture4_, &PictureBox::mousePressed, on(&MainWindow::Ruler, &RulerInput::Picture4_MouseDown), false);
    route(Picture4_, &PictureBox::mouseReleased, on(&MainWindow::Ruler, &RulerInput::Picture4_MouseUp), false);
    connect(Picture2_, &PictureBox::doubleClicked, this, [this, w](QMouseEvent*) {
        handle([&] { w->Keys.Picture2_DblClick(); });
    });
    connect(Picture2_, &PictureBox::keyPressed, this, [this, w](QKeyEvent* e) {
        const int code = keyCodeOf(e);
        if (code == 0) return;
        handle([&] { w->Keys.Picture2_KeyDown(code, shiftOf(e->modifiers())); });
    });
    for (const char* name : {"lblTone", "txtTempo", "Text2"})
        if (QObject* o = control(QString::fromLatin1(name))) o->installEventFilter(this);
    for (QLabel* panel : panels_) panel->installEventFilter(this);
}

void Form1::Text2_DblClick() {
    QString text = RollTextBoxes::queueToLines(this->text(QStringLiteral("Text2")));
    frmEditBox::EditText(text, this);
    setText(QStringLiteral("Text2"), RollTextBoxes::linesToQueue(text));
}

bool Form1::filterRollControls(QObject* watched, QEvent* event) {
    if (!logic_) return false;
    MainWindow* w = logic_.get();
    const QString name = watched->objectName();
    const QEvent::Type type = event->type();
    if (name == u"Text1" || name == u"txtLabel") {
        const bool lyricBox = name == u"Text1";
        if (type == QEvent::FocusOut) {
            handle([&] {
                if (lyricBox) w->Boxes.Text1_LostFocus();
                else w->Boxes.txtLabel_LostFocus();
            });
            return false;
        }
        if (type != QEvent::KeyPress) return false;
        auto* key = static_cast<QKeyEvent*>(event);
        int code = keyCodeOf(key);
        if (code != 13 && code != 27) return false;
        if (!lyricBox && code != 13) return false;
        handle([&] {
            if (lyricBox) {
                w->Boxes.Text1_KeyPress(code);
            } else {
                w->Boxes.txtLabel_KeyDown(code);
                int ascii = 13;
                w->Boxes.txtLabel_KeyPress(ascii);
            }
        });
        return true;
    }
    if (name == u"lblTone") {
        if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
            return false;
        auto* m = static_cast<QMouseEvent*>(event);
        auto* label = static_cast<QWidget*>(watched);
        if (type == QEvent::MouseButtonPress) {
            handle([&] { w->Ruler.lblTone_MouseDown(buttonOf(m->button()), shiftOf(m->modifiers()), tx(m), ty(m)); });
            return true;
        }
        if (type == QEvent::MouseMove) {
            const double height = label->height() * 15.0;
            handle([&] {
                w->Ruler.lblTone_MouseMove(buttonsOf(m->buttons()), shiftOf(m->modifiers()), tx(m), ty(m), height);
            });
            return true;
        }
        if (type == QEvent::MouseButtonRelease) {
            handle([&] { w->Ruler.lblTone_MouseUp(buttonOf(m->button()), shiftOf(m->modifiers()), tx(m), ty(m)); });
            return true;
        }
        return false;
    }
    if (name == u"txtTempo" && type == QEvent::MouseButtonRelease) {
        handle([&] { w->Boxes.txtTempo_Click(); });
        return true;
    }
    if (name == u"txtTempo" && type == QEvent::KeyPress) {
        int code = keyCodeOf(static_cast<QKeyEvent*>(event));
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        int ascii = typed.isEmpty() ? 0 : typed.at(0).unicode();
        handle([&] {
            w->Boxes.txtTempo_KeyDown(code);
            w->Boxes.txtTempo_KeyPress(ascii);
        });
        return true;
    }
    if (name == u"Text2" && type == QEvent::MouseButtonDblClick) {
        handle([&] { Text2_DblClick(); });
        return true;
    }
    if (type == QEvent::MouseButtonRelease)
        for (int i = 0; i < 4; ++i)
            if (watched == panels_[i]) {
                handle([&] { w->Ruler.StatusBar1_PanelClick(i + 1); });
                return true;
            }
    return false;
}

}  // namespace tova
