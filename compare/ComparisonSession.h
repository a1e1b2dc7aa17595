#pragma once
// The comparison of a Latest and a History project file, topic by topic, as
// the window shows it and qctool prints it. A facade over its parts: the
// files (TProjectFiles), the entries, classes and counters of the two
// documents (TPairComparison), the selected pair with its line difference
// and differing fields (TSelectedPair), and the edits of topics
// (TTopicEdit), which all go through it so that everything stays up to
// date. Qt-free; the filter and the views follow its one change notice per
// operation.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "compare/FieldDifferences.h"
#include "compare/PairComparison.h"
#include "compare/ProjectFiles.h"
#include "compare/SelectedPair.h"
#include "compare/TopicEdit.h"
#include "document/TopicComparison.h"
#include "richtext/RtfPlainText.h"
#include "toolkit/Signal.h"

class TdvDiffEngine;
class TEntryFilter;
class TQCTopic;
struct TRowFormatChange;
class TQuillcrafterDoc;
class TStringList;

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
  /// Every topic may be another one (files opened, a document changed as a whole).
  bool AllTopicsChanged = false;
  /// The topics whose content changed, or that came into a document or
  /// left it. A topic may be gone by the time the notice arrives: only
  /// compare the pointers.
  std::vector<const TQCTopic*> TopicsChanged;

  bool Any() const {
    return EntriesReset || EntriesMoved || ClassesChanged || ChangedEntry >= 0 || CountersChanged ||
           SelectionChanged || AllTopicsChanged || !TopicsChanged.empty();
  }
};

/// Pairings the matching made without a doubt it could see: topics that
/// share their ID with another topic of the same file, and Latest topics
/// that match the same History topic as another Latest topic does. The
/// matching stays as it is; these are told so that nobody trusts them blindly.
struct TPairingDoubts {
  /// Topics of either file whose ID another topic of that file has too.
  int SharedIDs = 0;
  /// Latest topics whose History match another Latest topic matches too.
  int SharedMatches = 0;
  /// Per entry, what is doubtful about it (empty: nothing), in words for a tooltip.
  std::vector<std::string> Notes;
  bool Any() const { return SharedIDs > 0 || SharedMatches > 0; }
};

/// The four copies between the selected pair's topics.
enum class TCopyKind : uint8_t { ToLatest, TextToLatest, ToHistory, TextToHistory };

class TComparisonSession {
 public:
  /// Decode reads the bytes of the topics' RTF for the default plain text.
  explicit TComparisonSession(TCodePageDecoder decode);
  ~TComparisonSession();
  TComparisonSession(const TComparisonSession&) = delete;
  TComparisonSession& operator=(const TComparisonSession&) = delete;

  // --- The files ------------------------------------------------------------------
  TQuillcrafterDoc& Latest();
  TQuillcrafterDoc& History();
  const TQuillcrafterDoc& Latest() const;
  const TQuillcrafterDoc& History() const;
  const std::string& LatestFileName() const;
  const std::string& HistoryFileName() const;

  /// Opens Latest and, when given, History (without it the History document
  /// stays as it is). All or nothing: when either file cannot be read the
  /// error propagates and the session is exactly as it was. On success the
  /// selection is cleared and every entry is new (EntriesReset).
  void OpenFiles(const std::string& latestFile, const std::optional<std::string>& historyFile);
  /// The same, with History chosen only once Latest has been read (so a
  /// broken Latest is reported before anyone is asked for History).
  /// ChooseHistory gives History's file name, or nothing to keep the
  /// History document as it is.
  /// With HistoryError given, a History that cannot be read leaves the
  /// History shown as it is and its message there; Latest opens all the same.
  void OpenFiles(const std::string& latestFile,
                 const std::function<std::optional<std::string>()>& chooseHistory,
                 std::string* historyError = nullptr);
  /// Takes documents built in memory as Latest and History (a document
  /// not given stays; the file name of one given becomes empty), as
  /// OpenFiles does with the documents it read.
  void SetDocuments(std::unique_ptr<TQuillcrafterDoc> latest, std::unique_ptr<TQuillcrafterDoc> history);
  /// Opens only History (all or nothing, as OpenFiles); Latest stays with
  /// its changes, the selection ends and every class is new.
  void OpenHistory(const std::string& historyFile);
  /// Reads one side again from its file (all or nothing, as OpenFiles);
  /// the other document stays as it is, changes and all, and the
  /// selection stays with the topic IDs it showed where they still are.
  void ReadAgain(bool latest);
  /// Writes the Latest document to FileName, which becomes LatestFileName; a
  /// failed save leaves the old file, the name and the Modified flag.
  void SaveLatest(const std::string& fileName);
  /// The same for History.
  void SaveHistory(const std::string& fileName);
  /// Whether a save first keeps the file it replaces as NAME.bak (on by default).
  bool Backups() const;
  void SetBackups(bool value);

