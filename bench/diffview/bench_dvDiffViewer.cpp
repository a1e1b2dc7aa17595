// Scrolling and painting of the difference viewer must cost only the rows in
// view: a viewer holding two 200,000-row results paints a screenful and
// follows a Page Down in well under 5 ms.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <memory>
#include <string>

#include "diffview/dvDiffViewer.h"

namespace {

constexpr int kRows = 200000;

/// Two texts of kRows lines; every 50th line differs and every 1000th is
/// missing from the second, so the result has all kinds of rows.
std::pair<std::string, std::string> make_texts() {
  std::string text1, text2;
  for (int i = 0; i < kRows; ++i) {
    const std::string line = "line " + std::to_string(i) + " of the long text, with some words after it";
    text1 += line + "\n";
    if (i % 1000 == 999) continue;
    text2 += (i % 50 == 25 ? line + " changed" : line) + "\n";
  }
  return {text1, text2};
}

struct Environment {
  std::unique_ptr<QApplication> app;
  TdvDiffEngine engine;
  std::unique_ptr<TdvDiffViewer> viewer;
  QImage canvas;

  Environment() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "diffview_bench";
    static char* argv[] = {name, nullptr};
    app = std::make_unique<QApplication>(argc, argv);
    viewer = std::make_unique<TdvDiffViewer>();
    viewer->resize(1000, 700);
    viewer->show();
    QApplication::processEvents();
    engine.SetDiffOptions(kMainWindowDiffOptions);
    viewer->SetDiffEngine(&engine);
    const auto [text1, text2] = make_texts();
    engine.CompareStrings(text1, text2);
    QApplication::processEvents();
    canvas = QImage(viewer->size(), QImage::Format_ARGB32_Premultiplied);
  }

  void paint() { viewer->render(&canvas); }

  void key(TdvListControl* pane, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(pane, &press);
  }
};

Environment& env() {
  static Environment environment;
  return environment;
}

void BM_PaintScreenful(benchmark::State& state) {
  Environment& e = env();
  e.viewer->Pane1()->SetItemIndex(kRows / 2);
  for (auto _ : state) e.paint();
  state.counters["rows_in_view"] = e.viewer->Pane1()->GetPageItems();
  state.counters["result_rows"] = e.viewer->Pane1()->Items().Count();
}
BENCHMARK(BM_PaintScreenful)->Unit(benchmark::kMillisecond);

void BM_PageDownAndPaint(benchmark::State& state) {
  Environment& e = env();
  TdvListControl* pane = e.viewer->Pane1();
  pane->SetItemIndex(0);
  for (auto _ : state) {
    if (pane->ItemIndex() >= pane->Items().Count() - 1) pane->SetItemIndex(0);
    e.key(pane, Qt::Key_PageDown);  // moves both panes and the viewer's bar
    e.paint();
  }
  state.counters["top_row"] = e.viewer->Pane2()->TopIndex();
}
BENCHMARK(BM_PageDownAndPaint)->Unit(benchmark::kMillisecond);

/// The scrolling work alone: both panes, the synchronisation and the bar.
void BM_PageDownOnly(benchmark::State& state) {
  Environment& e = env();
  TdvListControl* pane = e.viewer->Pane1();
  pane->SetItemIndex(0);
  for (auto _ : state) {
    if (pane->ItemIndex() >= pane->Items().Count() - 1) pane->SetItemIndex(0);
    e.key(pane, Qt::Key_PageDown);
  }
}
BENCHMARK(BM_PageDownOnly)->Unit(benchmark::kMicrosecond);

void BM_ScrollBarTrackAndPaint(benchmark::State& state) {
  Environment& e = env();
  int position = 0;
  for (auto _ : state) {
    position = (position + 7919) % kRows;
    e.viewer->Pane1()->ScrollRequest(1, TScrollCode::scTrack, position);
    e.paint();
  }
}
BENCHMARK(BM_ScrollBarTrackAndPaint)->Unit(benchmark::kMillisecond);

/// Loading a new result: copying both lists and measuring every line once.
void BM_DiffChangedReload(benchmark::State& state) {
  Environment& e = env();
  for (auto _ : state) e.viewer->DiffChanged();
}
BENCHMARK(BM_DiffChangedReload)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
