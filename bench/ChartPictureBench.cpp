// Chart pictures at their export sizes: drawing off-screen and writing the JPEG file, for a crowded bar
// chart (60 exposure times), a category pie with 40 marked slices and its legend, and bar charts of
// 1,500 to 6,000 distinct exposure times, whose time should grow near-linearly with the count (the
// complexity line reports the fit; each count's peer is the same drawing at half the count).

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include <QApplication>

#include "charts/BuildChartSeries.h"
#include "charts/ChartModel.h"
#include "charts/ChartPicture.h"
#include "charts/JpegFile.h"

namespace lumetra {
namespace {

Chart ExposureBars() {
  ChartSet charts;
  SetChartTexts(charts, kEnglish);
  Chart chart = charts[ChartId::Chart_ShutterSpeed];
  for (int i = 0; i < 60; ++i) chart.bar.Add((i * 37) % 150 + 1, "1/" + std::to_string(8000 - i * 130), 0xFF0000);
  chart.axis_maximum = 150;
  return chart;
}

Chart ModelPie() {
  ChartSet charts;
  SetChartTexts(charts, kEnglish);
  Chart chart = charts[ChartId::Chart_Model];
  for (int i = 0; i < 40; ++i) chart.pie.Add(400 - i * 9, "Camera model " + std::to_string(i), 0x2376EE + i * 0x0A0A0A);
  chart.pie.Add(30, "Other (each < 1%)", 0);
  return chart;
}

void BM_DrawExposureBars(benchmark::State& state) {
  const Chart chart = ExposureBars();
  for (auto _ : state) benchmark::DoNotOptimize(DrawChartPicture(chart, ExportSize(chart.id)));
}
BENCHMARK(BM_DrawExposureBars)->Unit(benchmark::kMillisecond);

// Many distinct exposure times, as a folder of photos from many cameras and modes gives: most of the
// bottom labels are thinned out to blanks.
void BM_DrawManyExposures(benchmark::State& state) {
  ChartSet charts;
  SetChartTexts(charts, kEnglish);
  Chart chart = charts[ChartId::Chart_ShutterSpeed];
  const auto count = static_cast<int>(state.range(0));
  for (int i = 0; i < count; ++i) chart.bar.Add(i % 50 + 1, "1/" + std::to_string(100000 - i), 0xFF0000);
  chart.axis_maximum = 50;
  for (auto _ : state) benchmark::DoNotOptimize(DrawChartPicture(chart, ExportSize(chart.id)));
  state.SetComplexityN(count);
}
BENCHMARK(BM_DrawManyExposures)->Arg(1500)->Arg(3000)->Arg(6000)->Unit(benchmark::kMillisecond)->Complexity();

// The same distinct exposure times as the alternate pie of the exposure chart (its bars switched to the
// pie), which gives every row a slice.
void BM_DrawManyExposuresPie(benchmark::State& state) {
  ChartSet charts;
  SetChartTexts(charts, kEnglish);
  Chart chart = charts[ChartId::Chart_ShutterSpeed];
  const auto count = static_cast<int>(state.range(0));
  for (int i = 0; i < count; ++i) chart.pie.Add(i % 50 + 1, "1/" + std::to_string(100000 - i), PaletteColour(i + 1));
  chart.bar.active = false;
  chart.pie.active = true;
  for (auto _ : state) benchmark::DoNotOptimize(DrawChartPicture(chart, ExportSize(chart.id)));
  state.SetComplexityN(count);
}
BENCHMARK(BM_DrawManyExposuresPie)
    ->Arg(150)
    ->Arg(1500)
    ->Arg(6000)
    ->Arg(60000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity();

void BM_DrawModelPie(benchmark::State& state) {
  const Chart chart = ModelPie();
  for (auto _ : state) benchmark::DoNotOptimize(DrawChartPicture(chart, ExportSize(chart.id)));
}
BENCHMARK(BM_DrawModelPie)->Unit(benchmark::kMillisecond);

void BM_WriteExposureJpeg(benchmark::State& state) {
  const Chart chart = ExposureBars();
  const QImage picture = DrawChartPicture(chart, ExportSize(chart.id));
  const std::filesystem::path file = std::filesystem::temp_directory_path() / "lumetra_chart_bench.jpg";
  for (auto _ : state) {
    if (const std::string error = WriteJpegFile(picture, file); !error.empty()) state.SkipWithError(error.c_str());
  }
  std::filesystem::remove(file);
}
BENCHMARK(BM_WriteExposureJpeg)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace lumetra

int main(int argc, char** argv) {
  const char* platform = std::getenv("QT_QPA_PLATFORM");
  if (platform == nullptr || *platform == '\0') ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
  QApplication application(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
