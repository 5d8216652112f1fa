// The voice-bank manager on a bank of 33,000 samples: opening it (reading the oto.ini files, looking
// through the folders, building and sorting the rows), sorting after a duplicate, saving, and scrolling
// its list a page at a time with the window drawn.

#include "platform/Cp932.h"
#include "render/OtoIni.h"
#include "voicebank/VoiceBankManager.h"
#include "voicebank/ui/frmVoicesetManager.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QScrollBar>
#include <QTableView>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kEntries = 33000;

// A bank of 33,000 samples: two thirds in the folder, one third in a sub-folder, each with its entry.
struct Bank {
    QTemporaryDir dir;
    QString root;
    Bank() : root(dir.path() + QStringLiteral("/bank")) {
        QDir().mkpath(root + QStringLiteral("/sub"));
        QByteArray top, sub;
        for (int i = 0; i < kEntries; ++i) {
            const QByteArray n = QByteArray::number(i).rightJustified(5, '0');
            const bool inSub = i % 3 == 0;
            (inSub ? sub : top) += "s" + n + ".wav=\x82\xa9" + n + ",10,120,-40,60,30\r\n";
            QFile f(root + (inSub ? QStringLiteral("/sub/s") : QStringLiteral("/s")) + QString::fromLatin1(n) +
                    QStringLiteral(".wav"));
            f.open(QIODevice::WriteOnly);
        }
        write(QStringLiteral("/oto.ini"), top);
        write(QStringLiteral("/sub/oto.ini"), sub);
    }
    void write(const QString& name, const QByteArray& bytes) const {
        QFile f(root + name);
        f.open(QIODevice::WriteOnly);
        f.write(bytes);
    }
};

Bank& bank() {
    static Bank b;
    return b;
}

void load(tova::VoiceBankManager& m) {
    m.VoiceFolder = bank().root;
    m.LoadEntries(QStringLiteral("RELOAD"));
}

void BM_OpenBank(benchmark::State& state) {
    const QString root = bank().root;
    for (auto _ : state) {
        tova::VoiceBankManager m;
        m.VoiceFolder = root;
        m.LoadEntries(QStringLiteral("RELOAD"));
        benchmark::DoNotOptimize(m.rows.size());
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_OpenBank)->Unit(benchmark::kMillisecond);

void BM_DuplicateAndSort(benchmark::State& state) {
    tova::VoiceBankManager m;
    load(m);
    m.selectRow(kEntries / 2);
    m.CurrentKey = m.rows[kEntries / 2].key;
    for (auto _ : state) m.cmdCopy_Click();  // inserts a row and sorts the whole list again
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_DuplicateAndSort)->Unit(benchmark::kMillisecond);

void BM_SaveBank(benchmark::State& state) {
    tova::VoiceBankManager m;
    load(m);
    for (auto _ : state)
        if (!m.SaveOtoIni()) state.SkipWithError("not saved");
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SaveBank)->Unit(benchmark::kMillisecond);

// One value edited, then saved: its line rewritten, the files replaced as a set, the list read again.
void BM_SaveOneEdit(benchmark::State& state) {
    tova::VoiceBankManager m;
    load(m);
    int n = 0;
    for (auto _ : state) {
        m.rows[kEntries / 2].item(2) = QString::number(++n % 2);
        if (!m.SaveOtoIni()) state.SkipWithError("not saved");
    }
    state.SetItemsProcessed(state.iterations() * kEntries);
}
BENCHMARK(BM_SaveOneEdit)->Unit(benchmark::kMillisecond);

// The window shown with the bank loaded.
void openWindow(tova::frmVoicesetManager& form) {
    load(form.logic());
    form.refreshFromModel();
    form.show();
}

// One page down (or back to the top) and the list drawn again, as the user's scrolling shows it.
void BM_ScrollListPage(benchmark::State& state) {
    tova::frmVoicesetManager form;
    openWindow(form);
    QScrollBar* bar = form.ListView1->verticalScrollBar();
    QWidget* viewport = form.ListView1->viewport();
    if (bar->maximum() <= 0 || !viewport->isVisible()) state.SkipWithError("the list does not scroll");
    for (auto _ : state) {
        const int next = bar->value() + bar->pageStep();
        bar->setValue(next > bar->maximum() ? 0 : next);
        // The list's picture as the screen would get it.
        benchmark::DoNotOptimize(viewport->grab());
    }
    state.counters["rows"] = double(form.logic().rows.size());
    state.counters["rows_per_page"] = double(bar->pageStep());
}
BENCHMARK(BM_ScrollListPage)->Unit(benchmark::kMicrosecond);

// One row down with the arrow key: selection, shown row and text boxes follow.
void BM_ArrowDown(benchmark::State& state) {
    tova::frmVoicesetManager form;
    openWindow(form);
    form.ListView1->setFocus();
    int row = 0;
    for (auto _ : state) {
        row = (row + 1) % kEntries;
        form.ListView1->setCurrentIndex(form.ListView1->model()->index(row, 0));
        form.logic().selectRow(row);
        form.logic().ListView1_KeyUp(tova::VoiceBankManager::kKeyDown);
        form.refreshFromModel();
        form.repaint();
    }
}
BENCHMARK(BM_ArrowDown)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    tova::ClearOtoTable();
    return 0;
}
