#pragma once
// The in-memory model of one help project file: its
// topics, table of contents, text macros, statuses and options, the project
// file reader and writer, and the change events a window listens to.
//
// Files of the unit: QuillcrafterDoc.cpp (document), QuillcrafterDocTopics.cpp,
// QuillcrafterDocContents.cpp (contents, macros, statuses),
// QuillcrafterDocOptions.cpp, QuillcrafterDocReader.cpp, QuillcrafterDocWriter.cpp;
// the topic fields they all walk are declared in TopicFields.h.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "containers/GStreams.h"
#include "containers/Structures.h"
#include "document/QuillcrafterDocItems.h"
#include "document/QuillcrafterDocLinks.h"
#include "document/QuillcrafterDocOptions.h"
#include "document/QuillcrafterDocTypes.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"
#include "toolkit/Streams.h"

using TQCTopicEvent = std::function<void(TObject* sender, TQCTopic* topic)>;
using TQCContentsEvent = std::function<void(TObject* sender, TQCContentsItem* item)>;
using TQCTextMacroEvent = std::function<void(TObject* sender, TQCTextMacro* macro)>;

class TQCProjectReader;

/// Writes a file as TQuillcrafterDoc::SaveToFile does, without harming what
/// is there: Write gives the bytes (to a stream that may fail part-way),
/// Opened, when set, runs once the target is open and before anything is
/// written. For any file a program writes whole (a report, a document).
struct TSaveOptions {
  /// Keeps the version being replaced as NAME.bak (written complete beside
  /// it, then put in place of the previous backup); a backup that cannot be
  /// written stops the save before anything is replaced.
  bool KeepBackup = false;
};
void SaveFileSafely(const std::string& fileName, const std::function<void(TStream&)>& write,
                    const std::function<void()>& opened = {}, const TSaveOptions& options = {});

/// One help project document. It owns every part a project file describes,
/// keeps its topics in ascending ID order, hands out new topic IDs and
/// reports every change through its events.
class TQuillcrafterDoc : public TPersistent {
 public:
  TQuillcrafterDoc();
  /// Clears every event first, so tearing the document down fires none.
  ~TQuillcrafterDoc() override;
  TQuillcrafterDoc(const TQuillcrafterDoc&) = delete;
  TQuillcrafterDoc& operator=(const TQuillcrafterDoc&) = delete;
  std::string ClassName() const override { return "TQuillcrafterDoc"; }

  // --- Parts ---------------------------------------------------------------
  TFont& Font() { return *FFont; }
  const TFont& Font() const { return *FFont; }
  void SetFont(const TFont& value) { FFont->Assign(value); }
  TQCContentsItems& Contents() { return *FContents; }
  const TQCContentsItems& Contents() const { return *FContents; }
  void SetContents(const TQCContentsItems& value) { FContents->Assign(value); }
  TQCProjectOptions& Options() { return *FOptions; }
  const TQCProjectOptions& Options() const { return *FOptions; }
  /// Copies Value and fires OnChange.
  void SetOptions(const TQCProjectOptions& value);
  TRecentFiles& RecentFiles() { return *FRecentFiles; }
  const TRecentFiles& RecentFiles() const { return *FRecentFiles; }
  void SetRecentFiles(const TStrings& value) { FRecentFiles->Assign(value); }
  TQCStatuses& Statuses() { return *FStatuses; }
  const TQCStatuses& Statuses() const { return *FStatuses; }
  void SetStatuses(const TQCStatuses& value) { FStatuses->Assign(value); }
  TQCTextMacros& TextMacros() { return *FTextMacros; }
  const TQCTextMacros& TextMacros() const { return *FTextMacros; }
  void SetTextMacros(const TQCTextMacros& value) { FTextMacros->Assign(value); }
  TQCTopics& Topics() { return *FTopics; }
  const TQCTopics& Topics() const { return *FTopics; }
  void SetTopics(const TQCTopics& value) { FTopics->Assign(value); }
  TStrings& ContentsLinks() { return *FContentsLinks; }
  const TStrings& ContentsLinks() const { return *FContentsLinks; }
  void SetContentsLinks(const TStrings& value) { FContentsLinks->Assign(value); }
  TStrings& ContentsIndices() { return *FContentsIndices; }
  const TStrings& ContentsIndices() const { return *FContentsIndices; }
  void SetContentsIndices(const TStrings& value) { FContentsIndices->Assign(value); }
  TStrings& WindowDefinitions() { return *FWindowDefinitions; }
  const TStrings& WindowDefinitions() const { return *FWindowDefinitions; }
  void SetWindowDefinitions(const TStrings& value) { FWindowDefinitions->Assign(value); }

