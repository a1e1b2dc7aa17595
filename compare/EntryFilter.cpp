#include "compare/EntryFilter.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"
#include "richtext/RtfPlainText.h"
#include "toolkit/Unicode.h"

namespace {

// The file's strings are Windows-1252 bytes.
constexpr int kFileCodePage = 1252;

/// Finds Needle in Text with the C library's search, which is much faster
/// on long texts than a character-by-character loop.
bool Contains(std::string_view text, std::string_view needle) {
  if (needle.empty()) return true;
  if (needle.size() > text.size()) return false;
  return memmem(text.data(), text.size(), needle.data(), needle.size()) != nullptr;
}

}  // namespace

TEntryFilter::TEntryFilter(std::function<const TPairComparison&()> pair, const TSelectedPair& texts)
    : FPair(std::move(pair)), FPlainTexts(texts) {
  FShown.fill(true);
}

TEntryFilter::~TEntryFilter() = default;

void TEntryFilter::SetClassShown(TTopicComparison kind, bool shown) {
  bool& value = FShown[static_cast<size_t>(kind)];
  if (value == shown) return;
  value = shown;
  FListedStale = true;
}

void TEntryFilter::SetSearchText(std::string_view utf8) {
  std::string text;
  text.reserve(utf8.size());
  for (char c : utf8)
    if (c != '\r' && c != '\n') text += c;
  if (text == FSearch) return;
  std::string folded = unicode::FoldCase(text);
  // Every topic that holds the new text holds the old one too.
  FNarrowsFrom = !FFolded.empty() && folded.find(FFolded) != std::string::npos ? FSearchGeneration : 0;
  ++FSearchGeneration;
  FSearch = std::move(text);
  FFolded = std::move(folded);
  FListedStale = true;
}

bool TEntryFilter::Active() const {
  return !FSearch.empty() || std::find(FShown.begin(), FShown.end(), false) != FShown.end();
}

TEntryFilter::TTopicText& TEntryFilter::TextOf(const TQCTopic& topic) {
  auto [it, added] = FTexts.try_emplace(&topic);
  if (!added) return it->second;
  TTopicText& text = it->second;
  const std::string plain = FPlainTexts.PlainTextOf(&topic);
  text.PlainHash = std::hash<std::string>()(plain);
  const TCodePageDecoder& decode = FPlainTexts.Decoder();
  const std::string title = decode ? decode(topic.Title(), kFileCodePage) : topic.Title();
  // The line breaks keep a search from running from one part into the next:
  // a search text has none.
  text.Folded = std::to_string(topic.TopicID());
  text.Folded += '\n';
  text.Folded += unicode::FoldCase(title);
  text.Folded += '\n';
  text.Folded += unicode::FoldCase(plain);
  return text;
}

bool TEntryFilter::TopicMatches(const TQCTopic* topic, TTopicText*& known) {
  if (topic == nullptr) return false;
  if (known == nullptr) known = &TextOf(*topic);
  TTopicText& text = *known;
  if (text.SearchedAt != FSearchGeneration) {
    // Not found by the search this one only adds to: not found now either.
    const bool skip = FNarrowsFrom != 0 && text.SearchedAt == FNarrowsFrom && !text.Found;
    text.Found = !skip && Contains(text.Folded, FFolded);
    text.SearchedAt = FSearchGeneration;
  }
  return text.Found;
}

void TEntryFilter::Refresh() {
  const TPairComparison& pair = FPair();
  const int count = pair.EntryCount();
  if (FEntriesStale || static_cast<int>(FEntries.size()) != count) {
    // The entries' topics and classes, and no text looked up for them yet.
    FEntries.resize(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
      const TComparisonEntry entry = pair.ClassifiedEntry(i);
      FEntries[static_cast<size_t>(i)] = {entry.Latest, entry.History, entry.Class, nullptr, nullptr};
    }
    FEntriesStale = false;
    FMatchGeneration = 0;
  }
  if (FMatchGeneration != FSearchGeneration) {
    const bool searching = !FFolded.empty();
    FMatch.assign(static_cast<size_t>(count), 1);
    FCounts.fill(0);
    for (size_t i = 0; i < FEntries.size(); ++i) {
      TListedEntry& entry = FEntries[i];
      if (searching)
        FMatch[i] =
            TopicMatches(entry.Latest, entry.LatestText) || TopicMatches(entry.History, entry.HistoryText);
      if (FMatch[i]) ++FCounts[static_cast<size_t>(entry.Class)];
    }
    FMatchGeneration = FSearchGeneration;
    FListedStale = true;
  }
  if (!FListedStale) return;
  FListed.clear();
  FListed.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i)
    if (FMatch[static_cast<size_t>(i)] && FShown[static_cast<size_t>(FEntries[static_cast<size_t>(i)].Class)])
      FListed.push_back(i);
  FListedStale = false;
}

