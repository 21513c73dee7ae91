// The screens over a record store of 100,000 numbers: the settings screen
// from creation to its first full paint and the worst frame while its count
// list is scrolled from top to bottom, and the main screen's number search
// from the return key to the texts set. Floors in the same run: painting an
// empty widget of the screen's size, and the store's own lookup of the number.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QTemporaryDir>

#include "app/root_view_controller.h"
#include "app/settings_view_controller.h"
#include "bench/app/large_list.h"
#include "numberlist/contact.h"
#include "platform/pasteboard/pasteboard.h"
#include "platform/uikit/table_view.h"
#include "platform/uikit/text_field.h"
#include "store/record_store.h"

namespace {

constexpr int kRecords = 100000;
constexpr QSize kScreenSize(320, 460);
constexpr int kPixelRatio = 2;

// One store of 100,000 records for the whole run.
void ensureStore() {
  static QTemporaryDir folder;
  static bool filled = false;
  if (filled) return;
  numberlist::Contact::registerModel();
  store::RecordStore::setupCoreDataStackWithAutoMigratingSqliteStoreNamed(folder.filePath("list.sqlite").toStdString());
  rp::bench::storeListedNumbers(kRecords);
  filled = true;
}

QImage frame() {
  QImage image(kScreenSize * kPixelRatio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(kPixelRatio);
  return image;
}

void BM_EmptyScreenPaintFloor(benchmark::State& state) {
  QImage image = frame();
  for (auto _ : state) {
    QWidget empty;
    empty.resize(kScreenSize);
    empty.render(&image);
    benchmark::DoNotOptimize(image.bits());
  }
}
BENCHMARK(BM_EmptyScreenPaintFloor)->Unit(benchmark::kMillisecond);

void BM_SettingsOpenToFirstPaint(benchmark::State& state) {
  ensureStore();
  QImage image = frame();
  for (auto _ : state) {
    app::SettingsViewController screen;
    screen.resize(kScreenSize);
    screen.loadViewIfNeeded();
    screen.render(&image);
    benchmark::DoNotOptimize(image.bits());
  }
}
BENCHMARK(BM_SettingsOpenToFirstPaint)->Unit(benchmark::kMillisecond);

// Scrolls one screen at a time from the top to the bottom of the count list
// (1,001 rows), painting each frame; reports the slowest frame.
void BM_SettingsScrollWorstFrame(benchmark::State& state) {
  ensureStore();
  app::SettingsViewController screen;
  screen.resize(kScreenSize);
  screen.loadViewIfNeeded();
  auto* table = screen.findChild<uikit::TableView*>("importCountSelectionTableView");
  QImage image = frame();
  double worst = 0;
  std::int64_t frames = 0;
  for (auto _ : state) {
    table->scrollToRowAtIndexPath({0, 0}, uikit::TableView::ScrollPosition::Top, false);
    const int rows = static_cast<int>(screen.rowCount());
    const int perPage = std::max(1, table->viewport()->height() / 44);
    for (int row = 0; row < rows; row += perPage) {
      QElapsedTimer timer;
      timer.start();
      table->scrollToRowAtIndexPath({0, row}, uikit::TableView::ScrollPosition::Top, false);
      screen.render(&image);
      worst = std::max(worst, timer.nsecsElapsed() / 1e6);
      ++frames;
    }
  }
  state.counters["worst_frame_ms"] = worst;
  state.counters["frames"] = static_cast<double>(frames);
}
BENCHMARK(BM_SettingsScrollWorstFrame)->Unit(benchmark::kMillisecond)->Iterations(3);

// The store's own lookup of the same number, without the screen.
void BM_StoreLookupFloor(benchmark::State& state) {
  ensureStore();
  for (auto _ : state) {
    benchmark::DoNotOptimize(
        numberlist::Contact::findFirstWithPredicate(numberlist::Contact::numberSearchPredicate("40099999")));
  }
}
BENCHMARK(BM_StoreLookupFloor)->Unit(benchmark::kMicrosecond);

// From the return key in the search field to the field and result texts set.
void searchBenchmark(benchmark::State& state, const QString& text) {
  ensureStore();
  pasteboard::setGeneralPasteboardString(QString());
  app::RootViewController screen;
  screen.resize(kScreenSize);
  screen.loadViewIfNeeded();
  auto* field = screen.findChild<uikit::TextField*>("numberTextField");
  for (auto _ : state) {
    field->setText(text);
    screen.doTextFieldSearch();
    benchmark::DoNotOptimize(field->text());
  }
}
void BM_SearchExact(benchmark::State& state) { searchBenchmark(state, "400 999 99"); }
void BM_SearchStar(benchmark::State& state) { searchBenchmark(state, "*"); }
void BM_SearchLeadingStar(benchmark::State& state) { searchBenchmark(state, "*99999"); }
BENCHMARK(BM_SearchExact)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchStar)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SearchLeadingStar)->Unit(benchmark::kMicrosecond);

}  // namespace