  // --- Properties --------------------------------------------------------------
  int ContentIndex() const { return FContentIndex; }
  /// Accepts -1 .. Contents.Count-1; fires OnContentChange.
  void SetContentIndex(int value);
  int TopicIndex() const { return FTopicIndex; }
  /// Accepts -1 .. Topics.Count-1; fires OnChange.
  virtual void SetTopicIndex(int value);
  int TopicGrid() const { return FTopicGrid; }
  /// Values below 1 are ignored.
  void SetTopicGrid(int value);
  int TopicIncrement() const { return FTopicIncrement; }
  /// Values below 1 are ignored; fires OnChange.
  void SetTopicIncrement(int value);
  bool TopicGridEnabled() const { return FTopicGridEnabled; }
  void SetTopicGridEnabled(bool value) { FTopicGridEnabled = value; }
  float Version() const { return FVersion; }
  void SetVersion(float value) { FVersion = value; }
  int UndoStackSize() const { return FUndoStackSize; }
  /// Fires OnUndoSizeChange.
  void SetUndoStackSize(int value);
  const std::string& QCLocation() const { return FQCLocation; }
  void SetQCLocation(const std::string& value) { FQCLocation = value; }
  bool Modified() const { return FModified; }
  void SetModified(bool value) { FModified = value; }
  /// What the last load found worth telling but read anyway (data after the
  /// end of the project, with its size); empty after a clean load.
  const std::vector<std::string>& LoadWarnings() const { return FLoadWarnings; }
  /// LoadWarnings, which are then gone: for telling them once.
  std::vector<std::string> TakeLoadWarnings() { return std::exchange(FLoadWarnings, {}); }

  // --- Operations ------------------------------------------------------------------
  /// The first unused topic ID from the ID of topic AfterIndex (of the last
  /// topic when AfterIndex is outside the collection; 0 without topics),
  /// stepping by TopicIncrement, or to the next multiple of TopicGrid.
  int32_t NextTopicID(int afterIndex) const;

  /// Reads a whole project file from the stream's current position. The
  /// file is read completely before the document changes, so a file that
  /// cannot be read leaves the document exactly as it was, without notices.
  virtual void LoadFromStream(TStream& stream);
  /// LoadFromStream from the file; its name goes to RecentFiles on success.
  void LoadFromFile(const std::string& fileName);
  /// Writes the whole project file at the stream's current position.
  virtual void SaveToStream(TStream& stream);
  /// Saves without harming what is there. An ordinary file is written
  /// complete beside FileName and then put in its place, keeping its
  /// permission bits, owner and group, so a failed save leaves the old file
  /// untouched. A file with several hard links, or one in a folder that
  /// takes no new file, is written in place and gets its old bytes back when
  /// the write fails. A device or named pipe is written through, never
  /// replaced (block devices are refused). A link is followed to the file
  /// it names; a link to nothing is an error naming the missing file.
  /// KeepBackup keeps the replaced version as FileName.bak.
  void SaveToFile(const std::string& fileName, bool keepBackup = false);

