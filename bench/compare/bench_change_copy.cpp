// One change block copied between the texts of a 3,000-line topic pair and
// the pair compared again, as Alt+Left does; and its undo. Every 60th line
// of History differs, so the pair has 50 blocks and the copy takes the
// middle one. Both steps include the new difference of the whole pair.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "compare/ChangeCopy.h"
#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"
#include "qtbridge/QtText.h"

namespace {

std::unique_ptr<TQuillcrafterDoc> Document(bool history) {
  auto doc = std::make_unique<TQuillcrafterDoc>();
  doc->ApplyStartSettings();
  TQCTopic* topic = doc->Topics().Add();
  topic->SetTopicID(1);
  topic->SetTitle("Long");
  TStringList text;
  text.Add("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}");
  for (int i = 0; i < 3000; ++i) {
    const bool changed = history && i % 60 == 30;
    text.Add("\\pard Line " + std::to_string(i) + (changed ? " was {\\b once}" : " of the") +
             " topic, with some words to compare.\\par");
  }
  text.Add("}");
  topic->SetText(text);
  return doc;
}

struct TPair {
  TComparisonSession Session{&qtbridge::CodePageToUtf8};
  TPair() {
    Session.SetDocuments(Document(false), Document(true));
    Session.Select(0);
  }
};

void BM_CopyChangeAndCompare(benchmark::State& state) {
  TPair pair;
  for (auto _ : state) {
    std::optional<TTopicEdit> edit = MakeChangeCopy(pair.Session.Selection(), 25, true);
    pair.Session.Apply(*edit);
    state.PauseTiming();
    pair.Session.Revert(*edit);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_CopyChangeAndCompare)->Unit(benchmark::kMillisecond);

void BM_UndoCopyAndCompare(benchmark::State& state) {
  TPair pair;
  for (auto _ : state) {
    state.PauseTiming();
    std::optional<TTopicEdit> edit = MakeChangeCopy(pair.Session.Selection(), 25, true);
    pair.Session.Apply(*edit);
    state.ResumeTiming();
    pair.Session.Revert(*edit);
  }
}
BENCHMARK(BM_UndoCopyAndCompare)->Unit(benchmark::kMillisecond);

}  // namespace
