// How long the grid takes to fill and show the largest tables of the editors: the dialing
// assignment (1024 rows x 4 columns) and a paging page under "ALL" (1024 rows x 24 columns).
// Runs offscreen unless QT_QPA_PLATFORM says otherwise:
//   build/tests/bench/bench_grid
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>
#include <vector>

#include "grid/grid_ctrl.h"

namespace {

// Two different texts per cell, so a refill really changes every cell.
std::vector<std::string> CellTexts(int rows, int columns, int variant) {
    std::vector<std::string> texts;
    texts.reserve(static_cast<std::size_t>(rows * columns));
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            texts.push_back(c < 3 ? std::to_string(r + 1 + variant) : (variant ? "v" : "-"));
    return texts;
}

void Fill(qn410::GridCtrl& grid, int rows, int columns, const std::vector<std::string>& texts) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            grid.SetItemText(r, c, texts[static_cast<std::size_t>(r * columns + c)]);
}

// A new grid set up as an editor does it, filled, shown and painted once.
void BM_GridFillAndShow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int columns = static_cast<int>(state.range(1));
    const auto texts = CellTexts(rows, columns, 0);
    for (auto _ : state) {
        qn410::GridCtrl grid;
        grid.SetColumnCount(columns);
        grid.SetRowCount(rows);
        grid.SetFixedColumnCount(3);
        grid.SetDefaultRowHeight(20);
        grid.SetHeaderHeight(grid.DefaultHeaderHeight() * 3 / 2);
        grid.SetBackground(Qt::white);
        for (int c = 0; c < columns; ++c) {
            grid.SetHeaderText(c, "Zone" + std::to_string(c));
            grid.SetColumnWidth(c, 80);
        }
        Fill(grid, rows, columns, texts);
        grid.resize(800, 500);
        grid.show();
        grid.repaint();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * rows * columns);
}
BENCHMARK(BM_GridFillAndShow)->Args({1024, 4})->Args({1024, 24})->Unit(benchmark::kMillisecond);

// Refilling a shown grid, as switching the exchange selector does.
void BM_GridRefillShown(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    const int columns = static_cast<int>(state.range(1));
    const std::vector<std::string> texts[2] = {CellTexts(rows, columns, 0),
                                               CellTexts(rows, columns, 1)};
    qn410::GridCtrl grid;
    grid.SetColumnCount(columns);
    grid.SetRowCount(rows);
    grid.SetFixedColumnCount(3);
    grid.resize(800, 500);
    grid.show();
    int variant = 0;
    for (auto _ : state) {
        variant ^= 1;
        Fill(grid, rows, columns, texts[variant]);
        grid.repaint();
        QCoreApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * rows * columns);
}
BENCHMARK(BM_GridRefillShown)->Args({1024, 24})->Unit(benchmark::kMillisecond);

}  // namespace