const std::vector<int>& TEntryFilter::Listed() {
  Refresh();
  return FListed;
}

int TEntryFilter::RowOf(int index) {
  Refresh();
  const auto it = std::lower_bound(FListed.begin(), FListed.end(), index);
  return it != FListed.end() && *it == index ? static_cast<int>(it - FListed.begin()) : -1;
}

const std::array<int32_t, TopicComparisonCount>& TEntryFilter::Counts() {
  Refresh();
  return FCounts;
}

bool TEntryFilter::Matches(int index) {
  Refresh();
  return index >= 0 && index < static_cast<int>(FMatch.size()) && FMatch[static_cast<size_t>(index)];
}

int TEntryFilter::NextListed(int from, bool forward, bool* wrapped) {
  Refresh();
  if (wrapped) *wrapped = false;
  // From no entry, the first step back lands on the last one.
  if (from < 0 && !forward) from = std::numeric_limits<int>::max();
  if (FListed.empty()) return -1;
  // The first listed entry beyond From; past the end, round to the other end.
  if (forward) {
    const auto it = std::upper_bound(FListed.begin(), FListed.end(), from);
    if (it != FListed.end()) return *it;
  } else {
    const auto it = std::lower_bound(FListed.begin(), FListed.end(), from);
    if (it != FListed.begin()) return *(it - 1);
  }
  if (wrapped) *wrapped = true;
  return forward ? FListed.front() : FListed.back();
}

int TEntryFilter::NextDifferentListed(int from, bool forward, bool* wrapped) {
  Refresh();
  if (wrapped) *wrapped = false;
  const int rows = static_cast<int>(FListed.size());
  if (rows == 0) return -1;
  if (from < 0 && !forward) from = std::numeric_limits<int>::max();
  // Where From stands among the listed entries (between two when it is not one).
  const auto at = std::lower_bound(FListed.begin(), FListed.end(), from);
  int row = static_cast<int>(at - FListed.begin());
  const bool listed = at != FListed.end() && *at == from;
  if (forward && !listed) --row;
  for (int step = 0; step < rows; ++step) {
    row += forward ? 1 : -1;
    if (row >= rows || row < 0) {
      row = row >= rows ? 0 : rows - 1;
      if (wrapped) *wrapped = true;
    }
    const int index = FListed[static_cast<size_t>(row)];
    if (FEntries[static_cast<size_t>(index)].Class != tcIdentical) return index;
  }
  return -1;
}

bool TEntryFilter::FormattingOnly(int index) {
  const TComparisonEntry entry = FPair().ClassifiedEntry(index);
  if (entry.Class != tcDifferent || entry.Latest == nullptr || entry.History == nullptr) return false;
  // Told by the hashes of the cached plain texts, so that drawing a list row never reads RTF.
  return TextOf(*entry.Latest).PlainHash == TextOf(*entry.History).PlainHash;
}

void TEntryFilter::Follow(const TComparisonChange& change) {
  if (change.AllTopicsChanged) Reset();
  // A topic whose text or title changed, that came or went, is read again
  // when it is searched next.
  for (const TQCTopic* topic : change.TopicsChanged) FTexts.erase(topic);
  if (change.EntriesReset || change.EntriesMoved || change.ClassesChanged || change.ChangedEntry >= 0 ||
      change.CountersChanged || !change.TopicsChanged.empty())
    FEntriesStale = true;
}

void TEntryFilter::Reset() {
  FTexts.clear();
  FPrepared = 0;
  FEntriesStale = true;
}

bool TEntryFilter::Prepare(int maxTopics) {
  const TQCTopics& latest = FPair().Latest().Topics();
  const TQCTopics& history = FPair().History().Topics();
  const int total = latest.Count() + history.Count();
  for (int built = 0; FPrepared < total && built < maxTopics; ++FPrepared) {
    const TQCTopic* topic =
        FPrepared < latest.Count() ? latest.Items(FPrepared) : history.Items(FPrepared - latest.Count());
    if (FTexts.contains(topic)) continue;
    TextOf(*topic);
    ++built;
  }
  return FPrepared < total;
}
