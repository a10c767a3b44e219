// The data-entry page's table over a page of 100,000 lines: opening it and painting the first
// screen, scrolling through it, and what the view adds per line. The table asks the page's grid
// for every text as it paints, so none of these may grow with the page.
#include "bench/HeldMemory.h"
#include "core/charts/ChartEntity.h"
#include "core/dates/DateNumbers.h"
#include "core/transactions/DataEntryPage.h"
#include "core/transactions/TransactionFlags.h"
#include "core/transactions/TransactionList.h"
#include "core/transactions/TransactionListSources.h"
#include "core/vocab/PageKinds.h"
#include "entry/dataentry/DataEntryEditor.h"
#include "entry/dataentry/TransactionTableModel.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QTableView>
#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr int PageLines = 100000;

// A payments page of a whole year held in memory, without charts or files.
std::unique_ptr<TDataEntryPage> MakePage(int lines) {
    TChartEntity entity{"BENCH1", "NSP", "/tmp", "", "/tmp", "", "", "AUD", 12, 6};
    auto page =
        TDataEntryPage::Create(TTransactionListSources{entity}, pkPayments, 2006, 0, 12, TOptionSet{}, false);
    TTransactionList& list = page->List();
    const double yearStart = EncodeDateNum(2005, 7, 1);
    for (int i = 0; i < lines; ++i) {
        auto entry = std::make_unique<TTransactionDetail>(0, static_cast<qint16>(pkPayments));
        entry->Flags = 1u << TransactionFlag::Keyed;
        entry->Date = yearStart + i % 365;
        entry->ID = list.TakeNextID(list.EntryMonthSlot(*entry));
        entry->Reference = 100000 + i;
        entry->Amount = (i % 9973) / 100.0;
        entry->SetDetails(QStringLiteral("Payment %1").arg(i));
        list.InsertTransaction(list.Count() - 1, std::move(entry), 0);
    }
    return page;
}

struct TPageTable {
    explicit TPageTable(TDataEntryPage& page) : Editor(page), Model(&Editor) {
        View.verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        View.verticalHeader()->setDefaultSectionSize(18);
        View.resize(1000, 700);
        View.setModel(&Model);
    }
    TDataEntryEditor Editor;
    TTransactionTableModel Model;
    QTableView View;
};

void BM_OpenAndFirstPaint(benchmark::State& state) {
    const auto page = MakePage(PageLines);
    for (auto _ : state) {
        TPageTable table(*page);
        benchmark::DoNotOptimize(table.View.grab());
    }
    state.counters["lines"] = PageLines;
}
BENCHMARK(BM_OpenAndFirstPaint)->Unit(benchmark::kMillisecond);

void BM_ScrollAScreen(benchmark::State& state) {
    const auto page = MakePage(PageLines);
    TPageTable table(*page);
    table.View.grab();
    QScrollBar* bar = table.View.verticalScrollBar();
    int position = 0;
    for (auto _ : state) {
        position = (position + bar->pageStep()) % std::max(1, bar->maximum());
        bar->setValue(position);
        benchmark::DoNotOptimize(table.View.grab());
    }
}
BENCHMARK(BM_ScrollAScreen)->Unit(benchmark::kMillisecond);

// What the table and its view hold beyond the page itself, per line of the page.
void BM_ViewBytesPerLine(benchmark::State& state) {
    const auto page = MakePage(PageLines);
    for (auto _ : state) {
        const size_t before = HeldMemoryBytes();
        auto table = std::make_unique<TPageTable>(*page);
        table->View.grab();
        const size_t after = HeldMemoryBytes();
        state.counters["bytes_per_line"] =
            static_cast<double>(after > before ? after - before : 0) / static_cast<double>(PageLines);
    }
}
BENCHMARK(BM_ViewBytesPerLine)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
