// Speed of the colouring rich edit on a 10,000-line Pascal source: one
// keystroke (which re-colours the caret's line only) and HighlightAll.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QKeyEvent>
#include <QTextDocument>

#include "richtext/RtfDocumentBuilder.h"
#include "syntaxedit/RichEditHighlight.h"
#include "toolkit/SysUtils.h"

namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "bench_rich_edit_syntax";
  static char* argv[] = {name, nullptr};
  qputenv("QT_QPA_PLATFORM", "offscreen");
  static QApplication app(argc, argv);
  return app;
}

/// A Pascal unit of exactly Lines lines: routines with comments, strings,
/// numbers, an asm block and a property declaration.
std::string PascalSource(int lines) {
  static const char* const kRoutine[] = {
      "{ Computes the running total of the values. }",
      "function TTotals.Sum(const Values: array of Integer; Start: Integer): Int64;",
      "var",
      "  I: Integer; // loop index",
      "  S: string;",
      "begin",
      "  Result := 0;",
      "  for I := Start to High(Values) do",
      "    if Values[I] > $7F then Inc(Result, Values[I] * 2) else Result := Result + 1.5e3;",
      "  S := 'done: ''quoted'' text';",
      "  (* an old-style",
      "     comment over two lines *)",
      "  asm",
      "    mov eax, 1",
      "  end;",
      "end;",
      "",
      "type TThing = class property Count: Integer read FCount write SetCount; end;",
      "",
  };
  constexpr int kRoutineLines = sizeof kRoutine / sizeof kRoutine[0];
  std::string text = "unit Totals;\r\n";
  for (int i = 1; i < lines; ++i) {
    text += kRoutine[(i - 1) % kRoutineLines];
    if (i + 1 < lines) text += "\r\n";
  }
  return text;
}

/// A shown view holding the whole source, coloured.
struct TBench {
  explicit TBench(int lines) {
    edit.resize(800, 600);
    edit.show();
    edit.SuspendNotifications();
    edit.LoadRtf(PascalSource(lines));
    edit.ResumeNotifications();
    edit.HighlightAll();
    QApplication::processEvents();
  }
  void Key(int key, const QString& text) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(&edit, &press);
  }
  QApplication& app = App();  // before the view
  TRichEditSyntax edit;
};

}  // namespace

// One keystroke in the middle of line 5,000 (typing and deleting a letter in
// turn, so the text stays the same); the re-colouring is part of it.
static void BM_KeystrokeOnLine(benchmark::State& state) {
  TBench bench(10000);
  bench.edit.SetSelStart(bench.edit.LineIndex(5000 - 1) + 10);
  bool type = true;
  for (auto _ : state) {
    if (type) {
      bench.Key(Qt::Key_X, QStringLiteral("x"));
    } else {
      bench.Key(Qt::Key_Backspace, QString());
    }
    type = !type;
    if (state.range(0) != 0) QApplication::processEvents();  // with the repaint
  }
  if (bench.edit.LineCount() != 10000) state.SkipWithError("line count changed");
}
BENCHMARK(BM_KeystrokeOnLine)->Arg(0)->Arg(1)->ArgName("paint")->Unit(benchmark::kMillisecond);

static void BM_HighlightAll(benchmark::State& state) {
  TBench bench(static_cast<int>(state.range(0)));
  bench.edit.ScrollLines(4000);
  bench.edit.SetSelStart(bench.edit.LineIndex(4010));
  for (auto _ : state) bench.edit.HighlightAll();
  state.counters["lines"] = static_cast<double>(bench.edit.LineCount());
}
BENCHMARK(BM_HighlightAll)->Arg(10000)->Unit(benchmark::kMillisecond);

// The same keystroke in the plain rich-text view holding the same coloured
// text: what the view itself costs, without any re-colouring.
static void BM_KeystrokeBaseline(benchmark::State& state) {
  TBench bench(10000);
  TRichEdit plain;
  plain.resize(800, 600);
  plain.show();
  plain.LoadRtf(bench.edit.SaveRtf());
  plain.SetSelStart(plain.LineIndex(5000 - 1) + 10);
  QApplication::processEvents();
  bool type = true;
  for (auto _ : state) {
    QKeyEvent press(QEvent::KeyPress, type ? Qt::Key_X : Qt::Key_Backspace, Qt::NoModifier,
                    type ? QStringLiteral("x") : QString());
    QApplication::sendEvent(&plain, &press);
    type = !type;
  }
}
BENCHMARK(BM_KeystrokeBaseline)->Unit(benchmark::kMillisecond);

static void BM_HighlightCurrentLine(benchmark::State& state) {
  TBench bench(10000);
  bench.edit.SetSelStart(bench.edit.LineIndex(5000 - 1) + 10);
  for (auto _ : state) bench.edit.HighlightCurrentLine();
}
BENCHMARK(BM_HighlightCurrentLine)->Unit(benchmark::kMillisecond);

static void BM_HideShowSelection(benchmark::State& state) {
  TBench bench(10000);
  for (auto _ : state) {
    bench.edit.ShowSelection(false);
    bench.edit.ShowSelection(true);
  }
}
BENCHMARK(BM_HideShowSelection)->Unit(benchmark::kMillisecond);

static void BM_LoadOneLineIntoSelection(benchmark::State& state) {
  TBench bench(10000);
  const int start = bench.edit.LineIndex(4999);
  const int length = bench.edit.LineLength(4999);
  const std::string rtf =
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}{\\colortbl;\\red0\\green0\\blue255;}\\f0\\fs20 "
      "\\cf1 begin\\cf0  x := 1; end;}";
  bench.edit.SetPlainText(false);
  bench.edit.SuspendNotifications();
  for (auto _ : state) {
    bench.edit.SetSelStart(start);
    bench.edit.SetSelLength(length);
    bench.edit.LoadSelectionRtf(rtf);
  }
  bench.edit.ResumeNotifications();
}
BENCHMARK(BM_LoadOneLineIntoSelection)->Unit(benchmark::kMillisecond);

// The parts of HighlightAll: converting the source, and reading the RTF into a bare document.
static void BM_ConvertSource(benchmark::State& state) {
  TBench bench(10);
  const std::string source = PascalSource(10000);
  for (auto _ : state) {
    bench.edit.Converter().SetText(source);
    benchmark::DoNotOptimize(bench.edit.Converter().GetRTF());
  }
}
BENCHMARK(BM_ConvertSource)->Unit(benchmark::kMillisecond);

static void BM_LoadConvertedIntoView(benchmark::State& state) {
  TBench bench(10);
  bench.edit.Converter().SetText(PascalSource(10000));
  const std::string rtf = bench.edit.Converter().GetRTF();
  bench.edit.SetPlainText(false);
  bench.edit.SuspendNotifications();
  for (auto _ : state) bench.edit.LoadRtf(rtf);
  bench.edit.ResumeNotifications();
  state.counters["rtf_bytes"] = static_cast<double>(rtf.size());
}
BENCHMARK(BM_LoadConvertedIntoView)->Unit(benchmark::kMillisecond);

static void BM_ReadConvertedIntoBareDocument(benchmark::State& state) {
  TBench bench(10);
  bench.edit.Converter().SetText(PascalSource(10000));
  const std::string rtf = bench.edit.Converter().GetRTF();
  for (auto _ : state) {
    QTextDocument document;
    InsertRtf(QTextCursor(&document), rtf, true);
    benchmark::DoNotOptimize(document.blockCount());
  }
}
BENCHMARK(BM_ReadConvertedIntoBareDocument)->Unit(benchmark::kMillisecond);
