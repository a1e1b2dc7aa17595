#pragma once
// The collections a help project document holds: topics, the table of
// contents, text macros and statuses, with the items' change notices that
// reach the document.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "containers/Structures.h"
#include "document/KVDeltaFont.h"
#include "document/QuillcrafterDocTypes.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

class TQuillcrafterDoc;
class TQCTopics;
class TQCRichTextTarget;

/// Raised by the project file reader, with a message text.
QC_DECLARE_EXCEPTION(EQCException, Exception);

/// A collection item with a Selected flag that its collection counts.
class TQCCollectionItem : public TGCollectionItem {
 public:
  std::string ClassName() const override { return "TQCCollectionItem"; }

  bool Selected() const { return FSelected; }
  void SetSelected(bool value);
  /// The document of the item's collection, or none.
  TQuillcrafterDoc* Document() const;

  /// Copies Selected from another item of this kind (the collection's count
  /// follows) and marks this item changed.
  void Assign(const TPersistent& source) override;

 protected:
  void MarkChanged() { Changed(false); }

 private:
  friend class TQCCollection;
  bool FSelected = false;
};

/// An owned collection of a document that counts its Selected items.
class TQCCollection : public TGCollection {
 public:
  TQCCollection(TQuillcrafterDoc* document, const TCollectionItemClass& itemClass);
  std::string ClassName() const override { return "TQCCollection"; }

  TQuillcrafterDoc* Document() const { return FDocument; }
  int SelectedCount() const { return FSelectedCount; }

 protected:
  friend class TQCCollectionItem;
  /// An item's Selected flag turned to Selected.
  virtual void SelectedChanged(TQCCollectionItem* item, bool selected);
  /// An item that leaves the collection takes its selection along.
  void Notify(TCollectionItem* item, TCollectionNotification action) override;

 private:
  TQuillcrafterDoc* FDocument;
  int FSelectedCount = 0;
};

// --- Topics -----------------------------------------------------------------

/// One help topic: identity (TopicID, ContextString), index data and the
/// body as RTF, one string per line.
class TQCTopic : public TQCCollectionItem {
 public:
  /// A new topic for Collection (not yet in it): title "<new topic>", the
  /// new-topic body, status "Writing", and, in a document's topics, the
  /// next free ID after the last topic.
  explicit TQCTopic(TCollection* collection = nullptr);
  ~TQCTopic() override;
  std::string ClassName() const override { return "TQCTopic"; }
  /// The title, or the class name when the title is empty.
  std::string GetDisplayName() const override;
  /// The display name without a copy (valid until the title changes).
  std::string_view DisplayNameView() const;

  int32_t TopicID() const { return FTopicID; }
  /// Ignored when another topic of the collection has Value; otherwise moves
  /// the topic to its sorted place and resets ContextString to "Inkwells" + Value.
  void SetTopicID(int32_t value);
  const std::string& ContextString() const { return FContextString; }
  void SetContextString(const std::string& value);
  const std::string& Title() const { return FTitle; }
  /// Also replaces the first occurrence of the old title in the body.
  void SetTitle(const std::string& value);
  const std::string& Keywords() const { return FKeywords; }
  void SetKeywords(const std::string& value);
  const std::string& DelphiKeywords() const { return FDelphiKeywords; }
  void SetDelphiKeywords(const std::string& value);
  const std::string& BuildTag() const { return FBuildTag; }
  void SetBuildTag(const std::string& value);
  const std::string& BrowseSequence() const { return FBrowseSequence; }
  void SetBrowseSequence(const std::string& value);
  int32_t BrowseSequenceNum() const { return FBrowseSequenceNum; }
  void SetBrowseSequenceNum(int32_t value);
  const std::string& Status() const { return FStatus; }
  void SetStatus(const std::string& value);
  const std::string& Window() const { return FWindow; }
  void SetWindow(const std::string& value);
  const std::string& EntryMacro() const { return FEntryMacro; }
  void SetEntryMacro(const std::string& value);
  const std::string& AKeywords() const { return FAKeywords; }
  void SetAKeywords(const std::string& value);
  bool Bookmark() const { return FBookmark; }
  void SetBookmark(bool value);

  /// The body, one RTF line per entry; any change to it marks the topic changed.
  TStrings& Text() { return *FText; }
  const TStrings& Text() const { return *FText; }
  /// Replaces the lines by a copy of Value.
  void SetText(const TStrings& value);
  /// Every line followed by CR LF.
  std::string WholeText() const;
  /// Splits Value at CR LF, CR or LF into the lines.
  void SetWholeText(std::string_view value);
  /// True when both whole texts are the same bytes (computed without joining).
  bool TextEquals(const TQCTopic& other) const;

