#include "compare/PairComparison.h"

#include <algorithm>
#include <string>
#include <unordered_set>

#include "document/QuillcrafterDoc.h"

TPairComparison::TPairComparison(TQuillcrafterDoc& latest, TQuillcrafterDoc& history, TTopicMatchMode mode,
                                 bool showDeleted)
    : FLatest(latest),
      FHistory(history),
      FMatcher(std::make_unique<TTopicMatcher>(history.Topics())),
      FMatchMode(mode),
      FShowDeleted(showDeleted) {
  Reclassify();
}

TPairComparison::~TPairComparison() = default;

bool TPairComparison::Reclassify() {
  // One pass over Latest through the matcher's indexes classes every topic
  // and marks the History topics matched; one pass over History in its
  // order collects the rest.
  const TQCTopics& latest = FLatest.Topics();
  const TQCTopics& history = FHistory.Topics();
  TTopicCounters counters;
  std::unordered_set<const TQCTopic*> matched;
  matched.reserve(static_cast<size_t>(latest.Count()));
  std::vector<TComparisonEntry> classified;
  classified.reserve(static_cast<size_t>(latest.Count()));
  for (int i = 0; i < latest.Count(); ++i) {
    TQCTopic* topic = latest.Items(i);
    TQCTopic* match = FMatcher->FindMatchingTopic(*topic, FMatchMode);
    const TTopicComparison kind = ClassifyPair(*topic, match);
    ++counters.Counts[kind];
    classified.push_back({topic, match, kind});
    if (match != nullptr) matched.insert(match);
  }
  // Hidden, the topics only in History are no entries (nor counted among
  // them), yet how many there are is still known.
  std::vector<TQCTopic*> deleted;
  int32_t deletedCount = 0;
  for (int i = 0; i < history.Count(); ++i)
    if (!matched.contains(history.Items(i))) {
      ++deletedCount;
      if (FShowDeleted) deleted.push_back(history.Items(i));
    }
  counters.Counts[tcDeleted] = static_cast<int32_t>(deleted.size());
  FUnmatchedHistoryCount = deletedCount;
  FCounters = counters;
  FClassified = std::move(classified);
  const bool changed = deleted != FDeleted;
  FDeleted = std::move(deleted);
  return changed;
}

int TPairComparison::EntryCount() const { return LatestEntryCount() + static_cast<int>(FDeleted.size()); }

int TPairComparison::LatestEntryCount() const { return FLatest.Topics().Count(); }

TQCTopic* TPairComparison::DeletedEntryTopic(int index) const {
  const int deleted = index - LatestEntryCount();
  if (deleted < 0 || deleted >= static_cast<int>(FDeleted.size())) return nullptr;
  return FDeleted[static_cast<size_t>(deleted)];
}

TQCTopic* TPairComparison::MatchOf(const TQCTopic& latestTopic) const {
  return FMatcher->FindMatchingTopic(latestTopic, FMatchMode);
}

TComparisonEntry TPairComparison::Entry(int index) const {
  TComparisonEntry entry;
  if (index < 0) return entry;
  if (index < LatestEntryCount()) {
    entry.Latest = FLatest.Topics().Items(index);
    entry.History = MatchOf(*entry.Latest);
    entry.Class = ClassifyPair(*entry.Latest, entry.History);
  } else if ((entry.History = DeletedEntryTopic(index)) != nullptr) {
    entry.Class = tcDeleted;
  }
  return entry;
}

TComparisonEntry TPairComparison::ClassifiedEntry(int index) const {
  const int latest = LatestEntryCount();
  if (index >= latest) {
    TComparisonEntry entry;
    entry.History = DeletedEntryTopic(index);
    if (entry.History != nullptr) entry.Class = tcDeleted;
    return entry;
  }
  // Classified for other topics than Latest has now: read them afresh.
  if (index < 0 || static_cast<int>(FClassified.size()) != latest ||
      FClassified[static_cast<size_t>(index)].Latest != FLatest.Topics().Items(index))
    return Entry(index);
  return FClassified[static_cast<size_t>(index)];
}

int TPairComparison::EntryIndexOf(const TQCTopic* topic) const {
  if (topic == nullptr) return -1;
  const int latest = FLatest.Topics().IndexOf(topic);
  if (latest >= 0) return latest;
  const auto it = std::find(FDeleted.begin(), FDeleted.end(), topic);
  if (it == FDeleted.end()) return -1;
  return LatestEntryCount() + static_cast<int>(it - FDeleted.begin());
}

TTopicEditUpdate TPairComparison::EditTopic(TQCTopic& target, const std::function<void()>& edit) {
  const bool intoLatest = target.Topics() == &FLatest.Topics();
  // Only the entries of the target can change class, as long as what the
  // matching goes by (ID and title) stays: those are counted again rather
  // than every pair of both files.
  const int32_t idBefore = target.TopicID();
  const std::string nameBefore(target.DisplayNameView());
  std::vector<const TQCTopic*> affected;  // the Latest topics of the entries
  if (intoLatest) {
    affected.push_back(&target);
  } else {
    const TQCTopics& latest = FLatest.Topics();
    for (int i = 0; i < latest.Count(); ++i)
      if (MatchOf(*latest.Items(i)) == &target) affected.push_back(latest.Items(i));
  }
  TTopicCounters counters = FCounters;
  for (const TQCTopic* topic : affected) --counters.Counts[ClassifyPair(*topic, MatchOf(*topic))];
  edit();

  TTopicEditUpdate update;
  // A Latest topic's class depends on it alone; a History topic may be the
  // match of any number of entries.
  if (intoLatest) update.ChangedEntry = target.Index();
  if (target.TopicID() != idBefore || target.DisplayNameView() != nameBefore) {
    update.Reclassified = true;
    update.EntriesMoved = Reclassify();
    return update;
  }
  for (const TQCTopic* topic : affected) {
    const TTopicComparison kind = ClassifyPair(*topic, MatchOf(*topic));
    ++counters.Counts[kind];
    const int index = topic->Index();
    if (index >= 0 && index < static_cast<int>(FClassified.size()))
      FClassified[static_cast<size_t>(index)].Class = kind;
  }
  FCounters = counters;
  return update;
}
