// Speed of the clipboard calculation at 1 thousand, 100 thousand and 1 million
// rows of three columns (see make_data.py for the same data as a file).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <random>
#include <string>

#include "clipcalc/calculate.h"
#include "clipcalc/format.h"
#include "clipcalc/load.h"
#include "clipcalc/pipeline.h"
#include "platform/ansi_text.h"

namespace {

using namespace corvalo;

std::string makePaste(std::int64_t rows) {
    std::mt19937 rng(20261206);
    std::string s;
    s.reserve(static_cast<std::size_t>(rows) * 22);
    char line[64];
    for (std::int64_t i = 0; i < rows; ++i) {
        const long amount = static_cast<long>(rng() % 19'999'999) - 9'999'999;
        const int n = std::snprintf(
            line, sizeof line, "%s%ld.%02ld\t%u\t%u.%04u\r\n", amount < 0 ? "-" : "",
            std::labs(amount) / 100, std::labs(amount) % 100, static_cast<unsigned>(rng() % 1000),
            static_cast<unsigned>(rng() % 10), static_cast<unsigned>(rng() % 10000));
        s.append(line, static_cast<std::size_t>(n));
    }
    return s;
}

struct NoDisplay : clipcalc::ResultDisplay {
    void setDisplayCaption(const std::string& c) override { benchmark::DoNotOptimize(c.data()); }
};

// Clean + parse + calculate + format, as Calculate Clipboard does.
void BM_CalculateClipboard(benchmark::State& st) {
    const std::string paste = makePaste(st.range(0));
    clipcalc::CalcState state;
    state.tabulationStyle = clipcalc::TabulationStyle::UsingColumns;
    clipcalc::Grid grid;
    NoDisplay display;
    for (auto _ : st) {
        st.PauseTiming();
        auto text = platform::bigText(paste.data(), paste.size());
        st.ResumeTiming();
        const bool plain = platform::isAnsiCrLf({text.data(), text.size()});
        benchmark::DoNotOptimize(plain);
        clipcalc::calculateClipboardText(std::move(text), state, grid, display);
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(paste.size()) * st.iterations());
    st.counters["grid_MB"] = static_cast<double>(grid.storageBytes()) / 1e6;
}
BENCHMARK(BM_CalculateClipboard)
    ->Arg(1'000)
    ->Arg(100'000)
    ->Arg(1'000'000)
    ->Unit(benchmark::kMillisecond);

// Only the cleaning and parsing into the grid.
void BM_LoadIntoGrid(benchmark::State& st) {
    const std::string paste = makePaste(st.range(0));
    clipcalc::CalcState state;
    clipcalc::Grid grid;
    for (auto _ : st) {
        st.PauseTiming();
        auto text = platform::bigText(paste.data(), paste.size());
        grid.emptyCells();
        grid.setRowCount(2);
        grid.setColCount(2);
        st.ResumeTiming();
        benchmark::DoNotOptimize(clipcalc::loadClipboardText(std::move(text), state, grid));
    }
    st.SetBytesProcessed(static_cast<std::int64_t>(paste.size()) * st.iterations());
}
BENCHMARK(BM_LoadIntoGrid)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A click on another column of a filled grid: one calculateLine.
void BM_ClickColumn(benchmark::State& st) {
    std::string paste = makePaste(st.range(0));
    clipcalc::CalcState state;
    state.tabulationStyle = clipcalc::TabulationStyle::UsingColumns;
    clipcalc::Grid grid;
    NoDisplay display;
    clipcalc::calculateClipboardText(platform::bigText(paste.data(), paste.size()), state, grid,
                                     display);
    std::int32_t column = 1;
    for (auto _ : st) {
        state.currentColumn = column;
        clipcalc::calculateLine(state, grid);
        benchmark::DoNotOptimize(state.lastResult);
        column = column % 3 + 1;
    }
}
BENCHMARK(BM_ClickColumn)->Arg(1'000'000)->Unit(benchmark::kMillisecond);

// A click on a row: the short way through the grid.
void BM_ClickRow(benchmark::State& st) {
    std::string paste = makePaste(1'000'000);
    clipcalc::CalcState state;
    clipcalc::Grid grid;
    NoDisplay display;
    clipcalc::calculateClipboardText(platform::bigText(paste.data(), paste.size()), state, grid,
                                     display);
    for (auto _ : st) {
        state.currentRow = 500'000;
        clipcalc::calculateLine(state, grid);
        benchmark::DoNotOptimize(state.lastResult);
    }
}
BENCHMARK(BM_ClickRow)->Unit(benchmark::kMicrosecond);

// Whether a paste needs the 8-bit conversion at all.
void BM_IsAnsiCrLf(benchmark::State& st) {
    const std::string paste = makePaste(1'000'000);
    for (auto _ : st) benchmark::DoNotOptimize(platform::isAnsiCrLf(paste));
    st.SetBytesProcessed(static_cast<std::int64_t>(paste.size()) * st.iterations());
}
BENCHMARK(BM_IsAnsiCrLf)->Unit(benchmark::kMillisecond);

void BM_CellValue(benchmark::State& st) {
    const char* cells[] = {"-12345.67", "999", "1.2345", "0.5", "1234567.89"};
    std::size_t i = 0;
    for (auto _ : st) {
        benchmark::DoNotOptimize(clipcalc::cellValue(cells[i++ % 5], '.'));
    }
}
BENCHMARK(BM_CellValue);

void BM_FormatResult(benchmark::State& st) {
    for (auto _ : st) benchmark::DoNotOptimize(clipcalc::formatResult(-1234567.891, 2, '.', ','));
}
BENCHMARK(BM_FormatResult);

}  // namespace

BENCHMARK_MAIN();