  /// Empties topics, contents, macros (then adds the built-in ones) and the
  /// three string lists; options and statuses stay. Modified becomes False.
  virtual void Clear();
  /// The settings a document carries until a file gives its own: file
  /// version 13, a 16-bit help file, the web export's default captions, a
  /// 10-point *SourceCode macro. Modified becomes False.
  void ApplyStartSettings();
  /// Copies another document (not Font and not Statuses).
  void Assign(const TPersistent& source) override;
  /// A new document assigned from this one.
  virtual std::unique_ptr<TQuillcrafterDoc> Clone() const;
  /// Adds any missing built-in text macro; Modified stays as it was.
  virtual void AddDefaultTextMacros();
  /// Adds any missing built-in status; Modified stays as it was.
  virtual void AddDefaultStatuses();

  // --- Notification hooks (called by the collections and parts) -------------
  virtual void Changed();
  virtual void RecentFilesChanged();
  virtual void StringsChanged();
  virtual void ContentsAdded(TQCContentsItem* item);
  virtual void ContentsDeleted(TQCContentsItem* item);
  virtual void ContentsChanged(TQCContentsItem* item);
  virtual void MacroAdded(TQCTextMacro* macro);
  virtual void MacroDeleted(TQCTextMacro* macro);
  virtual void MacroChanged(TQCTextMacro* macro);
  virtual void StatusAdded(TQCStatus* status);
  virtual void StatusDeleted(TQCStatus* status);
  virtual void StatusChanged(TQCStatus* status);
  virtual void TopicAdded(TQCTopic* topic);
  virtual void TopicDeleted(TQCTopic* topic);
  virtual void TopicChanged(TQCTopic* topic);

  // --- Events ------------------------------------------------------------------------
  TNotifyEvent OnChange;
  TNotifyEvent OnContentChange;
  TNotifyEvent OnUndoSizeChange;
  TNotifyEvent OnRecentFilesChange;
  TNotifyEvent OnFontChange;
  TQCTopicEvent OnAddTopic;
  TQCTopicEvent OnDeleteTopic;
  /// After any change to one topic; with topic none after changes to the whole collection.
  TQCTopicEvent OnTopicChange;
  TQCContentsEvent OnAddContents;
  TQCContentsEvent OnDeleteContents;
  TQCContentsEvent OnContentsChange;
  TQCTextMacroEvent OnAddMacro;
  TQCTextMacroEvent OnDeleteMacro;
  TQCTextMacroEvent OnMacroChange;

  // --- Record reading and writing ------------------------------------------------
  // One record each, on a text stream positioned at it; the whole-file
  // operations above are built from them. They serve also the document's
  // side operations (topic import, settings file), which live in their own files.

  /// Reads one topic record into Topic, which is in this document's topics:
  /// the ID is stored as read (duplicates allowed) and the topic re-sorted
  /// into place. DesiredID is used by the import variant only.
  virtual void ReadTopic(TGTextStream& stream, TQCTopic& topic, int32_t desiredID);
  /// Reads one topic record into a topic outside any collection, storing
  /// every field as read (no uniqueness test, no notices): the raw record
  /// for callers that place the topic themselves.
  void ReadTopicFields(TGTextStream& stream, TQCTopic& detached);
  /// Reads one contents line into Item.
  virtual void ReadContentsItem(TGTextStream& stream, TQCContentsItem& item);
  /// Reads one text macro record into Macro.
  virtual void ReadTextMacro(TGTextStream& stream, TQCTextMacro& macro);
  /// Reads the header and project options into Options (with the version
  /// checks); Options keeps the values of groups the file's version lacks.
  virtual void ReadHeader(TGTextStream& stream, TQCProjectOptions& options);
  /// Clears List, then reads a count and that many lines into it.
  static void ReadStrings(TGTextStream& stream, TStrings& list);

