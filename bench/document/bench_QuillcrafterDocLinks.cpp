// Renumbering topic links over a large document, and the marker search on
// its own and on text that only looks like markers.
#include <benchmark/benchmark.h>

#include <string>

#include "document/QuillcrafterDoc.h"

namespace {

constexpr int kTopics = 20000;
constexpr int kMarkersPerTopic = 10;

/// A document of Topics topics (IDs 1 .. Topics), each body a few RTF lines
/// holding Markers kind-0 links (every third with formatting inside) among
/// ordinary text and one link of another kind.
void FillDocument(TQuillcrafterDoc& doc, int topics, int markers) {
  doc.Topics().BeginUpdate();
  for (int i = 1; i <= topics; ++i) {
    TQCTopic* topic = doc.Topics().Add();
    topic->SetTopicID(i);
    std::string body =
        "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}}\r\n"
        "\\viewkind4\\uc1\\pard\\f0\\fs20 Some topic text with a \\{linkDelphi=TFoo_Method\\} "
        "reference.\\par\r\n";
    for (int m = 0; m < markers; ++m) {
      const int target = (i * 7 + m * 13) % topics + 1;
      body += "See also \\{linkID=";
      body += m % 3 == 0 ? "\\cf1 " + std::to_string(target) + "\\cf0 " : "%" + std::to_string(target);
      body += "\\} for details.\\par\r\n";
    }
    body += "}";
    topic->SetWholeText(body);
  }
  doc.Topics().EndUpdate();
}

/// Swaps neighbouring IDs, so every run rewrites every marker again.
void FillSwapMap(TQCTopicIDMap& map, int topics) {
  for (int id = 1; id + 1 <= topics; id += 2) {
    map.Put(id, id + 1);
    map.Put(id + 1, id);
  }
}

void BM_RemapAllTopicLinks(benchmark::State& state) {
  TQuillcrafterDoc doc;
  FillDocument(doc, kTopics, kMarkersPerTopic);
  TQCTopicIDMap map;
  FillSwapMap(map, kTopics);
  for (auto _ : state) doc.RemapAllTopicLinks(map);
  state.SetItemsProcessed(state.iterations() * kTopics * kMarkersPerTopic);
}
BENCHMARK(BM_RemapAllTopicLinks)->Unit(benchmark::kMillisecond);

void BM_RemapAllTopicLinksNothingMapped(benchmark::State& state) {
  TQuillcrafterDoc doc;
  FillDocument(doc, kTopics, kMarkersPerTopic);
  TQCTopicIDMap map;
  map.Put(kTopics + 1, kTopics + 2);
  for (auto _ : state) doc.RemapAllTopicLinks(map);
  state.SetItemsProcessed(state.iterations() * kTopics * kMarkersPerTopic);
}
BENCHMARK(BM_RemapAllTopicLinksNothingMapped)->Unit(benchmark::kMillisecond);

/// Many escaped opening braces before one far closing brace: each is a
/// candidate reaching to that brace, which must not be searched for again
/// and again.
void BM_FindNextLinkMarkerManyCandidates(benchmark::State& state) {
  std::string text;
  for (int i = 0; i < state.range(0); ++i) text += "\\{ note ";
  text += "\\}";
  for (auto _ : state) {
    int pos = 0;
    TQCLinkMarker marker;
    benchmark::DoNotOptimize(FindNextLinkMarker(text, pos, marker));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<int64_t>(text.size()));
}
BENCHMARK(BM_FindNextLinkMarkerManyCandidates)->Arg(1000)->Arg(100000);

}  // namespace