  /// True when Other is a topic and every field of the field table
  /// (TopicFields.h), the whole text included, is equal.
  virtual bool IsEqual(const TObject* other) const;
  /// Copies every field of the table that is not the topic's identity (all
  /// but TopicID and ContextString), then Selected.
  void Assign(const TPersistent& source) override;

  void SetIndex(int value) override;
  void AfterConstruction() override;
  TQCTopics* Topics() const;

 protected:
  /// The body's lines changed.
  virtual void TextChanged();

 private:
  friend class TQCTopics;
  friend class TQuillcrafterDoc;
  friend class TQCProjectReader;
  friend struct TTopicFieldAccess;  // the field table (TopicFields.cpp)
  /// A topic for the reader to fill: every field empty, no body lines (a
  /// reader sets every field, and the new-topic ones would only be freed).
  struct TToBeRead {};
  explicit TQCTopic(TToBeRead);
  void SetStringField(std::string& field, const std::string& value);
  /// Raw stores for the reader: no uniqueness test, no re-sort, no notice.
  void StoreTopicID(int32_t id) { FTopicID = id; }
  void StoreTitle(const std::string& title);

  int32_t FTopicID = 0;
  std::string FContextString;
  std::string FTitle;
  std::string FKeywords;
  std::string FDelphiKeywords;
  std::string FBuildTag;
  std::string FBrowseSequence;
  int32_t FBrowseSequenceNum = 0;
  std::string FStatus;
  std::string FWindow;
  std::string FEntryMacro;
  std::string FAKeywords;
  bool FBookmark = false;
  std::unique_ptr<TStringList> FText;
};

/// The topics of a document, kept in ascending TopicID order by the TopicID
/// setter and the reader.
class TQCTopics : public TQCCollection {
 public:
  explicit TQCTopics(TQuillcrafterDoc* document);
  ~TQCTopics() override;
  std::string ClassName() const override { return "TQCTopics"; }

  TQCTopic* Items(int index) const { return static_cast<TQCTopic*>(TQCCollection::Items(index)); }
  TQCTopic* operator[](int index) const { return Items(index); }
  TQCTopic* Add() { return static_cast<TQCTopic*>(TQCCollection::Add()); }
  TQCTopic* Insert(int index) { return static_cast<TQCTopic*>(TQCCollection::Insert(index)); }

  /// Index of the first topic in collection order whose TopicID is ID, or
  /// -1. (A binary search while the collection is in ascending order, which
  /// gives the same first match as a scan.)
  int IndexOfTopicID(int32_t id) const;
  /// Binary search for ID over the collection assumed ascending: the index
  /// of an equal ID, or the place where ID belongs.
  int FindInsertPosition(int32_t id) const;
  /// True when the topics stand in ascending (non-decreasing) ID order.
  bool IsInIDOrder() const;

  /// From topics: one new topic per source topic, assigned from it, with
  /// its Selected flag and then its ID through the setter.
  void Assign(const TPersistent& source) override;

  /// Goes up by one on every change that can alter a match: topics added,
  /// removed, moved, renumbered or retitled. Indexes over the topics compare
  /// it with the value they were built at.
  uint64_t Generation() const { return FGeneration; }

 protected:
  /// Into a string list: "%s (%d)" of display name and ID, with the topic
  /// attached; anything else as the generic collection does.
  void AssignTo(TPersistent& dest) const override;
  void Notify(TCollectionItem* item, TCollectionNotification action) override;
  void Update(TCollectionItem* item) override;

 private:
  friend class TQCTopic;
  friend class TQuillcrafterDoc;
  friend class TQCProjectReader;
  enum class TOrder : uint8_t { Unknown, Ascending, Unordered };
  void Touch() { ++FGeneration; }
  void OrderUnknown() {
    FOrder = TOrder::Unknown;
    Touch();
  }
  void OrderAscending() { FOrder = TOrder::Ascending; }

  uint64_t FGeneration = 1;
  mutable TOrder FOrder = TOrder::Ascending;
};

// --- Table of contents --------------------------------------------------------