  virtual void WriteHeader(TGTextStream& stream) const;
  virtual void WriteTopics(TGTextStream& stream) const;
  virtual void WriteTopic(TGTextStream& stream, const TQCTopic& topic) const;
  virtual void WriteWindowDefinitions(TGTextStream& stream) const;
  virtual void WriteContents(TGTextStream& stream) const;
  virtual void WriteContentsLinks(TGTextStream& stream) const;
  virtual void WriteContentsIndices(TGTextStream& stream) const;
  virtual void WriteContentsItems(TGTextStream& stream) const;
  virtual void WriteContentsItem(TGTextStream& stream, const TQCContentsItem& item) const;
  virtual void WriteTextMacros(TGTextStream& stream) const;
  virtual void WriteTextMacro(TGTextStream& stream, const TQCTextMacro& macro) const;
  static void WriteStrings(TGTextStream& stream, const TStrings& list);
  static void WriteBoolean(TGTextStream& stream, bool value);

  // --- Topic links, topic import and the settings file --------------------------
  // (QuillcrafterDocLinks.cpp, QuillcrafterDocImport.cpp, QuillcrafterDocSettings.cpp)

  /// Rewrites every kind-0 link marker of Topic whose target ID Map holds to
  /// the mapped ID (same style); one change notice when anything changed.
  /// Any error comes back as EQCException naming the topic's ID and title.
  void RemapTopicLinks(TQCTopic& topic, const TQCTopicIDMap& map);
  void RemapTopicLinks(TQCTopic& topic, const TGHashIntTable& map);
  /// RemapTopicLinks for every topic in order.
  void RemapAllTopicLinks(const TQCTopicIDMap& map);
  void RemapAllTopicLinks(const TGHashIntTable& map);

  /// Adds the topic records of Stream (a count, then the records) as new
  /// topics. Each takes DesiredID (its own ID when -1) or, when that is in
  /// use, the next free ID above it; links among the imported topics follow
  /// the renumbering. On any failure the imported topics are removed again.
  void ImportTopics(int32_t desiredID, TGTextStream& stream, bool select);
  /// Inserts the contents lines of Stream (a count, then the lines) at
  /// Index (appends when -1), re-levelled under the item before Index; stops
  /// early at the end of the data. On any failure the inserted items are
  /// removed again.
  void ImportContents(int index, TGTextStream& stream, bool select);

  /// Writes the settings file (header and options, recent files, topic ID
  /// settings, fonts, statuses, QCLocation); Modified stays as it was.
  void SaveSettingsToStream(TStream& stream) const;
  /// Reads a settings file; the settings after the recent files that the
  /// data no longer holds keep their values. Nothing changes when reading
  /// fails; Modified stays as it was.
  void LoadSettingsFromStream(TStream& stream);
  /// One font record: colour, name, character set, size, height, styles.
  static void WriteFont(TGTextStream& stream, const TFont& font);
  static void ReadFont(TFont& font, TGTextStream& stream);

 protected:
  /// The document font changed: statuses follow it, then OnFontChange.
  virtual void FontChanged();
  /// Writes the whole file without touching Modified.
  void WriteDocument(TStream& stream) const;

 private:
  friend class TQCProjectReader;
  template <class Event, class Item>
  void Fire(const Event& event, Item* item) {
    if (event && !FDestroying) event(this, item);
  }
  void FireChange() {
    if (OnChange && !FDestroying) OnChange(this);
  }

  float FVersion = 1.0f;
  std::unique_ptr<TFont> FFont;
  int FUndoStackSize = 32;
  std::unique_ptr<TQCProjectOptions> FOptions;
  std::unique_ptr<TQCContentsItems> FContents;
  int FContentIndex = -1;
  std::unique_ptr<TQCTextMacros> FTextMacros;
  std::unique_ptr<TQCTopics> FTopics;
  int FTopicIndex = -1;
  int FTopicGrid = 10;
  int FTopicIncrement = 1;
  std::unique_ptr<TStringList> FContentsLinks;
  std::unique_ptr<TStringList> FContentsIndices;
  std::unique_ptr<TStringList> FWindowDefinitions;
  bool FTopicGridEnabled = false;
  std::unique_ptr<TRecentFiles> FRecentFiles;
  std::unique_ptr<TQCStatuses> FStatuses;
  std::string FQCLocation;
  bool FModified = false;
  std::vector<std::string> FLoadWarnings;
  bool FDestroying = false;
  bool FFontBusy = false;
};
