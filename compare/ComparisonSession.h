#pragma once
// The comparison of a Latest and a History project file, topic by topic, as
// the window shows it and qctool prints it: both documents, the match mode,
// the entries (every Latest topic, then every History topic no Latest topic
// matches) with their classes, the counters and status texts, the selected
// pair with its line difference and its differing fields, and the copies
// between the files. Qt-free; views follow it through the events below.

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/FieldDifferences.h"
#include "document/TopicComparison.h"
#include "richtext/RtfPlainText.h"
#include "toolkit/Signal.h"

class TdvDiffEngine;
class TEntryFilter;
class TQCTopic;
struct TRowFormatChange;
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

/// One row of the comparison: a Latest topic with its History match, or a
/// History topic that no Latest topic matches.
struct TComparisonEntry {
  TQCTopic* Latest = nullptr;   // none for a topic only in History
  TQCTopic* History = nullptr;  // none for a new topic
  TTopicComparison Class = tcNew;
};

/// What one operation of a session changed, as one notice.
struct TComparisonChange {
  /// The entries were replaced (files opened).
  bool EntriesReset = false;
  /// Entries came, went or moved (a topic added or removed, deleted entries
  /// shown or hidden, or a mode or copy that changed which History topics
  /// no Latest topic matches); SelectedIndex is the selected entry's new index.
  bool EntriesMoved = false;
  /// Every entry's class may have changed (mode, or History changed).
  bool ClassesChanged = false;
  /// Only this entry may have changed its class (a copy into its Latest
  /// topic); -1 when ClassesChanged or no single entry changed.
  int ChangedEntry = -1;
  bool CountersChanged = false;
  /// The selection, the pair or one of its texts changed; the difference is new.
  bool SelectionChanged = false;

  bool Any() const {
    return EntriesReset || EntriesMoved || ClassesChanged || ChangedEntry >= 0 || CountersChanged ||
           SelectionChanged;
  }
};

/// The four copies between the selected pair's topics.
enum class TCopyKind : uint8_t { ToLatest, TextToLatest, ToHistory, TextToHistory };

