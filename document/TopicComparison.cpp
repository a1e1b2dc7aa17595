#include "document/TopicComparison.h"

#include "document/QuillcrafterDoc.h"

const std::array<TMatchModeInfo, MatchModeCount> MatchModeTable = {{
    {TTopicMatchMode::tmByID, "id", "Match Topics By ID", "by ID"},
    {TTopicMatchMode::tmByTitle, "title", "Match Topics By Title", "by title"},
    {TTopicMatchMode::tmByIDOrTitle, "id-or-title", "Match Topics By ID or Title", "by ID, else by title"},
}};

// The light colours are for text on the window's light grey and on white,
// the dark ones for text on its dark greys; each stays readable there.
const std::array<TTopicClassInfo, TopicComparisonCount> TopicClassTable = {{
    {tcDifferent, "different", "Different", "different", "Different Topics: ", "\xE2\x89\xA0", 0xC80000,
     0xFF7878},  // ≠
    {tcIdentical, "identical", "Identical", "identical", "Identical Topics: ", "=", 0x000000, 0xFFFFFF},
    {tcIdenticalText, "identical-text", "Identical text", "identical text",
     "Identical Text Topics: ", "\xE2\x89\x88", 0x6E6E6E, 0xA8A8A8},  // ≈
    {tcNew, "new", "New", "new", "New Topics: ", "+", 0x0000FF, 0x82A8FF},
    {tcDeleted, "deleted", "Deleted", "deleted", "Deleted Topics: ", "\xE2\x88\x92", 0x6B6B00,
     0xC8C85A},  // −
}};

const TMatchModeInfo& MatchModeInfo(TTopicMatchMode mode) {
  const auto index = static_cast<size_t>(mode);
  return MatchModeTable[index < MatchModeTable.size() ? index : 0];
}

TTopicMatchMode MatchModeFromIndex(int itemIndex) {
  if (itemIndex < 0 || itemIndex >= MatchModeCount) return TTopicMatchMode::tmByID;
  return MatchModeTable[static_cast<size_t>(itemIndex)].Mode;
}

std::optional<TTopicMatchMode> MatchModeFromToken(std::string_view token) {
  for (const TMatchModeInfo& info : MatchModeTable)
    if (token == info.Token) return info.Mode;
  return std::nullopt;
}

const TTopicClassInfo& ClassInfo(TTopicComparison cls) {
  const auto index = static_cast<size_t>(cls);
  return TopicClassTable[index < TopicClassTable.size() ? index : 0];
}

namespace {

int ScanDisplayName(const TQCTopics& topics, std::string_view name) {
  for (int i = 0; i < topics.Count(); ++i)
    if (topics.Items(i)->DisplayNameView() == name) return i;
  return -1;
}

/// The index of Topic's partner under Mode, given how to find an ID and a
/// display name (the first in collection order, -1 for none): the one place
/// that says what each mode asks.
template <class ByID, class ByName>
int MatchIndex(const TQCTopic& topic, TTopicMatchMode mode, ByID&& byID, ByName&& byName) {
  switch (mode) {
    case TTopicMatchMode::tmByTitle:
      return byName(topic.DisplayNameView());
    case TTopicMatchMode::tmByIDOrTitle: {
      const int index = byID(topic.TopicID());
      return index >= 0 ? index : byName(topic.DisplayNameView());
    }
    default:
      return byID(topic.TopicID());
  }
}

}  // namespace

TQCTopic* FindMatchingTopic(const TQCTopics& history, const TQCTopic& topic, TTopicMatchMode mode) {
  const int index = MatchIndex(
      topic, mode, [&history](int32_t id) { return history.IndexOfTopicID(id); },
      [&history](std::string_view name) { return ScanDisplayName(history, name); });
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
  return TopicClassTable[static_cast<size_t>(index)].PanelText +
         std::to_string(counters.Counts[static_cast<size_t>(index)]);
}

const char* PairStateText(const TQCTopic* latest, const TQCTopic* history) {
  if (latest == nullptr || latest->IsEqual(history)) return SPairIdentical;
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
  const int index = MatchIndex(
      topic, mode, [this](int32_t id) { return IndexOfTopicID(id); },
      [this](std::string_view name) { return IndexOfDisplayName(name); });
  return index >= 0 ? FHistory.Items(index) : nullptr;
}

TTopicCounters TTopicMatcher::RecountTopics(const TQCTopics& latest, TTopicMatchMode mode) {
  TTopicCounters counters;
  const int count = latest.Count();
  for (int i = 0; i < count; ++i) ++counters.Counts[CompareTopic(*latest.Items(i), mode)];
  return counters;
}
