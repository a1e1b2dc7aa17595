#pragma once
// The comparison of a Latest and a History project file, topic by topic, as
// the window shows it and qctool prints it: both documents, the match mode,
// the class of every Latest topic, the counters and status texts, the
// selected pair with its line difference, and the copies between the files.
// Qt-free; views follow it through the events below.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "document/TopicComparison.h"

class TdvDiffEngine;
class TQCTopic;
class TQuillcrafterDoc;

/// The text the line difference compares for one topic: the topic's RTF
/// (its lines joined with CR LF) in, UTF-8 lines each ended by CR LF out.
using TPlainTextFunction = std::function<std::string(std::string_view rtf)>;

/// The plain text of RTF as the rich-text view shows it, through the
/// reader's plain-text lines: what window and qctool compare by default.
/// A NUL byte comes out as U+2400, so the engine never meets one.
std::string RtfPlainTextCrLf(std::string_view rtf);

class TComparisonSession {
 public:
  TComparisonSession();
  ~TComparisonSession();
  TComparisonSession(const TComparisonSession&) = delete;
  TComparisonSession& operator=(const TComparisonSession&) = delete;

  /// The settings a document carries until a file gives its own.
  static void ApplyDefaultSettings(TQuillcrafterDoc& document);

  // --- The files ------------------------------------------------------------------
  TQuillcrafterDoc& Latest() { return *FLatest; }
  TQuillcrafterDoc& History() { return *FHistory; }
  const TQuillcrafterDoc& Latest() const { return *FLatest; }
  const TQuillcrafterDoc& History() const { return *FHistory; }
  const std::string& LatestFileName() const { return FLatestFileName; }
  const std::string& HistoryFileName() const { return FHistoryFileName; }

  /// Opens Latest and, when given, History (without it the History document
  /// stays as it is). All or nothing: when either file cannot be read the
  /// error propagates and the session is exactly as it was. On success the
  /// selection is cleared and every entry is new (OnEntriesReset).
  void OpenFiles(const std::string& latestFile, const std::optional<std::string>& historyFile);
  /// Writes the Latest document to FileName; a failed save leaves the old file.
  void SaveLatest(const std::string& fileName);

  // --- Classification --------------------------------------------------------------
  TTopicMatchMode MatchMode() const { return FMatchMode; }
  /// Reclassifies every entry; the selected entry stays selected and its
  /// partner is looked up again under the new mode.
  void SetMatchMode(TTopicMatchMode value);

  /// One entry per Latest topic, in collection order.
  int EntryCount() const;
  TQCTopic* EntryTopic(int index) const;
  /// The class of entry Index under the current mode.
  TTopicComparison EntryClass(int index) const;
  /// The History topic entry Index matches, or nullptr.
  TQCTopic* EntryMatch(int index) const;

  const TTopicCounters& Counters() const { return FCounters; }
  /// Status panels 0 to 4: class and count ("New Topics: 3"); panel 5: the
  /// state of the selected pair ("Identical" or "Different").
  std::string StatusText(int panel) const;
  static constexpr int StatusPanelCount = TopicComparisonCount + 1;

  // --- The selected pair ---------------------------------------------------------------
  int SelectedIndex() const { return FSelected; }
  /// Selects entry Index (-1: none), finds its partner and compares their
  /// plain texts. An index outside the entries selects nothing.
  void Select(int index);
  TQCTopic* OrigTopic() const { return FOrig; }
  TQCTopic* HistTopic() const { return FHist; }
  /// A pair is selected and its two topics differ: the copies apply.
  bool PairDiffers() const;

  /// The engine holding the selected pair's line difference.
  TdvDiffEngine& DiffEngine() { return *FEngine; }
  const TPlainTextFunction& PlainTextFunction() const { return FPlainText; }
  void SetPlainTextFunction(TPlainTextFunction value);
  /// The plain text the difference compares for Topic (nothing for none).
  std::string PlainTextOf(const TQCTopic* topic) const;

  // --- Copies (each does nothing unless PairDiffers) ----------------------------
  void CopyToLatest();
  void CopyTextToLatest();
  void CopyToHistory();
  void CopyTextToHistory();

  // --- Events (called only when set) ----------------------------------------------------
  /// The entries were replaced (files opened).
  std::function<void()> OnEntriesReset;
  /// Every entry's class may have changed (mode, or History changed).
  std::function<void()> OnClassesChanged;
  std::function<void()> OnCountersChanged;
  /// The selection, the pair or one of its texts changed; the difference is new.
  std::function<void()> OnSelectionChanged;

 private:
  void Connect();
  void Recount();
  void FindPartner();
  void CompareSelectedTexts();
  void TopicChanged(TQCTopic* topic);
  template <class F>
  void CopyWithinPair(F&& copy);

  std::unique_ptr<TQuillcrafterDoc> FLatest;
  std::unique_ptr<TQuillcrafterDoc> FHistory;
  std::unique_ptr<TTopicMatcher> FMatcher;
  std::unique_ptr<TdvDiffEngine> FEngine;
  std::string FLatestFileName;
  std::string FHistoryFileName;
  TTopicMatchMode FMatchMode = TTopicMatchMode::tmByID;
  TTopicCounters FCounters;
  TPlainTextFunction FPlainText;
  int FSelected = -1;
  TQCTopic* FOrig = nullptr;
  TQCTopic* FHist = nullptr;
  bool FInCopy = false;  // a copy recounts once at its end, not per notice
};