  // --- Classification --------------------------------------------------------------
  /// The entries, classes and counters of the two documents.
  const TPairComparison& Pair() const { return *FPair; }
  TTopicMatchMode MatchMode() const { return FPair->MatchMode(); }
  /// Reclassifies every entry; the selected entry stays selected and its
  /// partner is looked up again under the new mode.
  void SetMatchMode(TTopicMatchMode value);

  /// Entries 0 .. LatestEntryCount()-1 are the Latest topics in collection
  /// order; after them, while ShowDeleted, come the History topics that no
  /// Latest topic matches under the current mode (class tcDeleted), in
  /// History order.
  int EntryCount() const { return FPair->EntryCount(); }
  int LatestEntryCount() const { return FPair->LatestEntryCount(); }
  /// Whether the topics only in History are entries (on by default).
  bool ShowDeleted() const { return FPair->ShowDeleted(); }
  void SetShowDeleted(bool value);

  /// Entry Index with both its topics and its class; an index outside the
  /// entries gives an empty entry.
  TComparisonEntry Entry(int index) const { return FPair->Entry(index); }
  /// The Latest topic of entry Index: nullptr for a topic only in History.
  TQCTopic* EntryTopic(int index) const;
  /// The class of entry Index under the current mode.
  TTopicComparison EntryClass(int index) const { return Entry(index).Class; }
  /// The entry whose Latest topic, or whose History-only topic, is Topic; -1
  /// for none.
  int EntryIndexOf(const TQCTopic* topic) const { return FPair->EntryIndexOf(topic); }
  /// The list row of entry Index, as the document lists its topics: the
  /// display name and the ID, "Setup (1)" (the file's bytes).
  std::string EntryCaption(int index) const;

  /// The fields in which entry Index's two topics differ, in field table
  /// order; none when one side is missing.
  std::vector<TFieldDifference> FieldDifferences(int index) const;
  /// The same for the selected pair.
  std::vector<TFieldDifference> SelectedFieldDifferences() const { return FSelection->FieldDifferences(); }
  /// The one-line tooltip of entry Index: its class, and for a matched pair
  /// that differs, the summaries joined by "; ".
  std::string EntryToolTip(int index) const;
  /// Entry Index as the last classification found it, without comparing its
  /// topics again: the same as Entry(Index) whenever a notice is raised.
  TComparisonEntry ClassifiedEntry(int index) const { return FPair->ClassifiedEntry(index); }

  /// The doubtful pairings of the entries as they are now classified.
  TPairingDoubts PairingDoubts() const;
  /// The ID of entry Index's History partner when it differs from its
  /// Latest topic's ID (a match by title); -1 otherwise.
  int32_t PartnerIDIfOther(int index) const;

  /// Which entries the list shows (classes, search); it follows every change
  /// notice, before any other observer.
  TEntryFilter& Filter() { return *FFilter; }
  /// What reads the bytes of the files and of the topics' RTF.
  const TCodePageDecoder& Decoder() const { return FSelection->Decoder(); }

  /// Counts entries by class: the counters add up to EntryCount.
  const TTopicCounters& Counters() const { return FPair->Counters(); }
  /// Status panels 0 to 4: class and count ("New Topics: 3"); panel 5: the
  /// class of the selected entry as the list names it ("Identical text",
  /// "New"), empty while none is selected.
  std::string StatusText(int panel) const;
  static constexpr int StatusPanelCount = TopicComparisonCount + 1;

  // --- The selected pair ---------------------------------------------------------------
  int SelectedIndex() const { return FSelected; }
  /// Selects entry Index (-1: none), finds its partner and compares their
  /// plain texts. An index outside the entries selects nothing. For a topic
  /// only in History LatestTopic is nullptr and every line of HistoryTopic
  /// stands against a filler on the Latest side.
  void Select(int index);
  /// The selected pair with its texts and difference.
  const TSelectedPair& Selection() const { return *FSelection; }
  TQCTopic* LatestTopic() const { return FSelection->Latest(); }
  TQCTopic* HistoryTopic() const { return FSelection->History(); }
  /// A pair is selected and its two topics differ: the copies apply.
  bool PairDiffers() const { return FSelection->Differs(); }

