#include "voicebank/ui/frmSurffixBroker.h"

#include "core/ui/Twips.h"
#include "platform/EventGuard.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace tova {

frmSurffixBroker::frmSurffixBroker(QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmSurffixBroker"), QStringLiteral("SurffixBroker"), owner) {
    setFixedSize(Twips::size(4440, 2400));

    cboSurffix = new QComboBox(this);
    cboSurffix->setObjectName(QStringLiteral("cboSurffix"));
    cboSurffix->setGeometry(Twips::rect(120, 120, 3120, 330));
    cboSurffix->setEditable(true);
    cboSurffix->setInsertPolicy(QComboBox::NoInsert);  // only "+" adds to the list
    connect(cboSurffix, &QComboBox::editTextChanged, this, [this](const QString& t) { model().cboSurffix = t; });
    auto button = [this](const char* name, const QString& caption, QRect r, void (SuffixBroker::*handler)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setGeometry(r);
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, [this, handler] { handle([&] { (model().*handler)(); }); });
        return b;
    };
    cmdAdd = button("cmdAdd", QStringLiteral("+"), Twips::rect(3300, 120, 480, 330), &SuffixBroker::cmdAdd_Click);
    cmdDel = button("cmdDel", QStringLiteral("-"), Twips::rect(3840, 120, 480, 330), &SuffixBroker::cmdDel_Click);

    cboQu = new QComboBox(this);
    cboQu->setObjectName(QStringLiteral("cboQu"));
    cboQu->setGeometry(Twips::rect(120, 600, 3120, 330));
    cboQu->addItems({QString(), QStringLiteral("+?"), QStringLiteral("-?")});
    connect(cboQu, &QComboBox::currentIndexChanged, this, [this](int i) { model().cboQu = i; });

    chkRemovePrefix = new QCheckBox(QStringLiteral("Remove Prefix"), this);
    chkRemovePrefix->setObjectName(QStringLiteral("chkRemovePrefix"));
    chkRemovePrefix->setGeometry(Twips::rect(120, 1080, 3120, 330));
    connect(chkRemovePrefix, &QCheckBox::toggled, this, [this](bool on) { model().chkRemovePrefix = on; });

    cmdOK = button("cmdOK", QStringLiteral("OK"), Twips::rect(1560, 1800, 1320, 420), &SuffixBroker::cmdOK_Click);
    cmdOK->setDefault(true);
    cmdCancel = button("cmdCancel", QStringLiteral("キャンセル"), Twips::rect(3000, 1800, 1320, 420),
                       &SuffixBroker::cmdCancel_Click);

    EventGuard::runHandler([this] { model().Load(); });
    finishLoad();
}

bool frmSurffixBroker::ShowDialog(qint32 first, qint32 last, QStringList& lyrics) {
    const bool applied = showModal();
    if (applied) EventGuard::runHandler([&] { model().Apply(first, last, lyrics); });
    EventGuard::runHandler([this] { model().Unload(); });
    return applied;
}

void frmSurffixBroker::refreshFromModel() {
    const SuffixBroker& m = model();
    {
        const QSignalBlocker block(cboSurffix);
        QStringList shown;
        for (int i = 0; i < cboSurffix->count(); ++i) shown << cboSurffix->itemText(i);
        if (shown != m.items) {
            cboSurffix->clear();
            cboSurffix->addItems(m.items);
        }
        if (cboSurffix->currentText() != m.cboSurffix) cboSurffix->setEditText(m.cboSurffix);
    }
    {
        const QSignalBlocker block(cboQu);
        cboQu->setCurrentIndex(m.cboQu);
    }
    const QSignalBlocker block(chkRemovePrefix);
    chkRemovePrefix->setChecked(m.chkRemovePrefix);
}

}  // namespace tova
