#pragma once
// Matching of Latest topics against the History document and their
// classification into the five comparison classes, as the comparison window
// and qctool both use it. Qt-free: the match mode is passed in as a value.
//
// Every result is that of a plain scan of the History collection from the
// first topic upward (first match in collection order wins). TTopicMatcher
// answers the same questions through an index for whole recounts; the index
// is rebuilt whenever the History topics have changed since it was built.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

class TQCTopic;
class TQCTopics;

/// The comparison class of a Latest topic. The ordinal is also the index of
/// the class's status panel and of its colour.
enum TTopicComparison : uint8_t {
  tcDifferent = 0,      // a History topic matches and the texts differ
  tcIdentical = 1,      // a History topic matches, every compared field and the text are equal
  tcIdenticalText = 2,  // a History topic matches, the text is equal, another field differs
  tcNew = 3,            // no History topic matches
  tcDeleted = 4,        // has a counter and a panel, but classification never yields it
};

inline constexpr int TopicComparisonCount = 5;

/// How a Latest topic finds its History partner; the ordinal is the item
/// index of the window's match drop-down.
enum class TTopicMatchMode : uint8_t {
  tmByID = 0,         // equal TopicID
  tmByTitle = 1,      // equal display name
  tmByIDOrTitle = 2,  // equal TopicID; only when no History topic has that ID, equal display name
};

inline constexpr int MatchModeCount = 3;

/// One match mode, each of its names written once.
struct TMatchModeInfo {
  TTopicMatchMode Mode;
  /// How qctool, the window's command line and the reports name it: "id-or-title".
  const char* Token;
  /// The window's drop-down item: "Match Topics By ID or Title".
  const char* Name;
  /// How a report says it in a sentence: "by ID, else by title".
  const char* Phrase;
};

/// Every match mode, index = its ordinal (= the drop-down's item index).
extern const std::array<TMatchModeInfo, MatchModeCount> MatchModeTable;

/// The row of Mode; an unknown value gives the row of matching by ID.
const TMatchModeInfo& MatchModeInfo(TTopicMatchMode mode);

/// The drop-down's item index as a match mode: any other index (none
/// selected included) behaves as matching by ID.
TTopicMatchMode MatchModeFromIndex(int itemIndex);

/// The mode whose token is Token ("id", "title", "id-or-title"); nothing otherwise.
std::optional<TTopicMatchMode> MatchModeFromToken(std::string_view token);

/// A colour as 0xRRGGBB (sRGB).
using TRgb = uint32_t;

/// One comparison class, each of its names, its mark and its colours
/// written once: the window, its colour scheme, the reports and qctool all
/// read this row.
struct TTopicClassInfo {
  TTopicComparison Class;
  /// How scripts name it, in qctool's output and the reports: "identical-text".
  const char* Key;
  /// How people read it in the reports: "Identical text".
  const char* Label;
  /// The window's words for it inside a sentence: "identical text".
  const char* Words;
  /// Its status panel's text, followed by its count: "Identical Text Topics: ".
  const char* PanelText;
  /// The mark drawn before its entries (UTF-8), so that no class is told by colour alone.
  const char* Mark;
  /// Its text colour on a light background and on a dark one. Black and
  /// white stand for the background's own text colour.
  TRgb Light;
  TRgb Dark;
};

/// Every class, index = TTopicComparison.
extern const std::array<TTopicClassInfo, TopicComparisonCount> TopicClassTable;

/// The row of Class; an unknown value gives the row of tcDifferent.
const TTopicClassInfo& ClassInfo(TTopicComparison cls);

/// Texts of the last status panel, describing the selected pair.
inline constexpr const char* SPairIdentical = "Identical";
inline constexpr const char* SPairDifferent = "Different";

/// The first History topic (in collection order) that matches Topic under
/// Mode, or nullptr.
TQCTopic* FindMatchingTopic(const TQCTopics& history, const TQCTopic& topic, TTopicMatchMode mode);

/// The class of one Latest topic against the History topics.
TTopicComparison CompareTopic(const TQCTopic& topic, const TQCTopics& history, TTopicMatchMode mode);

/// The class of a Latest topic given its History match (nullptr: none).
TTopicComparison ClassifyPair(const TQCTopic& topic, const TQCTopic* match);

/// The five counters of a recount, indexed by TTopicComparison.
struct TTopicCounters {
  std::array<int32_t, TopicComparisonCount> Counts{};

  int32_t DifferentCount() const { return Counts[tcDifferent]; }
  int32_t IdenticalCount() const { return Counts[tcIdentical]; }
  int32_t IdenticalTextCount() const { return Counts[tcIdenticalText]; }
  int32_t NewCount() const { return Counts[tcNew]; }
  int32_t DeletedCount() const { return Counts[tcDeleted]; }
  friend bool operator==(const TTopicCounters&, const TTopicCounters&) = default;
};

/// Recounts from scratch: every Latest topic, in collection order, adds one
/// to the counter of its class. DeletedCount stays 0.
TTopicCounters RecountTopics(const TQCTopics& latest, const TQCTopics& history, TTopicMatchMode mode);

/// Text of status panel Index (0 to 4): the class's panel text followed by
/// its counter in plain decimal, e.g. "New Topics: 3".
std::string StatusPanelText(const TTopicCounters& counters, int index);

/// Text of the last panel: "Identical" when no pair is selected (Latest is
/// nullptr) or the pair is equal by IsEqual; "Different" otherwise (a
/// selected New topic, whose History is nullptr, gives "Different").
const char* PairStateText(const TQCTopic* latest, const TQCTopic* history);

/// Answers FindMatchingTopic and CompareTopic against one History topic
/// collection through hash indexes. The indexes are rebuilt on the first
/// query after any change to the History topics (added, removed, moved,
/// renumbered, retitled), so results always equal those of the plain scan.
/// The matcher refers to the collection without owning it: it must not
/// outlive it.
class TTopicMatcher {
 public:
  explicit TTopicMatcher(const TQCTopics& history) : FHistory(history) {}

  TQCTopic* FindMatchingTopic(const TQCTopic& topic, TTopicMatchMode mode);
  TTopicComparison CompareTopic(const TQCTopic& topic, TTopicMatchMode mode) {
    return ClassifyPair(topic, FindMatchingTopic(topic, mode));
  }
  TTopicCounters RecountTopics(const TQCTopics& latest, TTopicMatchMode mode);

 private:
  void Refresh();
  int IndexOfTopicID(int32_t id) const;
  int IndexOfDisplayName(std::string_view name);
  void BuildNameIndex();

  const TQCTopics& FHistory;
  uint64_t FBuiltGeneration = 0;
  bool FBuilt = false;
  bool FUseCollectionIDs = false;
  bool FNamesBuilt = false;
  // First index in collection order for each ID and each display name.
  std::unordered_map<int32_t, int> FByID;
  struct NameSlot {
    uint64_t hash = 0;
    int index = -1;  // -1: empty slot
  };
  std::vector<NameSlot> FNameSlots;
};