  /// The engine holding the selected pair's line difference.
  TdvDiffEngine& DiffEngine() { return FSelection->Engine(); }
  const TPlainTextFunction& PlainTextFunction() const { return FSelection->PlainTextFunction(); }
  /// The plain text the difference compares for Topic (nothing for none).
  std::string PlainTextOf(const TQCTopic* topic) const { return FSelection->PlainTextOf(topic); }
  /// The rows of the selected pair's difference whose lines read the same
  /// but are formatted differently (none when the texts are equal).
  std::vector<TRowFormatChange> SelectedFormatChanges() const;

  // --- Editing topics ----------------------------------------------------------------
  // Each of these is one operation with one notice, and brings classes,
  // counters and the shown pair up to date. Topic edits (TTopicEdit) are
  // carried out and taken back through them.

  /// Puts Source's content (every field, or only the text) into Target, a
  /// topic of either document.
  void AssignTopic(TQCTopic& target, const TQCTopic& source, bool textOnly);
  /// Target's text becomes Text; its other fields stay.
  void SetTopicText(TQCTopic& target, const TStringList& text);

  // Adding and removing topics. Whenever entries come, go or move, the
  // selection stays with its pair's topics: with the Latest topic while it
  // is in Latest, else with the History topic, as its entry only in History
  // or as the pair of the Latest topic that now matches it; else it ends.

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
  /// (the same object). Refused when its ID has been taken meanwhile; then
  /// Removed still holds the topic.
  TQCTopic* RestoreTopic(TRemovedTopic&& removed);

  /// Carries Edit out, or takes it back (as TTopicEdit::Apply and Revert).
  void Apply(TTopicEdit& edit) { edit.Apply(*this); }
  void Revert(TTopicEdit& edit) { edit.Revert(*this); }

  // --- Copies ------------------------------------------------------------------------
  /// Whether the copy applies to the selected entry: all four on a matched
  /// pair that differs; on a topic only in History only ToLatest, on a new
  /// topic only ToHistory (both add the whole topic to the other file).
  bool CanCopy(TCopyKind kind) const;
  /// The copy as an edit not yet carried out, or nothing when it does not
  /// apply: a whole-topic copy over the partner, a text edit, or an
  /// addition of a topic only one side has.
  std::optional<TTopicEdit> MakeCopy(TCopyKind kind) const;
  /// Makes the copy and carries it out when CanCopy; returns the topic it
  /// added, or nullptr when it changed an existing topic or did nothing.
  /// After an addition the selection is on the entry of the added topic's pair.
  TQCTopic* Copy(TCopyKind kind);
  void CopyToLatest() { Copy(TCopyKind::ToLatest); }
  void CopyTextToLatest() { Copy(TCopyKind::TextToLatest); }
  void CopyToHistory() { Copy(TCopyKind::ToHistory); }
  void CopyTextToHistory() { Copy(TCopyKind::TextToHistory); }

  // --- Moving through the differences -------------------------------------------------
  /// The first row of the nearest change block of the selected pair's
  /// difference after Row (before it when Forward is false); -1 when there is none.
  int NextChangeRow(int row, bool forward) const { return FSelection->NextChangeRow(row, forward); }

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
  void NoteTopicChanged(const TQCTopic* topic);
  void Connect();
  void Disconnect();
  /// The documents read (or built) take the place of those shown.
  void TakeDocuments(TReadPair read);
  /// Puts Read's documents in place with a new pair comparison and no selection.
  void ReplaceDocuments(TReadPair read);
  /// A fresh pair comparison of the documents held, under the same mode.
  void NewPair();
  /// Reclassifies; when the entries changed (EntriesMoved, or other deleted
  /// entries) the selection follows its topics and EntriesMoved is noted.
  /// CountersChanged is noted always.
  void Recount(bool entriesMoved = false);
  /// The selection after the entries moved: SelectedIndex, and the pair looked up again.
  void FollowSelection();
  /// Carries out Edit of Target and brings everything up to date.
  void EditTopic(TQCTopic& target, const std::function<void()>& edit);
  /// Brings everything up to date after a topic was added or removed.
  void EntriesEdited(bool latestChanged);
  void FindPartner();
  void TopicChanged(TQCTopic* topic);
  /// No entry selected, no pair.
  void ForgetSelection();

  std::unique_ptr<TProjectFiles> FFiles;
  std::unique_ptr<TSelectedPair> FSelection;
  std::unique_ptr<TPairComparison> FPair;
  std::unique_ptr<TEntryFilter> FFilter;
  toolkit::TConnection FFilterConnection;
  int FSelected = -1;
  bool FInCopy = false;  // a copy recounts once at its end, not per notice
  // What the operation under way has changed so far, sent when it ends.
  TComparisonChange FPending;
  int FNoticeDepth = 0;
};
