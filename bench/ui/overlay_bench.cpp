// What the overlay costs per layout and per drawn frame, beside what Qt alone
// needs for the same text measurement and an empty frame of the same size.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

#include "ui/ov_hud.h"

namespace {

const QString kCaption = QStringLiteral("Legger til kontakten i addresseboken din!");
constexpr int kScreenWidth = 320;
constexpr int kScreenHeight = 480;

void BM_LayoutArithmetic(benchmark::State& state) {
  ui::OVHudLayoutInput in;
  in.margin = 20;
  in.padding = 10;
  in.hasCaption = true;
  in.measureCaption = [](double width) { return QSizeF(std::min(width, 250.0), 34); };
  in.activitySize = QSizeF(20, 20);
  in.showActivity = true;
  in.progress = 0.5;
  ui::OVHudGeometry geometry;
  for (auto _ : state) {
    ui::calculateOVHudLayout(in, geometry);
    benchmark::DoNotOptimize(geometry);
  }
}
BENCHMARK(BM_LayoutArithmetic);

void BM_LayoutWithCaptionFont(benchmark::State& state) {
  ui::OVHud hud;
  hud.setMargin(20);
  hud.setCaption(kCaption);
  hud.setProgress(0.5);
  for (auto _ : state) {
    hud.panel().calculate();
    benchmark::DoNotOptimize(hud.panel().geometry());
  }
}
BENCHMARK(BM_LayoutWithCaptionFont);

// Reference: one wrapped measurement of the same caption by Qt (the layout above takes two).
void BM_QtMeasureReference(benchmark::State& state) {
  const QFontMetricsF metrics(ui::OVTextLayer::captionFont());
  for (auto _ : state) {
    benchmark::DoNotOptimize(metrics.boundingRect(QRectF(0, 0, 160, 200), Qt::TextWordWrap, kCaption));
  }
}
BENCHMARK(BM_QtMeasureReference);

void BM_PanelFrame(benchmark::State& state) {
  ui::OVHud hud;
  hud.view()->resize(kScreenWidth, kScreenHeight);
  hud.setMargin(20);
  hud.setCaption(kCaption);
  hud.setActivity(true);
  hud.setProgress(0.5);
  hud.show();
  while (hud.panel().alpha() < 1) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  QImage frame(kScreenWidth, kScreenHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    hud.panel().paint(painter);
  }
}
BENCHMARK(BM_PanelFrame)->Unit(benchmark::kMicrosecond);

// Reference: clearing and opening a painter on the same frame, drawing nothing.
void BM_EmptyFrameReference(benchmark::State& state) {
  QImage frame(kScreenWidth, kScreenHeight, QImage::Format_ARGB32_Premultiplied);
  for (auto _ : state) {
    frame.fill(Qt::transparent);
    QPainter painter(&frame);
    benchmark::DoNotOptimize(painter.isActive());
  }
}
BENCHMARK(BM_EmptyFrameReference)->Unit(benchmark::kMicrosecond);

}  // namespace
