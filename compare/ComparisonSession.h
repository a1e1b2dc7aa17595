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
#include "richtext/RtfPlainText.h"

class TdvDiffEngine;
class TQCTopic;
class TQuillcrafterDoc;

/// The text the line difference compares for one topic: the topic's RTF
/// (its lines joined with CR LF) in, UTF-8 lines each ended by CR LF out.
using TPlainTextFunction = std::function<std::string(std::string_view rtf)>;

/// The plain text of RTF as the rich-text view shows it, through the
/// reader's plain-text lines with Decode reading the text's bytes (the
/// view's own converters, qtbridge::CodePageToUtf8): what window and qctool
/// compare by default. A NUL byte comes out as U+2400, so the engine never
/// meets one.
std::string RtfPlainTextCrLf(std::string_view rtf, const TCodePageDecoder& decode);

class TComparisonSession {
 public:
  /// Decode reads the bytes of the topics' RTF for the default plain text.
  explicit TComparisonSession(TCodePageDecoder decode);
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
  /// The same, with History chosen only once Latest has been read (so a
  /// broken Latest is reported before anyone is asked for History).
  /// ChooseHistory gives History's file name, or nothing to keep the
  /// History document as it is.
  void OpenFiles(const std::string& latestFile,
                 const std::function<std::optional<std::string>()>& chooseHistory);
  /// Opens only History (all or nothing, as OpenFiles); Latest stays with
  /// its changes, the selection ends and every class is new.
  void OpenHistory(const std::string& historyFile);
  /// Writes the Latest document to FileName, which becomes LatestFileName; a
  /// failed save leaves the old file, the name and the Modified flag.
  void SaveLatest(const std::string& fileName);
  /// The same for History.
  void SaveHistory(const std::string& fileName);
  /// Whether a save first keeps the file it replaces as NAME.bak (on by default).
  bool Backups() const { return FBackups; }
  void SetBackups(bool value) { FBackups = value; }

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
  /// An empty function brings back the default (RtfPlainTextCrLf).
  void SetPlainTextFunction(TPlainTextFunction value);
  /// The plain text the difference compares for Topic (nothing for none).
  std::string PlainTextOf(const TQCTopic* topic) const;

  /// Puts Source's content (every field, or only the text) into Target, a
  /// topic of either document, and brings classes, counters and the shown
  /// pair up to date. Copies, their undo and their redo all go through here.
  void AssignTopic(TQCTopic& target, const TQCTopic& source, bool textOnly);

  // --- Copies (each does nothing unless PairDiffers) ----------------------------
  void CopyToLatest();
  void CopyTextToLatest();
  void CopyToHistory();
  void CopyTextToHistory();

  // --- Moving through the differences -------------------------------------------------
  /// The nearest entry after From (before it when Forward is false) whose
  /// class is not identical, going round at the end; From itself comes last.
  /// -1 when every entry is identical. Wrapped tells whether the end was passed.
  int NextDifferentEntry(int from, bool forward, bool* wrapped = nullptr) const;
  /// The first row of the nearest change block of the selected pair's
  /// difference after Row (before it when Forward is false); -1 when there is none.
  int NextChangeRow(int row, bool forward) const;

  // --- Events (called only when set) ----------------------------------------------------
  /// The entries were replaced (files opened).
  std::function<void()> OnEntriesReset;
  /// Every entry's class may have changed (mode, or History changed).
  std::function<void()> OnClassesChanged;
  /// Only entry Index may have changed its class (a copy into its Latest topic).
  std::function<void(int index)> OnEntryChanged;
  std::function<void()> OnCountersChanged;
  /// The selection, the pair or one of its texts changed; the difference is new.
  std::function<void()> OnSelectionChanged;

 private:
  void Connect();
  void Recount();
  void FindPartner();
  void CompareSelectedTexts();
  void TopicChanged(TQCTopic* topic);

  std::unique_ptr<TQuillcrafterDoc> FLatest;
  std::unique_ptr<TQuillcrafterDoc> FHistory;
  std::unique_ptr<TTopicMatcher> FMatcher;
  std::unique_ptr<TdvDiffEngine> FEngine;
  std::string FLatestFileName;
  std::string FHistoryFileName;
  TTopicMatchMode FMatchMode = TTopicMatchMode::tmByID;
  TTopicCounters FCounters;
  TCodePageDecoder FDecode;
  TPlainTextFunction FPlainText;
  int FSelected = -1;
  TQCTopic* FOrig = nullptr;
  TQCTopic* FHist = nullptr;
  bool FInCopy = false;  // a copy recounts once at its end, not per notice
  bool FBackups = true;
  void SaveDocument(TQuillcrafterDoc& document, const std::string& fileName);
};