/// One line of the table of contents: a level (1 = top), a title and an
/// optional link "Inkwells<ID>" resolved to a topic of the same document.
class TQCContentsItem : public TQCCollectionItem {
 public:
  explicit TQCContentsItem(TCollection* collection = nullptr);
  ~TQCContentsItem() override;
  std::string ClassName() const override { return "TQCContentsItem"; }
  std::string GetDisplayName() const override { return FTitle; }

  int32_t Level() const { return FLevel; }
  void SetLevel(int32_t value);
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value);
  const std::string& Link() const { return FLink; }
  /// Resolves LinkedTopic from "Inkwells" + ID when the item is in a document.
  void SetLink(const std::string& value);
  TQCTopic* LinkedTopic() const { return FLinkedTopic; }
  void SetLinkedTopic(TQCTopic* value);

  /// Level, Title, Link (through its setter), then Selected.
  void Assign(const TPersistent& source) override;
  /// Forgets LinkedTopic when that topic goes away.
  void Unlink(TGCollectionItem* other) override;

 protected:
  /// Rewrites the link text from LinkedTopic ("Inkwells" + ID, or empty).
  virtual void UpdateLink();

 private:
  int32_t FLevel = 0;
  std::string FTitle;
  std::string FLink;
  TQCTopic* FLinkedTopic = nullptr;
};

/// The nodes of a tree view as the contents export sees them. The Qt layer
/// adapts it to its tree widget; Node is an opaque handle, nullptr for none.
class TQCTreeNodes {
 public:
  using Node = void*;
  virtual ~TQCTreeNodes() = default;
  virtual void BeginUpdate() {}
  virtual void EndUpdate() {}
  virtual void Clear() = 0;
  /// Appends a node after the last sibling of Sibling (a root when Sibling is none).
  virtual Node AddSibling(Node sibling, const std::string& text, TQCContentsItem* item) = 0;
  /// Appends a node as the last child of Parent (a root when Parent is none).
  virtual Node AddChild(Node parent, const std::string& text, TQCContentsItem* item) = 0;
  virtual Node Parent(Node node) const = 0;
};

/// The table of contents, in display order.
class TQCContentsItems : public TQCCollection {
 public:
  explicit TQCContentsItems(TQuillcrafterDoc* document);
  ~TQCContentsItems() override;
  std::string ClassName() const override { return "TQCContentsItems"; }

  TQCContentsItem* Items(int index) const {
    return static_cast<TQCContentsItem*>(TQCCollection::Items(index));
  }
  TQCContentsItem* operator[](int index) const { return Items(index); }
  TQCContentsItem* Add() { return static_cast<TQCContentsItem*>(TQCCollection::Add()); }
  TQCContentsItem* Insert(int index) { return static_cast<TQCContentsItem*>(TQCCollection::Insert(index)); }

  /// Gives item Index the level NewLevel and moves its subtree along;
  /// returns the last index of that subtree.
  virtual int SetItemLevel(int index, int32_t newLevel);
  /// Rebuilds Nodes as a tree of the items (see the levels rule in the .cpp).
  void AssignTo(TQCTreeNodes& nodes) const;
  using TQCCollection::AssignTo;

 protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override;
  void Update(TCollectionItem* item) override;
};

// --- Text macros ----------------------------------------------------------------

/// One named text style. A name from SyntaxMacroNames makes it a syntax
/// macro of that language. ApplyTo puts the macro's formatting onto the
/// selection of a rich-text view, reached through TQCRichTextTarget.
class TQCTextMacro : public TGCollectionItem {
 public:
  explicit TQCTextMacro(TCollection* collection = nullptr);
  ~TQCTextMacro() override;
  std::string ClassName() const override { return "TQCTextMacro"; }
  std::string GetDisplayName() const override { return FName; }
  TQuillcrafterDoc* Document() const;

  const std::string& Name() const { return FName; }
  /// Also decides IsSyntaxMacro and SyntaxType from the name.
  void SetName(const std::string& value);
  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  const std::string& TypeFace() const { return FTypeFace; }
  void SetTypeFace(const std::string& value);
  int32_t Unknown1() const { return FUnknown1; }
  void SetUnknown1(int32_t value);
  int32_t Size() const { return FSize; }
  void SetSize(int32_t value);
  int32_t Unknown2() const { return FUnknown2; }
  void SetUnknown2(int32_t value);
  TFontStyles Style() const { return FStyle; }
  void SetStyle(TFontStyles value);
  TAlignment Alignment() const { return FAlignment; }
  void SetAlignment(TAlignment value);
  bool Bullet() const { return FBullet; }
  void SetBullet(bool value);
  int32_t LeftMargin() const { return FLeftMargin; }
  void SetLeftMargin(int32_t value);
  int32_t RightMargin() const { return FRightMargin; }
  void SetRightMargin(int32_t value);
  int32_t Indent() const { return FIndent; }
  void SetIndent(int32_t value);
  /// One tab stop per line.
  TStrings& Tabs() { return *FTabs; }
  const TStrings& Tabs() const { return *FTabs; }
  void SetTabs(const TStrings& value);
  TSyntaxType SyntaxType() const { return FSyntaxType; }
  void SetSyntaxType(TSyntaxType value);
  bool IsSyntaxMacro() const { return FIsSyntaxMacro; }

