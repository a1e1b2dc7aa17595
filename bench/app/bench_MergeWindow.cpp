// The merge window, offscreen, over three generated 20,000-topic projects:
// from opening the three files to the merge list painted, and one choice at
// a conflict applied (and taken back) until the list and the topic are
// painted again.

#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QTemporaryDir>
#include <QTreeView>

#include "app/MergeWindow.h"
#include "bench/document/ProjectFill.h"

namespace {

constexpr int kTopics = 20000;

QApplication& App() {
  static int argc = 1;
  static char name[] = "merge_window_bench";
  static char* argv[] = {name, nullptr};
  static QApplication* app = [] {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    return new QApplication(argc, argv);
  }();
  return *app;
}

struct TTriple {
  QTemporaryDir Dir;
  QString Files[3];
  TTriple() {
    const char* names[] = {"base.qcp", "ours.qcp", "theirs.qcp"};
    for (int side = 0; side < 3; ++side) {
      Files[side] = Dir.filePath(QLatin1String(names[side]));
      TQuillcrafterDoc doc;
      qcbench::FillTriple(doc, side, kTopics);
      doc.SaveToFile(Files[side].toStdString());
    }
  }
};

const TTriple& Triple() {
  static const TTriple triple;
  return triple;
}

void Paint(app::TfrmMerge& window) {
  window.List().viewport()->repaint();
  window.TopicView().repaint();
}

void BM_MergeListPainted(benchmark::State& state) {
  App();
  const TTriple& t = Triple();
  for (auto _ : state) {
    app::TfrmMerge window;
    window.show();
    window.OpenMerge(t.Files[0], t.Files[1], t.Files[2], t.Dir.filePath(QStringLiteral("out.qcp")));
    Paint(window);
    state.PauseTiming();
    window.close();
    state.ResumeTiming();
  }
}
BENCHMARK(BM_MergeListPainted)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_MergeChoiceRepainted(benchmark::State& state) {
  App();
  const TTriple& t = Triple();
  app::TfrmMerge window;
  window.show();
  window.OpenMerge(t.Files[0], t.Files[1], t.Files[2], t.Dir.filePath(QStringLiteral("out.qcp")));
  window.NextConflict(true);
  Paint(window);
  bool undo = false;
  for (auto _ : state) {
    // A choice, then the same taken back, so every round starts at a conflict.
    if (undo)
      window.Action(app::TMergeCommand::Undo)->trigger();
    else
      window.Action(app::TMergeCommand::ChangeTheirs)->trigger();
    undo = !undo;
    Paint(window);
  }
}
BENCHMARK(BM_MergeChoiceRepainted)->Unit(benchmark::kMillisecond);

}  // namespace
