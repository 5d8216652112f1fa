#include "voicebank/ui/frmFreqGen.h"

#include "voicebank/ui/QtFreqGeneratorProgress.h"

#include "core/ui/Twips.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

namespace tova {

frmFreqGen::frmFreqGen(Tool2Calls& tool, QWidget* owner)
    : ModelDialogOf(QStringLiteral("frmFreqGen"), QStringLiteral("周波数表の一括作成"), owner, tool) {
    setFixedSize(Twips::size(7200, 5520));
    const char* texts[] = {"一括で周波数表を生成しますか？",
                           "この処理は数十分からファイル容量やマシンのスペッ",
                           "クによっては一時間近くかかることもあります。",
                           "また、大変負荷が重く、PCで他の作業が出来なくなるかも",
                           "しれません。",
                           "中断するときは実行ウィンドウ(黒い画面)を閉じてください。",
                           "「全て削除後に…」で生成しておけば、中断してから次に続きを生成するときに「無いものだけ…」で残りを生成できます。",
                           "「上書きで...」はいつ中断しても周波数表の欠けが無いというメリットがあります。",
                           "注意：生成処理が始まると、別ウィンドウが開いて、TOVAは操作可能になりますが、この一括処理は複数同時に実行しないでください。"};
    int y = 120;
    int n = 0;
    for (const char* t : texts) {
        auto* l = new QLabel(QString::fromUtf8(t), this);
        l->setObjectName(QStringLiteral("Label%1").arg(++n));
        l->setWordWrap(true);
        const int h = QString::fromUtf8(t).size() > 34 ? 480 : 255;
        l->setGeometry(Twips::rect(240, y, 6720, h));
        y += h + 45;
    }
    auto option = [this](const char* name, const QString& caption, int top, FreqGenerator::Mode mode) {
        auto* r = new QRadioButton(caption, this);
        r->setObjectName(QString::fromLatin1(name));
        r->setGeometry(Twips::rect(480, top, 3600, 300));
        connect(r, &QRadioButton::clicked, this, [this, mode] { logic().mode = mode; });
        return r;
    };
    optUpdateAll = option("optUpdateAll", QStringLiteral("上書きで全て再作成"), y + 60, FreqGenerator::UpdateAll);
    optUpdateAfterDelete = option("optUpdateAfterDelete", QStringLiteral("全て削除後に作成"), y + 360, FreqGenerator::UpdateAfterDelete);
    optGanerateAsNoFile = option("optGanerateAsNoFile", QStringLiteral("無いものだけ作成"), y + 660, FreqGenerator::GenerateMissing);
    chkCloseWindowAtEnd = new QCheckBox(QStringLiteral("終了したらコマンドプロンプトを閉じる"), this);
    chkCloseWindowAtEnd->setObjectName(QStringLiteral("chkCloseWindowAtEnd"));
    chkCloseWindowAtEnd->setGeometry(Twips::rect(480, y + 1020, 4800, 300));
    connect(chkCloseWindowAtEnd, &QCheckBox::toggled, this, [this](bool on) { logic().chkCloseWindowAtEnd = on; });
    OKButton = new QPushButton(QStringLiteral("実行する"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setGeometry(Twips::rect(5520, y + 60, 1440, 375));
    connect(OKButton, &QPushButton::clicked, this, [this] { handle([this] { logic().OKButton_Click(); }); });
    CancelButton = new QPushButton(QStringLiteral("ｷｬﾝｾﾙ"), this);
    CancelButton->setObjectName(QStringLiteral("CancelButton"));
    CancelButton->setGeometry(Twips::rect(5520, y + 540, 1440, 375));
    connect(CancelButton, &QPushButton::clicked, this, [this] { handle([this] { logic().CancelButton_Click(); }); });
    setTabOrder(optUpdateAll, optUpdateAfterDelete);
    setTabOrder(optUpdateAfterDelete, optGanerateAsNoFile);
    finishLoad();
}

void frmFreqGen::ShowDialog(const QString& voiceFolder, Tool2Calls& tool) {
    frmFreqGen form(tool, nullptr);
    QtFreqGeneratorProgress progress(&form);
    form.logic().voiceFolder = voiceFolder;
    form.logic().progress = &progress;
    form.refreshFromModel();
    form.optUpdateAll->setFocus();
    form.showModal();
}

void frmFreqGen::refreshFromModel() {
    const FreqGenerator& g = logic();
    optUpdateAll->setChecked(g.mode == FreqGenerator::UpdateAll);
    optUpdateAfterDelete->setChecked(g.mode == FreqGenerator::UpdateAfterDelete);
    optGanerateAsNoFile->setChecked(g.mode == FreqGenerator::GenerateMissing);
    chkCloseWindowAtEnd->setChecked(g.chkCloseWindowAtEnd);
}

}  // namespace tova