/// A topic a session took out of its document, still whole: RestoreTopic
/// puts the same object back where it stood.
struct TRemovedTopic {
  std::unique_ptr<TQCTopic> Topic;
  bool FromLatest = true;
  int Index = -1;
  TRemovedTopic();
  TRemovedTopic(TRemovedTopic&&) noexcept;
  TRemovedTopic& operator=(TRemovedTopic&&) noexcept;
  ~TRemovedTopic();
};

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
  /// selection is cleared and every entry is new (EntriesReset).
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

  /// Entries 0 .. LatestEntryCount()-1 are the Latest topics in collection
  /// order; after them, while ShowDeleted, come the History topics that no
  /// Latest topic matches under the current mode (class tcDeleted), in
  /// History order.
  int EntryCount() const;
  int LatestEntryCount() const;
  /// Whether the topics only in History are entries (on by default).
  bool ShowDeleted() const { return FShowDeleted; }
  void SetShowDeleted(bool value);

  /// Entry Index with both its topics and its class; an index outside the
  /// entries gives an empty entry.
  TComparisonEntry Entry(int index) const;
  /// The Latest topic of entry Index: nullptr for a topic only in History.
  TQCTopic* EntryTopic(int index) const;
  /// The class of entry Index under the current mode.
  TTopicComparison EntryClass(int index) const;
  /// The History topic of entry Index (a Latest topic's match, or the topic
  /// only in History), or nullptr.
  TQCTopic* EntryMatch(int index) const;
  /// The entry whose Latest topic, or whose History-only topic, is Topic; -1
  /// for none.
  int EntryIndexOf(const TQCTopic* topic) const;
  /// The list row of entry Index, as the document lists its topics: the
  /// display name and the ID, "Setup (1)" (the file's bytes).
  std::string EntryCaption(int index) const;

  /// The fields in which entry Index's two topics differ, in field table
  /// order; none when one side is missing.
  std::vector<TFieldDifference> FieldDifferences(int index) const;
  /// The same for the selected pair.
  std::vector<TFieldDifference> SelectedFieldDifferences() const;
  /// The one-line tooltip of entry Index: its class, and for a matched pair
  /// that differs, the summaries joined by "; ".
  std::string EntryToolTip(int index) const;
  /// Entry Index as the last classification found it, without comparing its
  /// topics again: the same as Entry(Index) whenever a notice is raised.
  TComparisonEntry ClassifiedEntry(int index) const;

  /// Which entries the list shows (classes, search); it follows every change
  /// of the entries and topics.
  TEntryFilter& Filter() { return *FFilter; }
  /// What reads the bytes of the files and of the topics' RTF.
  const TCodePageDecoder& Decoder() const { return FDecode; }

  /// Counts entries by class: the counters add up to EntryCount.
  const TTopicCounters& Counters() const { return FCounters; }
  /// Status panels 0 to 4: class and count ("New Topics: 3"); panel 5: the
  /// state of the selected pair ("Identical" or "Different"; a topic on
  /// one side only is "Different").
  std::string StatusText(int panel) const;
  static constexpr int StatusPanelCount = TopicComparisonCount + 1;

  // --- The selected pair ---------------------------------------------------------------
  int SelectedIndex() const { return FSelected; }
  /// Selects entry Index (-1: none), finds its partner and compares their
  /// plain texts. An index outside the entries selects nothing. For a topic
  /// only in History OrigTopic is nullptr and every line of HistTopic
  /// stands against a filler on the Latest side.
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
  /// The rows of the selected pair's difference whose lines read the same
  /// but are formatted differently (none when the texts are equal).
  std::vector<TRowFormatChange> SelectedFormatChanges() const;

  /// Puts Source's content (every field, or only the text) into Target, a
  /// topic of either document, and brings classes, counters and the shown
  /// pair up to date. Copies, their undo and their redo all go through here.
  void AssignTopic(TQCTopic& target, const TQCTopic& source, bool textOnly);

  // Adding and removing topics. Whenever entries come, go or move, the
  // selection stays with its pair's topics: with the Latest topic while it
  // is in Latest, else with the History topic, as its entry only in History
  // or as the pair of the Latest topic that now matches it; else it ends.
  //
  // A copy that added a topic is undone as one step: undo calls
  // RemoveTopic(*added) and keeps what it returns, redo hands that to
  // RestoreTopic. The object itself goes out and comes back, so other
  // steps that refer to the topic stay right.

  /// A copy of Source (every field) as a new topic of Latest (IntoLatest)
  /// or History. It keeps Source's ID when that ID is free there, and
  /// otherwise takes the next free ID after the topic holding it, as an
  /// import does (a context string naming the old ID names the new one).
  /// Returns the new topic.
  TQCTopic* AddTopicCopy(bool intoLatest, const TQCTopic& source);
  /// Takes Topic, of either document, out of it without destroying it.
  /// A topic of neither document is refused (EInvalidOperation).
  TRemovedTopic RemoveTopic(TQCTopic& topic);
  /// Puts a removed topic back at its index in its document and returns it
  /// (the same object). Refused when its ID has been taken meanwhile.
  TQCTopic* RestoreTopic(TRemovedTopic removed);

  // --- Copies ------------------------------------------------------------------------
  /// Whether the copy applies to the selected entry: all four on a matched
  /// pair that differs; on a topic only in History only ToLatest, on a new
  /// topic only ToHistory (both add the whole topic to the other file).
  bool CanCopy(TCopyKind kind) const;
  /// Carries out the copy when CanCopy; returns the topic it added, or
  /// nullptr when it changed an existing topic or did nothing. After an
  /// addition the selection is on the entry of the added topic's pair.
  TQCTopic* Copy(TCopyKind kind);
  void CopyToLatest() { Copy(TCopyKind::ToLatest); }
  void CopyTextToLatest() { Copy(TCopyKind::TextToLatest); }
  void CopyToHistory() { Copy(TCopyKind::ToHistory); }
  void CopyTextToHistory() { Copy(TCopyKind::TextToHistory); }

  // --- Moving through the differences -------------------------------------------------
  /// The nearest entry after From (before it when Forward is false) whose
  /// class is not identical, going round at the end; From itself comes last.
  /// -1 when every entry is identical. Wrapped tells whether the end was passed.
  int NextDifferentEntry(int from, bool forward, bool* wrapped = nullptr) const;
  /// The first row of the nearest change block of the selected pair's
  /// difference after Row (before it when Forward is false); -1 when there is none.
  int NextChangeRow(int row, bool forward) const;

  // --- Change notices ------------------------------------------------------------
  /// Sent once at the end of every operation that changed anything, with
  /// all it changed; observers are called in the order they connected.
  toolkit::TSignal<const TComparisonChange&> Changed;

 private:
  class TNoticeScope;
  friend class TNoticeScope;
  /// Marks entry Index as changed in the pending notice; a second entry
  /// makes it a change of every class.
  void NoteEntryChanged(int index);
  void Connect();
  /// Classes every Latest topic, finds the History topics none matches and
  /// counts. EntriesMoved: Latest's topics came, went or moved, or the
  /// deleted entries are another document's. Returns whether the entries
  /// changed; then the selection has followed its topics (SelectedIndex,
  /// and the pair looked up again).
  bool Reclassify(bool entriesMoved);
  /// Reclassify; notes EntriesMoved when the entries changed and
  /// CountersChanged always.
  void Recount(bool entriesMoved = false);
  /// Brings everything up to date after a topic was added or removed.
  void EntriesEdited(bool latestChanged);
  TQCTopic* DeletedEntryTopic(int index) const;
  std::vector<TFieldDifference> FieldDifferencesOf(const TQCTopic* latest, const TQCTopic* history) const;
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
  // The History topics no Latest topic matches, in History order (empty
  // while deleted entries are not shown).
  std::vector<TQCTopic*> FDeleted;
  bool FShowDeleted = true;
  TCodePageDecoder FDecode;
  TPlainTextFunction FPlainText;
  // The Latest entries as the last classification found them.
  std::vector<TComparisonEntry> FClassified;
  std::unique_ptr<TEntryFilter> FFilter;
  int FSelected = -1;
  TQCTopic* FOrig = nullptr;
  TQCTopic* FHist = nullptr;
  // The plain texts the engine last compared, of FOrig and FHist.
  std::string FOrigPlainText;
  std::string FHistPlainText;
  bool FInCopy = false;  // a copy recounts once at its end, not per notice
  bool FBackups = true;
  // What the operation under way has changed so far, sent when it ends.
  TComparisonChange FPending;
  int FNoticeDepth = 0;
  void SaveDocument(TQuillcrafterDoc& document, const std::string& fileName);
  /// A document read from FileName, with the start settings; raises when it cannot be read.
  static std::unique_ptr<TQuillcrafterDoc> ReadDocument(const std::string& fileName);
  /// No entry selected, no pair, no deleted entries until the next classification.
  void ForgetSelection();
};
