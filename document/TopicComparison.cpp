#include "document/TopicComparison.h"

#include "document/QuillcrafterDoc.h"

const std::array<const char*, 3> MatchModeNames = {
    "Match Topics By ID",
    "Match Topics By Title",
    "Match Topics By ID or Title",
};

const std::array<const char*, TopicComparisonCount> TopicComparisonPanelTexts = {
    "Different Topics: ", "Identical Topics: ", "Identical Text Topics: ", "New Topics: ", "Deleted Topics: ",
};

TTopicMatchMode MatchModeFromIndex(int itemIndex) {
  switch (itemIndex) {
    case 1:
      return TTopicMatchMode::tmByTitle;
    case 2:
      return TTopicMatchMode::tmByIDOrTitle;
    default:
      return TTopicMatchMode::tmByID;
  }
}

namespace {

int ScanDisplayName(const TQCTopics& topics, std::string_view name) {
  for (int i = 0; i < topics.Count(); ++i)
    if (topics.Items(i)->DisplayNameView() == name) return i;
  return -1;
}

}  // namespace

TQCTopic* FindMatchingTopic(const TQCTopics& history, const TQCTopic& topic, TTopicMatchMode mode) {
  int index;
  switch (mode) {
    case TTopicMatchMode::tmByTitle:
      index = ScanDisplayName(history, topic.DisplayNameView());
      break;
    case TTopicMatchMode::tmByIDOrTitle:
      index = history.IndexOfTopicID(topic.TopicID());
      if (index < 0) index = ScanDisplayName(history, topic.DisplayNameView());
      break;
    default:
      index = history.IndexOfTopicID(topic.TopicID());
      break;
  }
  return index >= 0 ? history.Items(index) : nullptr;
}

TTopicComparison ClassifyPair(const TQCTopic& topic, const TQCTopic* match) {
  if (topic.IsEqual(match)) return tcIdentical;
  if (match == nullptr) return tcNew;
  if (topic.TextEquals(*match)) return tcIdenticalText;
  return tcDifferent;
}

TTopicComparison CompareTopic(const TQCTopic& topic, const TQCTopics& history, TTopicMatchMode mode) {
  return ClassifyPair(topic, FindMatchingTopic(history, topic, mode));
}

TTopicCounters RecountTopics(const TQCTopics& latest, const TQCTopics& history, TTopicMatchMode mode) {
  TTopicMatcher matcher(history);
  return matcher.RecountTopics(latest, mode);
}

std::string StatusPanelText(const TTopicCounters& counters, int index) {
  if (index < 0 || index >= TopicComparisonCount) return std::string();
  return TopicComparisonPanelTexts[static_cast<size_t>(index)] +
         std::to_string(counters.Counts[static_cast<size_t>(index)]);
}

const char* PairStateText(const TQCTopic* orig, const TQCTopic* hist) {
  if (orig == nullptr || orig->IsEqual(hist)) return SPairIdentical;
  return SPairDifferent;
}

// --- TTopicMatcher -------------------------------------------------------------

void TTopicMatcher::Refresh() {
  if (FBuilt && FBuiltGeneration == FHistory.Generation()) return;
  FByID.clear();
  FNamesBuilt = false;
  // In ascending ID order the collection's own binary search already finds
  // the first topic of an ID; only an unordered collection needs the map.
  FUseCollectionIDs = FHistory.IsInIDOrder();
  if (!FUseCollectionIDs) {
    FByID.reserve(static_cast<size_t>(FHistory.Count()));
    // emplace keeps the first index of each key: the scan's first match.
    for (int i = 0; i < FHistory.Count(); ++i) FByID.emplace(FHistory.Items(i)->TopicID(), i);
  }
  FBuiltGeneration = FHistory.Generation();
  FBuilt = true;
}

int TTopicMatcher::IndexOfTopicID(int32_t id) const {
  if (FUseCollectionIDs) return FHistory.IndexOfTopicID(id);
  const auto it = FByID.find(id);
  return it == FByID.end() ? -1 : it->second;
}

int TTopicMatcher::IndexOfDisplayName(std::string_view name) {
  if (!FNamesBuilt) BuildNameIndex();
  const size_t mask = FNameSlots.size() - 1;
  const uint64_t hash = std::hash<std::string_view>()(name);
  for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const NameSlot& entry = FNameSlots[slot];
    if (entry.index < 0) return -1;
    if (entry.hash == hash && FHistory.Items(entry.index)->DisplayNameView() == name) return entry.index;
  }
}

void TTopicMatcher::BuildNameIndex() {
  // Open addressing in one block: no allocation per topic, and the slots
  // of equal names keep only the first index (the scan's first match).
  size_t size = 16;
  while (size < static_cast<size_t>(FHistory.Count()) * 2) size *= 2;
  FNameSlots.assign(size, NameSlot{});
  const size_t mask = size - 1;
  for (int i = 0; i < FHistory.Count(); ++i) {
    const std::string_view name = FHistory.Items(i)->DisplayNameView();
    const uint64_t hash = std::hash<std::string_view>()(name);
    for (size_t slot = hash & mask;; slot = (slot + 1) & mask) {
      NameSlot& entry = FNameSlots[slot];
      if (entry.index < 0) {
        entry = NameSlot{hash, i};
        break;
      }
      if (entry.hash == hash && FHistory.Items(entry.index)->DisplayNameView() == name) break;
    }
  }
  FNamesBuilt = true;
}

TQCTopic* TTopicMatcher::FindMatchingTopic(const TQCTopic& topic, TTopicMatchMode mode) {
  Refresh();
  int index;
  switch (mode) {
    case TTopicMatchMode::tmByTitle:
      index = IndexOfDisplayName(topic.DisplayNameView());
      break;
    case TTopicMatchMode::tmByIDOrTitle:
      index = IndexOfTopicID(topic.TopicID());
      if (index < 0) index = IndexOfDisplayName(topic.DisplayNameView());
      break;
    default:
      index = IndexOfTopicID(topic.TopicID());
      break;
  }
  return index >= 0 ? FHistory.Items(index) : nullptr;
}

TTopicCounters TTopicMatcher::RecountTopics(const TQCTopics& latest, TTopicMatchMode mode) {
  TTopicCounters counters;
  const int count = latest.Count();
  for (int i = 0; i < count; ++i) ++counters.Counts[CompareTopic(*latest.Items(i), mode)];
  return counters;
}
