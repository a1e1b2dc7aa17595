#pragma once
// Which of a comparison's entries the topic list shows: the classes switched
// on, and a search text found in the topic ID, the title or the plain text of
// either topic of the entry. Searching keeps, per topic, its searchable text
// in lower case, built once (or ahead of time, in slices) and rebuilt only
// for the topics that change; a keystroke then scans that text and never
// reads RTF. Qt-free.

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "document/TopicComparison.h"

class TPairComparison;
class TQCTopic;
class TSelectedPair;
struct TComparisonChange;

class TEntryFilter {
 public:
  /// Pair gives the comparison whose entries are listed (it may be
  /// replaced: files opened); Texts gives the plain text a search looks in.
  TEntryFilter(std::function<const TPairComparison&()> pair, const TSelectedPair& texts);
  ~TEntryFilter();
  TEntryFilter(const TEntryFilter&) = delete;
  TEntryFilter& operator=(const TEntryFilter&) = delete;

  // --- What is shown ------------------------------------------------------------
  /// Every class is shown at first.
  bool ClassShown(TTopicComparison kind) const { return FShown[static_cast<size_t>(kind)]; }
  void SetClassShown(TTopicComparison kind, bool shown);
  /// UTF-8, as typed; empty: no search. Line breaks in it are dropped.
  const std::string& SearchText() const { return FSearch; }
  void SetSearchText(std::string_view utf8);
  /// Some class hidden, or a search.
  bool Active() const;

  /// The entries the list shows, ascending.
  const std::vector<int>& Listed();
  /// Entry Index's row in Listed, or -1 when it is not listed.
  int RowOf(int index);
  /// Per class, the entries the search lets through (all of them without a
  /// search), whether their class is shown or not: what each class's
  /// switch would add.
  const std::array<int32_t, TopicComparisonCount>& Counts();
  /// Entry Index passes the search (every entry does without one).
  bool Matches(int index);

  /// The nearest listed entry after From (before it when Forward is false)
  /// whose class is not identical, going round at the end; From itself comes
  /// last. From need not be listed. -1 when there is none; Wrapped tells
  /// whether the end was passed.
  int NextDifferentListed(int from, bool forward, bool* wrapped = nullptr);
  /// The nearest listed entry after (or before) From, going round; -1 when
  /// nothing is listed.
  int NextListed(int from, bool forward, bool* wrapped = nullptr);

  /// Entry Index pairs two topics whose texts differ only in how they look:
  /// equal plain texts, different RTF.
  bool FormattingOnly(int index);

  // --- Keeping up with the comparison ---------------------------------------------
  /// Follows one change notice of the session: the filter observes it first.
  void Follow(const TComparisonChange& change);
  /// Forgets every searchable text, as when every topic may be another.
  void Reset();

  /// Builds the searchable text of at most MaxTopics topics that have none
  /// yet (Latest's first, then History's); false once every topic has one. A
  /// window calls it while idle, so that the first search finds it all built.
  bool Prepare(int maxTopics);

 private:
  struct TTopicText {
    std::string Folded;       // "ID\nTITLE\nTEXT" in lower case
    uint64_t PlainHash = 0;   // of the plain text as compared
    uint64_t SearchedAt = 0;  // the search generation Found belongs to
    bool Found = false;
  };
  /// An entry's topics and class, with their texts once looked up (the
  /// map keeps its values in place, and a text is only dropped with
  /// the entries marked stale).
  struct TListedEntry {
    const TQCTopic* Latest;
    const TQCTopic* History;
    TTopicComparison Class;
    TTopicText* LatestText;
    TTopicText* HistoryText;
  };
  TTopicText& TextOf(const TQCTopic& topic);
  bool TopicMatches(const TQCTopic* topic, TTopicText*& known);
  /// Brings the per-entry results and the listed entries up to date.
  void Refresh();

  std::function<const TPairComparison&()> FPair;
  const TSelectedPair& FPlainTexts;
  std::array<bool, TopicComparisonCount> FShown;
  std::string FSearch;
  std::string FFolded;  // FSearch in lower case
  // Each change of the search is a generation; a search that only adds to
  // the one before can skip every topic that one did not find.
  uint64_t FSearchGeneration = 1;
  uint64_t FNarrowsFrom = 0;
  std::unordered_map<const TQCTopic*, TTopicText> FTexts;
  int FPrepared = 0;  // topics Prepare has passed over, Latest's then History's

  bool FEntriesStale = true;  // the entries changed since FMatch was filled
  bool FListedStale = true;
  uint64_t FMatchGeneration = 0;  // the search generation FMatch belongs to
  std::vector<char> FMatch;       // per entry: passes the search
  std::vector<TListedEntry> FEntries;
  std::vector<int> FListed;
  std::array<int32_t, TopicComparisonCount> FCounts{};
};
