#include "editors/ui/frmNoteProperty.h"

#include "core/ui/Twips.h"
#include "core/ui/frmEditBox.h"
#include "editors/ui/Placed.h"
#include "song/NoteArrays.h"

#include <algorithm>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

namespace tova {
namespace {

constexpr int kWidthTwips = 5520;
constexpr int kDetailHeight = 5370;
constexpr int kCompactHeight = 3675;

// Common fields look like any text box; mixed ones are light grey with grey text.
void showState(QWidget* w, bool common, bool greyText) {
    QPalette p = w->palette();
    const QPalette system = QPalette();
    p.setColor(QPalette::Base, common ? system.color(QPalette::Base) : QColor(0xE0, 0xE0, 0xE0));
    p.setColor(QPalette::Text, common || !greyText ? system.color(QPalette::ButtonText)
                                                   : system.color(QPalette::Disabled, QPalette::Text));
    w->setPalette(p);
}

}  // namespace

frmNoteProperty::frmNoteProperty(tova::Settings& settings, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmNoteProperty"), QStringLiteral("音符のプロパティ"), owner, settings) {
    auto label = [this](const char* name, const QString& caption, QRect r) { return placed<QLabel>(this, name, r, caption); };
    auto edit = [this](const char* name, QRect r) {
        auto* e = placed<QLineEdit>(this, name, r);
        e->installEventFilter(this);
        connect(e, &QLineEdit::textEdited, this, [this, e](const QString& t) {
            handle([&] {
                if (NotePropertyDialog::Field* f = fieldOf(e)) model().fieldChanged(*f, t);
            });
        });
        return e;
    };
    auto button = [this](const char* name, const QString& caption, QRect r) {
        auto* b = placed<QPushButton>(this, name, r, caption);
        b->setAutoDefault(false);
        return b;
    };
    auto scroll = [this](const char* name, int min, int max, QRect r) {
        auto* s = placed<QScrollBar>(this, name, r, Qt::Vertical);
        s->setRange(min, max);
        return s;
    };

    Label1 = label("Label1", QStringLiteral("詞"), Twips::rect(120, 180, 375, 255));
    txtWord = edit("txtWord", Twips::rect(480, 120, 1335, 330));
    Label2 = label("Label2", QStringLiteral("キー"), Twips::rect(1935, 180, 495, 255));
    cboNote = new QComboBox(this);
    cboNote->setObjectName(QStringLiteral("cboNote"));
    cboNote->setGeometry(Twips::rect(2400, 120, 1095, 330));
    cboNote->setEditable(true);
    cboNote->lineEdit()->setReadOnly(true);
    cboNote->setMaxVisibleItems(20);
    Label3 = label("Label3", QStringLiteral("長さ"), Twips::rect(3615, 180, 495, 255));
    txtLeng = edit("txtLeng", Twips::rect(4080, 120, 1215, 330));

    Label4 = label("Label4", QStringLiteral("音量"), Twips::rect(120, 660, 1575, 255));
    txtVolume = edit("txtVolume", Twips::rect(1800, 600, 855, 330));
    vscrlVolume = scroll("vscrlVolume", NotePropertyDialog::VolumeScrollMin, NotePropertyDialog::VolumeScrollMax,
                         Twips::rect(2655, 600, 255, 330));
    Label5 = label("Label5", QStringLiteral("%"), Twips::rect(3000, 660, 375, 255));
    Label6 = label("Label6", QStringLiteral("モジュレーション"), Twips::rect(120, 1080, 1575, 255));
    txtModulation = edit("txtModulation", Twips::rect(1800, 1020, 855, 330));
    vscrlModulation = scroll("vscrlModulation", NotePropertyDialog::ModulationScrollMin,
                             NotePropertyDialog::ModulationScrollMax, Twips::rect(2655, 1020, 255, 330));
    Label7 = label("Label7", QStringLiteral("%"), Twips::rect(3000, 1080, 375, 255));
    Label8 = label("Label8", QStringLiteral("先行発声"), Twips::rect(120, 1500, 1575, 255));
    txtOffset = edit("txtOffset", Twips::rect(1800, 1440, 1095, 330));
    Label9 = label("Label9", QStringLiteral("ミリ秒"), Twips::rect(3000, 1500, 615, 255));
    cmdClear = button("cmdClear", QStringLiteral("クリア"), Twips::rect(3840, 1440, 1455, 330));
    Label10 = label("Label10", QStringLiteral("オーバーラップ"), Twips::rect(120, 1920, 1575, 255));
    txtOverlap = edit("txtOverlap", Twips::rect(1800, 1860, 1095, 330));
    Label12 = label("Label12", QStringLiteral("ミリ秒"), Twips::rect(3000, 1920, 615, 255));
    cmdGen = button("cmdGen", QStringLiteral("原音値"), Twips::rect(3840, 1860, 1455, 330));
    Label11 = label("Label11", QStringLiteral("子音速度（β）"), Twips::rect(120, 2340, 1575, 255));
    txtVel = edit("txtVel", Twips::rect(1800, 2280, 1095, 330));
    OKButton = button("OKButton", QStringLiteral("OK"), Twips::rect(2640, 2760, 1215, 375));
    OKButton->setDefault(true);
    CancelButton = button("CancelButton", QStringLiteral("ｷｬﾝｾﾙ"), Twips::rect(4080, 2760, 1215, 375));
    lblDetail = label("lblDetail", QStringLiteral("▽詳細"), Twips::rect(120, 2880, 1215, 255));
    lblHideDetail = label("lblHideDetail", QStringLiteral("△隠す"), Twips::rect(120, 2880, 1215, 255));
    for (QLabel* l : {lblDetail, lblHideDetail}) {
        l->setCursor(Qt::PointingHandCursor);
        l->installEventFilter(this);
    }

    Label13 = label("Label13", QStringLiteral("BRE"), Twips::rect(120, 3420, 1575, 255));
    txtBre = edit("txtBre", Twips::rect(1800, 3360, 855, 330));
    Label14 = label("Label14", QStringLiteral("0～100(normal=50)"), Twips::rect(2760, 3420, 2535, 255));
    chkNoFilter = new QCheckBox(QStringLiteral("No Formant Filter"), this);
    chkNoFilter->setObjectName(QStringLiteral("chkNoFilter"));
    chkNoFilter->setGeometry(Twips::rect(1800, 3780, 3495, 300));
    chkNoFilter->setTristate(true);
    chkNoFilter->installEventFilter(this);
    auto* flagsLabel = label("Label15", QStringLiteral("Flags"), Twips::rect(120, 4200, 1575, 255));
    Q_UNUSED(flagsLabel);
    txtFlags = edit("txtFlags", Twips::rect(1800, 4140, 3495, 330));
    lblCommand = label("lblCommand", QStringLiteral("STP"), Twips::rect(120, 4620, 1575, 255));
    txtSTP = edit("txtSTP", Twips::rect(1800, 4560, 1095, 330));
    cmdOthers = button("cmdOthers", QStringLiteral("Others..."), Twips::rect(3840, 4560, 1455, 330));

    connect(vscrlVolume, &QScrollBar::valueChanged, this, [this](int v) { handle([&] { model().vscrlVolume_Change(v); }); });
    connect(vscrlModulation, &QScrollBar::valueChanged, this,
            [this](int v) { handle([&] { model().vscrlModulation_Change(v); }); });
    connect(cboNote, &QComboBox::activated, this, [this](int i) { handle([&] { model().cboNote_Click(i); }); });
    connect(chkNoFilter, &QCheckBox::clicked, this, [this] { handle([&] { model().chkNoFilter_Click(); }); });
    connect(cmdClear, &QPushButton::clicked, this, [this] { handle([&] { model().cmdClear_Click(); }); });
    connect(cmdGen, &QPushButton::clicked, this, [this] { handle([&] { model().cmdGen_Click(); }); });
    connect(cmdOthers, &QPushButton::clicked, this, [this] {
        handle([&] { model().cmdOthers_Click([this](QString& text) { frmEditBox::EditText(text, this); }); });
    });
    connect(OKButton, &QPushButton::clicked, this, [this] { handle([&] { model().OKButton_Click(); }); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { handle([&] { model().CancelButton_Click(); }); });
    // The caption files apply as soon as the form exists (the caption export loads it without notes);
    // loading the notes applies them again over the note-dependent caption.
    finishLoad();
}

void frmNoteProperty::load(qint32 first, qint32 last, const NoteArrays& notes, const NotePropertyDialog::OtoLookup& lookup) {
    handle([&] { model().Load(first, last, notes, lookup); });
    setWindowTitle(model().caption);
    {
        const QSignalBlocker block(cboNote);
        cboNote->clear();
        cboNote->addItems(model().cboNoteItems);
    }
    finishLoad();
    fitLabel11();
}

// A caption file may lengthen the caption beside the velocity box: the box moves right to make room.
void frmNoteProperty::fitLabel11() {
    const int textTwips = Label11->fontMetrics().horizontalAdvance(Label11->text()) * Twips::PerPixel;
    const int needed = (textTwips / 30 + 8) * 30 / Twips::PerPixel;
    if (txtVel->x() - Label11->x() < needed) {
        Label11->resize(needed, Label11->height());
        txtVel->move(Label11->x() + needed, txtVel->y());
    }
}

NotePropertyDialog::Field* frmNoteProperty::fieldOf(QObject* box) {
    NotePropertyDialog& m = model();
    const std::pair<QLineEdit*, NotePropertyDialog::Field*> fields[] = {
        {txtWord, &m.txtWord},         {txtLeng, &m.txtLeng},     {txtOffset, &m.txtOffset}, {txtOverlap, &m.txtOverlap},
        {txtVel, &m.txtVel},           {txtVolume, &m.txtVolume}, {txtModulation, &m.txtModulation},
        {txtBre, &m.txtBre},           {txtFlags, &m.txtFlags},   {txtSTP, &m.txtSTP}};
    for (const auto& [edit, field] : fields)
        if (edit == box) return field;
    return nullptr;
}

bool frmNoteProperty::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonDblClick) {
        if (NotePropertyDialog::Field* f = fieldOf(watched)) {
            handle([&] { model().ToggleFieldState(*f); });
            return true;
        }
    }
    if (event->type() == QEvent::MouseButtonPress) {
        if (watched == chkNoFilter && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton)
            handle([&] { model().chkNoFilter_MouseDown(); });
    }
    if (event->type() == QEvent::MouseButtonRelease && (watched == lblDetail || watched == lblHideDetail)) {
        handle([&] {
            if (watched == lblDetail) model().lblDetail_Click();
            else model().lblHideDetail_Click();
        });
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void frmNoteProperty::refreshFromModel() {
    const NotePropertyDialog& m = model();
    const std::pair<QLineEdit*, const NotePropertyDialog::Field*> fields[] = {
        {txtWord, &m.txtWord},         {txtLeng, &m.txtLeng},     {txtOffset, &m.txtOffset}, {txtOverlap, &m.txtOverlap},
        {txtVel, &m.txtVel},           {txtVolume, &m.txtVolume}, {txtModulation, &m.txtModulation},
        {txtBre, &m.txtBre},           {txtFlags, &m.txtFlags},   {txtSTP, &m.txtSTP}};
    for (const auto& [edit, field] : fields) {
        if (edit->text() != field->text) {
            const QSignalBlocker block(edit);
            edit->setText(field->text);
        }
        showState(edit, field->common, true);
    }
    {
        const QSignalBlocker block(cboNote);
        const int index = m.cboNoteItems.indexOf(m.cboNoteText);
        cboNote->setCurrentIndex(m.cboNoteText.isEmpty() ? -1 : index);
        cboNote->setEditText(m.cboNoteText);
        showState(cboNote, m.cboNoteCommon, false);
    }
    {
        const QSignalBlocker a(vscrlVolume), b(vscrlModulation), c(chkNoFilter);
        vscrlVolume->setValue(m.vscrlVolume);
        vscrlModulation->setValue(m.vscrlModulation);
        chkNoFilter->setCheckState(m.chkNoFilter == 2 ? Qt::PartiallyChecked
                                                      : (m.chkNoFilter == 1 ? Qt::Checked : Qt::Unchecked));
    }
    cmdGen->setVisible(m.cmdGenVisible);
    cmdOthers->setEnabled(m.cmdOthersEnabled);
    lblDetail->setVisible(!m.detailShown);
    lblHideDetail->setVisible(m.detailShown);
    // The design heights are those of the window with its frame: the compact height hides the detail rows.
    // The width keeps what the font needed (it only grows).
    setFixedSize(std::max(minimumWidth(), kWidthTwips / Twips::PerPixel),
                 ((m.detailShown ? kDetailHeight : kCompactHeight) - Twips::FrameHeight) / Twips::PerPixel);
}

bool frmNoteProperty::ShowProperty(qint32 first, qint32 last, NoteArrays& notes, tova::Settings& settings,
                                         const NotePropertyDialog::OtoLookup& lookup, QWidget* owner) {
    frmNoteProperty form(settings, owner);
    form.load(first, last, notes, lookup);
    if (!form.showModal()) return false;
    form.model().ApplyToNotes(first, last, notes);
    return true;
}

}  // namespace tova