  /// Copies every field, IsSyntaxMacro included (the name is stored as it is).
  void Assign(const TPersistent& source) override;

 protected:
  /// The tab list changed.
  virtual void TabsChanged();

 public:
  /// Puts the macro onto RichEdit's selection: character, paragraph and tab
  /// attributes, or, for a syntax macro, source-code colours (through the
  /// system clipboard, whose content is replaced). The macro is not changed.
  /// A tab line that is not an integer raises EConvertError before anything
  /// is changed.
  virtual void ApplyTo(TQCRichTextTarget& richEdit) const;

 private:
  template <class T>
  void SetField(T& field, const T& value);

  std::string FName;
  TColor FColor = 0;
  std::string FTypeFace;
  int32_t FUnknown1 = 0;
  int32_t FSize = 0;
  int32_t FUnknown2 = 0;
  TFontStyles FStyle;
  TAlignment FAlignment = taLeftJustify;
  bool FBullet = false;
  int32_t FLeftMargin = 0;
  int32_t FRightMargin = 0;
  int32_t FIndent = 0;
  std::unique_ptr<TStringList> FTabs;
  TSyntaxType FSyntaxType = TSyntaxType::stDelphi;
  bool FIsSyntaxMacro = false;
};

/// The text styles of a document.
class TQCTextMacros : public TGCollection {
 public:
  explicit TQCTextMacros(TQuillcrafterDoc* document);
  ~TQCTextMacros() override;
  std::string ClassName() const override { return "TQCTextMacros"; }

  TQuillcrafterDoc* Document() const { return FDocument; }
  TQCTextMacro* Items(int index) const { return static_cast<TQCTextMacro*>(TGCollection::Items(index)); }
  TQCTextMacro* operator[](int index) const { return Items(index); }
  TQCTextMacro* Add() { return static_cast<TQCTextMacro*>(TGCollection::Add()); }

 protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override;
  void Update(TCollectionItem* item) override;

 private:
  TQuillcrafterDoc* FDocument;
};

// --- Statuses -----------------------------------------------------------------

/// One topic status: a name and the font it is shown in, relative to the
/// document font.
class TQCStatus : public TCollectionItem {
 public:
  explicit TQCStatus(TCollection* collection = nullptr);
  std::string ClassName() const override { return "TQCStatus"; }
  std::string GetDisplayName() const override { return FText; }

  const std::string& Text() const { return FText; }
  void SetText(const std::string& value);
  TKVCustomDeltaFont& Font() { return FFont; }
  const TKVCustomDeltaFont& Font() const { return FFont; }
  /// Copies Value into the owned font.
  void SetFont(const TFont& value);

  void Assign(const TPersistent& source) override;

 private:
  std::string FText;
  TKVCustomDeltaFont FFont;
};

/// The topic statuses of a document.
class TQCStatuses : public TOwnedCollection {
 public:
  explicit TQCStatuses(TQuillcrafterDoc* document);
  ~TQCStatuses() override;
  std::string ClassName() const override { return "TQCStatuses"; }

  TQuillcrafterDoc* Document() const { return FDocument; }
  TQCStatus* Items(int index) const { return static_cast<TQCStatus*>(TOwnedCollection::Items(index)); }
  TQCStatus* operator[](int index) const { return Items(index); }
  TQCStatus* Add() { return static_cast<TQCStatus*>(TOwnedCollection::Add()); }
  /// First status whose Text equals Text ignoring ASCII letter case, or -1.
  int IndexOfText(const std::string& text) const;

 protected:
  void Notify(TCollectionItem* item, TCollectionNotification action) override;
  void Update(TCollectionItem* item) override;

 private:
  TQuillcrafterDoc* FDocument;
};
