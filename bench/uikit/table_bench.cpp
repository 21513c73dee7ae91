// What a table of 1,001 rows costs to load and show, and its slowest frame
// while it scrolls from top to bottom a screen at a time, beside the cost of
// drawing an empty widget of the same size.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QLabel>
#include <QScrollBar>
#include <chrono>

#include "platform/uikit/table_view.h"

namespace {

using uikit::IndexPath;
using uikit::TableView;
using uikit::TableViewCell;

constexpr int kRows = 1001;
constexpr int kWidth = 320;
constexpr int kHeight = 480;

struct CountRows : uikit::TableViewDataSource {
  int numberOfRowsInSection(TableView&, int) override { return kRows; }
  TableViewCell* cellForRowAtIndexPath(TableView& table, const IndexPath& indexPath) override {
    TableViewCell* cell = table.dequeueReusableCellWithIdentifier("Cell");
    if (!cell) cell = new TableViewCell(TableViewCell::Style::Default, "Cell");
    const bool last = indexPath.row == kRows - 1;
    cell->textLabel()->setText(last ? QStringLiteral("Importer alle") : QString::number((indexPath.row + 1) * 100));
    cell->setAccessoryType(indexPath.row == 2 ? TableViewCell::AccessoryType::Checkmark
                                              : TableViewCell::AccessoryType::None);
    return cell;
  }
};

QImage screenImage() {
  QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  return image;
}

void BM_ReloadAndFirstPaint(benchmark::State& state) {
  CountRows rows;
  TableView table;
  table.resize(kWidth, kHeight);
  QImage image = screenImage();
  for (auto _ : state) {
    table.setDataSource(nullptr);
    table.setDataSource(&rows);
    table.render(&image);
  }
}
BENCHMARK(BM_ReloadAndFirstPaint)->Unit(benchmark::kMicrosecond);

// Each iteration scrolls the whole table a screen at a time; the counter is
// the slowest single frame (scroll plus paint) seen in any iteration.
void BM_WorstScrollFrame(benchmark::State& state) {
  CountRows rows;
  TableView table;
  table.resize(kWidth, kHeight);
  table.setDataSource(&rows);
  QImage image = screenImage();
  QScrollBar* bar = table.verticalScrollBar();
  double worst = 0;
  int frames = 0;
  for (auto _ : state) {
    for (int offset = 0;; offset += kHeight) {
      const auto start = std::chrono::steady_clock::now();
      bar->setValue(std::min(offset, bar->maximum()));
      table.render(&image);
      worst =
          std::max(worst, std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count());
      ++frames;
      if (offset >= bar->maximum()) break;
    }
    bar->setValue(0);
  }
  state.counters["worst_frame_us"] = worst;
  state.counters["frames"] = frames;
}
BENCHMARK(BM_WorstScrollFrame)->Unit(benchmark::kMillisecond);

// Reference: drawing a plain widget of the same size into the same image.
void BM_EmptyWidgetFrame(benchmark::State& state) {
  QWidget widget;
  widget.resize(kWidth, kHeight);
  QImage image = screenImage();
  for (auto _ : state) widget.render(&image);
}
BENCHMARK(BM_EmptyWidgetFrame)->Unit(benchmark::kMicrosecond);

}  // namespace
