#pragma once
// The comparison of two documents in memory, topic by topic: the entries
// (every Latest topic, then every History topic no Latest topic matches)
// with their classes under a match mode, and the counters. It reads no file
// and knows of no selection, difference or filter; a session holds one for
// the pair it shows, a merge one per pair of its three documents.

#include <functional>
#include <memory>
#include <vector>

#include "document/TopicComparison.h"

class TQCTopic;
class TQuillcrafterDoc;

/// One row of the comparison: a Latest topic with its History match, or a
/// History topic that no Latest topic matches.
struct TComparisonEntry {
  TQCTopic* Latest = nullptr;   // none for a topic only in History
  TQCTopic* History = nullptr;  // none for a new topic
  TTopicComparison Class = tcNew;
};

/// What an edit of one topic changed in the classification.
struct TTopicEditUpdate {
  /// The edit changed what matching goes by (ID or title): every entry was
  /// classified again.
  bool Reclassified = false;
  /// The deleted entries came, went or moved (only after a reclassification).
  bool EntriesMoved = false;
  /// The entry whose class may have changed (an edit of a Latest topic
  /// counted on its own); -1 when any entry may have changed.
  int ChangedEntry = -1;
};

class TPairComparison {
 public:
  /// Classifies at once. Both documents must outlive the comparison.
  TPairComparison(TQuillcrafterDoc& latest, TQuillcrafterDoc& history,
                  TTopicMatchMode mode = TTopicMatchMode::tmByID, bool showDeleted = true);
  ~TPairComparison();
  TPairComparison(const TPairComparison&) = delete;
  TPairComparison& operator=(const TPairComparison&) = delete;

  TQuillcrafterDoc& Latest() const { return FLatest; }
  TQuillcrafterDoc& History() const { return FHistory; }

  /// Both take effect with the next Reclassify.
  TTopicMatchMode MatchMode() const { return FMatchMode; }
  void SetMatchMode(TTopicMatchMode value) { FMatchMode = value; }
  /// Whether the topics only in History are entries.
  bool ShowDeleted() const { return FShowDeleted; }
  void SetShowDeleted(bool value) { FShowDeleted = value; }

  /// Classes every Latest topic, finds the History topics none matches and
  /// counts; linear however many topics there are. Returns whether the
  /// deleted entries are others than before.
  bool Reclassify();

  /// Entries 0 .. LatestEntryCount()-1 are the Latest topics in collection
  /// order; after them, while ShowDeleted, the History topics no Latest
  /// topic matches (class tcDeleted), in History order.
  int EntryCount() const;
  int LatestEntryCount() const;
  /// Entry Index compared now; an index outside the entries gives an empty entry.
  TComparisonEntry Entry(int index) const;
  /// Entry Index as the last classification found it, without comparing
  /// its topics again.
  TComparisonEntry ClassifiedEntry(int index) const;
  /// The History topic only in History at entry Index, or nullptr.
  TQCTopic* DeletedEntryTopic(int index) const;
  /// The entry whose Latest topic, or whose History-only topic, is Topic; -1 for none.
  int EntryIndexOf(const TQCTopic* topic) const;
  /// The History topic Topic (of Latest) matches now, or nullptr.
  TQCTopic* MatchOf(const TQCTopic& latestTopic) const;
  /// Counts entries by class: the counters add up to EntryCount.
  const TTopicCounters& Counters() const { return FCounters; }
  /// The History topics no Latest topic matches, whether they are shown or not.
  int32_t UnmatchedHistoryCount() const { return FUnmatchedHistoryCount; }

  /// Carries out Edit, a change of Target (a topic of either document), and
  /// brings classes and counters up to date: only the entries of Target
  /// are counted again, unless its ID or title changed.
  TTopicEditUpdate EditTopic(TQCTopic& target, const std::function<void()>& edit);

 private:
  TQuillcrafterDoc& FLatest;
  TQuillcrafterDoc& FHistory;
  std::unique_ptr<TTopicMatcher> FMatcher;
  TTopicMatchMode FMatchMode;
  bool FShowDeleted;
  TTopicCounters FCounters;
  int32_t FUnmatchedHistoryCount = 0;
  // The Latest entries as the last classification found them.
  std::vector<TComparisonEntry> FClassified;
  // The History topics no Latest topic matches, in History order (empty
  // while deleted entries are not shown).
  std::vector<TQCTopic*> FDeleted;
};
