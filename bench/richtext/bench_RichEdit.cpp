// Speed of the rich-text view: read a 1 MB topic body into a document, and
// take its plain text lines out again; write it back as RTF.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QTextDocument>

#include "bench/richtext/RtfBody.h"
#include "richtext/RichEdit.h"
#include "richtext/RtfDocumentBuilder.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_rich_edit";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

}  // namespace

static void BM_ReadBodyIntoDocument(benchmark::State& state) {
  App();
  const std::string rtf = MakeTopicBody(1 << 20);
  for (auto _ : state) {
    QTextDocument document;
    InsertRtf(QTextCursor(&document), rtf, true);
    benchmark::DoNotOptimize(document.blockCount());
  }
}
BENCHMARK(BM_ReadBodyIntoDocument)->Unit(benchmark::kMillisecond);

static void BM_LoadBodyIntoView(benchmark::State& state) {
  App();
  const std::string rtf = MakeTopicBody(1 << 20);
  TRichEdit edit;
  edit.SetWordWrap(true);
  for (auto _ : state) edit.LoadRtf(rtf);
}
BENCHMARK(BM_LoadBodyIntoView)->Unit(benchmark::kMillisecond);

static void BM_PlainTextLinesOfView(benchmark::State& state) {
  App();
  TRichEdit edit;
  edit.LoadRtf(MakeTopicBody(1 << 20));
  for (auto _ : state) benchmark::DoNotOptimize(edit.PlainTextLines());
}
BENCHMARK(BM_PlainTextLinesOfView)->Unit(benchmark::kMillisecond);

static void BM_PlainTextCrLfOfView(benchmark::State& state) {
  App();
  TRichEdit edit;
  edit.LoadRtf(MakeTopicBody(1 << 20));
  for (auto _ : state) benchmark::DoNotOptimize(edit.PlainTextCrLf());
}
BENCHMARK(BM_PlainTextCrLfOfView)->Unit(benchmark::kMillisecond);

static void BM_WriteViewAsRtf(benchmark::State& state) {
  App();
  TRichEdit edit;
  edit.LoadRtf(MakeTopicBody(1 << 20));
  for (auto _ : state) benchmark::DoNotOptimize(edit.SaveRtf());
}
BENCHMARK(BM_WriteViewAsRtf)->Unit(benchmark::kMillisecond);
