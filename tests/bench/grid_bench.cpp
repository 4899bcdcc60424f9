// How long the grid takes to fill and show the largest tables of the editors: the dialing
// assignment (1024 rows x 4 columns) and a paging page under "ALL" (1024 rows x 24 columns).
// Runs offscreen unless QT_QPA_PLATFORM says otherwise:
//   build/tests/bench/bench_grid
#include <benchmark/benchmark.h>

#include <QApplication>
#include <string>

#include "grid/grid_ctrl.h"

namespace {

// Every cell filled, with one of two texts per cell, so that a refill changes every cell.
void Fill(qn410::GridCtrl& grid, int rows, int columns, int variant) {
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < columns; ++c)
            grid.SetItemText(r, c, c < 3 ? std::to_string(r + 1 + variant) : variant ? "v" : "-");
}

void SetUp(qn410::GridCtrl& grid, int rows, int columns) {
    grid.SetColumnCount(columns);
    grid.SetRowCount(rows);
    grid.SetFixedColumnCount(3);
    grid.resize(800, 500);
}

void Paint(qn410::GridCtrl& grid) {
    grid.show();
    grid.repaint();
    QCoreApplication::processEvents();
}

// A new grid set up as an editor does it, filled, shown and painted once.
void BM_GridFillAndShow(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0)), columns = static_cast<int>(state.range(1));
    for (auto _ : state) {
        qn410::GridCtrl grid;
        SetUp(grid, rows, columns);
        grid.SetDefaultRowHeight(20);
        grid.SetHeaderHeight(grid.DefaultHeaderHeight() * 3 / 2);
        grid.SetBackground(Qt::white);
        for (int c = 0; c < columns; ++c) {
            grid.SetHeaderText(c, "Zone" + std::to_string(c));
            grid.SetColumnWidth(c, 80);
        }
        Fill(grid, rows, columns, 0);
        Paint(grid);
    }
}
BENCHMARK(BM_GridFillAndShow)->Args({1024, 4})->Args({1024, 24})->Unit(benchmark::kMillisecond);

// Refilling a shown grid, as switching the exchange selector does.
void BM_GridRefillShown(benchmark::State& state) {
    qn410::GridCtrl grid;
    SetUp(grid, 1024, 24);
    grid.show();
    int variant = 0;
    for (auto _ : state) {
        variant ^= 1;
        Fill(grid, 1024, 24, variant);
        Paint(grid);
    }
}
BENCHMARK(BM_GridRefillShown)->Unit(benchmark::kMillisecond);

}  // namespace
