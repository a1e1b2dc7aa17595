// Topics and the selectable collection base of the document.
#include <algorithm>

#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"
#include "toolkit/ScopeGuard.h"
#include "toolkit/StoreChanged.h"

namespace {

/// The body of a new topic: its title in 16-point bold blue Arial and an
/// empty paragraph, so that giving the topic its title replaces "<new topic>".
const char* const kNewTopicBody[] = {
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset0 "
    "Arial;}}",
    "{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 <new "
    "topic>\\cf0\\b0\\fs20"
    "\\par"
    "\\par }",
};
const char* const kNewTopicTitle = "<new topic>";
const char* const kNewTopicStatus = "Writing";

std::string DefaultContextString(int32_t id) { return QCContextPrefix + std::to_string(id); }

}  // namespace

// --- TQCCollectionItem / TQCCollection ------------------------------------------

TQuillcrafterDoc* TQCCollectionItem::Document() const {
  const auto* collection = dynamic_cast<const TQCCollection*>(Collection());
  return collection ? collection->Document() : nullptr;
}

void TQCCollectionItem::SetSelected(bool value) {
  if (!StoreChanged(FSelected, value)) return;
  if (auto* collection = dynamic_cast<TQCCollection*>(Collection())) collection->SelectedChanged(this, value);
}

void TQCCollectionItem::Assign(const TPersistent& source) {
  const auto* item = dynamic_cast<const TQCCollectionItem*>(&source);
  if (item == nullptr) {
    TGCollectionItem::Assign(source);
    return;
  }
  // The flag is copied as a plain value, but the collection's count must
  // follow it, or SelectedCount drifts (and goes negative when the item leaves).
  if (FSelected != item->FSelected) {
    FSelected = item->FSelected;
    if (auto* collection = dynamic_cast<TQCCollection*>(Collection()))
      collection->SelectedChanged(this, FSelected);
  }
  MarkChanged();
}

TQCCollection::TQCCollection(TQuillcrafterDoc* document, const TCollectionItemClass& itemClass)
    : TGCollection(document, itemClass), FDocument(document) {}

void TQCCollection::SelectedChanged(TQCCollectionItem* /*item*/, bool selected) {
  FSelectedCount += selected ? 1 : -1;
}

void TQCCollection::Notify(TCollectionItem* item, TCollectionNotification action) {
  if (action == TCollectionNotification::cnAdded) {
    // An item moved in from elsewhere brings its selection along.
    if (static_cast<TQCCollectionItem*>(item)->FSelected) ++FSelectedCount;
  } else if (action == TCollectionNotification::cnExtracting) {
    if (static_cast<TQCCollectionItem*>(item)->FSelected) --FSelectedCount;
  }
  TGCollection::Notify(item, action);
}

// --- TQCTopic -------------------------------------------------------------------

TQCTopic::TQCTopic(TCollection* collection)
    : FTitle(kNewTopicTitle), FStatus(kNewTopicStatus), FText(std::make_unique<TStringList>()) {
  for (const char* line : kNewTopicBody) FText->Add(line);
  if (auto* topics = dynamic_cast<TQCTopics*>(collection); topics && topics->Document())
    FTopicID = topics->Document()->NextTopicID(-2);
  FText->OnChange = [this](TObject*) { TextChanged(); };
}

TQCTopic::TQCTopic(TToBeRead) : FText(std::make_unique<TStringList>()) {
  FText->OnChange = [this](TObject*) { TextChanged(); };
}

TQCTopic::~TQCTopic() { FText->OnChange = nullptr; }

void TQCTopic::AfterConstruction() { FContextString = DefaultContextString(FTopicID); }

TQCTopics* TQCTopic::Topics() const { return dynamic_cast<TQCTopics*>(Collection()); }

std::string TQCTopic::GetDisplayName() const { return std::string(DisplayNameView()); }

std::string_view TQCTopic::DisplayNameView() const {
  if (FTitle.empty()) return "TQCTopic";
  return FTitle;
}

void TQCTopic::SetStringField(std::string& field, const std::string& value) {
  if (field == value) return;
  field = value;
  MarkChanged();
}

void TQCTopic::SetContextString(const std::string& value) { SetStringField(FContextString, value); }
void TQCTopic::SetKeywords(const std::string& value) { SetStringField(FKeywords, value); }
void TQCTopic::SetDelphiKeywords(const std::string& value) { SetStringField(FDelphiKeywords, value); }
void TQCTopic::SetBuildTag(const std::string& value) { SetStringField(FBuildTag, value); }
void TQCTopic::SetBrowseSequence(const std::string& value) { SetStringField(FBrowseSequence, value); }
void TQCTopic::SetStatus(const std::string& value) { SetStringField(FStatus, value); }
void TQCTopic::SetWindow(const std::string& value) { SetStringField(FWindow, value); }
void TQCTopic::SetEntryMacro(const std::string& value) { SetStringField(FEntryMacro, value); }
void TQCTopic::SetAKeywords(const std::string& value) { SetStringField(FAKeywords, value); }

void TQCTopic::SetBrowseSequenceNum(int32_t value) {
  if (StoreChanged(FBrowseSequenceNum, value)) MarkChanged();
}

void TQCTopic::SetBookmark(bool value) {
  if (StoreChanged(FBookmark, value)) MarkChanged();
}

void TQCTopic::StoreTitle(const std::string& title) {
  FTitle = title;
  // The display name may have changed: matches by title must be looked up again.
  if (TQCTopics* topics = Topics()) topics->Touch();
}

void TQCTopic::SetTitle(const std::string& value) {
  if (FTitle == value) return;
  // Keeps the body's heading in step with the title. An empty old title
  // occurs nowhere in particular, so it replaces nothing.
  if (!FTitle.empty()) {
    std::string whole = WholeText();
    const size_t at = whole.find(FTitle);
    if (at != std::string::npos) {
      whole.replace(at, FTitle.size(), value);
      SetWholeText(whole);
    }
  }
  StoreTitle(value);
  MarkChanged();
}

void TQCTopic::SetTopicID(int32_t value) {
  if (value == FTopicID) return;
  TQCTopics* topics = Topics();
  int oldIndex = -1;
  int newIndex = -1;
  if (topics) {
    if (topics->IndexOfTopicID(value) >= 0) return;  // in use: refused silently
    const int position = topics->FindInsertPosition(value);
    oldIndex = Index();
    newIndex = oldIndex;
    if (oldIndex > position)
      newIndex = position;
    else if (oldIndex < position)
      newIndex = position - 1;
    // The move keeps an ascending collection ascending, so it bypasses our
    // own SetIndex, which would forget the order.
    const bool ascending = topics->FOrder == TQCTopics::TOrder::Ascending;
    if (newIndex != oldIndex) TGCollectionItem::SetIndex(newIndex);
    if (!ascending) topics->OrderUnknown();
    topics->Touch();
  }
  FTopicID = value;
  FContextString = DefaultContextString(value);
  if (topics) {
    TQuillcrafterDoc* document = topics->Document();
    if (document && document->TopicIndex() == oldIndex) document->SetTopicIndex(newIndex);
  }
  MarkChanged();
}

void TQCTopic::SetIndex(int value) {
  if (TQCTopics* topics = Topics()) topics->OrderUnknown();
  TGCollectionItem::SetIndex(value);
}

void TQCTopic::SetText(const TStrings& value) {
  if (&value == FText.get()) return;
  FText->Assign(value);
}

std::string TQCTopic::WholeText() const { return FText->Text(); }

void TQCTopic::SetWholeText(std::string_view value) { FText->SetText(value); }

void TQCTopic::TextChanged() { MarkChanged(); }

namespace {

/// Walks the bytes of a whole text (every line followed by CR LF) in
/// chunks, without joining the lines.
class WholeTextCursor {
 public:
  WholeTextCursor(const TStringList& lines, int firstLine)
      : FLines(lines), FCount(lines.Count()), FLine(firstLine) {}
  bool AtEnd() const { return FLine >= FCount; }
  /// The bytes from here to the end of the current line or its line break.
  std::string_view Chunk() const {
    const std::string& line = FLines[FLine];
    if (FOffset < line.size()) return std::string_view(line).substr(FOffset);
    return std::string_view("\r\n", 2).substr(FOffset - line.size());
  }
  void Advance(size_t n) {
    FOffset += n;
    if (FOffset == FLines[FLine].size() + 2) {
      ++FLine;
      FOffset = 0;
    }
  }

 private:
  const TStringList& FLines;
  const int FCount;
  int FLine;
  size_t FOffset = 0;
};

}  // namespace

bool TQCTopic::TextEquals(const TQCTopic& other) const {
  // Lines may in principle hold line breaks themselves, so two different
  // splits can give the same whole text: compare the bytes, chunk by chunk.
  // Texts mostly share their split, so equal lines are passed at once; both
  // walks then start where the first lines differ, at the same byte.
  const int common = std::min(FText->Count(), other.FText->Count());
  int first = 0;
  while (first < common && (*FText)[first] == (*other.FText)[first]) ++first;
  WholeTextCursor a(*FText, first);
  WholeTextCursor b(*other.FText, first);
  while (!a.AtEnd() && !b.AtEnd()) {
    const std::string_view chunkA = a.Chunk();
    const std::string_view chunkB = b.Chunk();
    const size_t n = std::min(chunkA.size(), chunkB.size());
    if (chunkA.substr(0, n) != chunkB.substr(0, n)) return false;
    a.Advance(n);
    b.Advance(n);
  }
  return a.AtEnd() && b.AtEnd();
}

bool TQCTopic::IsEqual(const TObject* other) const {
  const auto* topic = dynamic_cast<const TQCTopic*>(other);
  if (topic == nullptr) return false;
  for (const TTopicField& field : TopicFields())
    if (!field.Equal(*this, *topic)) return false;
  return true;
}

void TQCTopic::Assign(const TPersistent& source) {
  const auto* topic = AssignSource<TQCCollectionItem>(*this, source);
  if (topic == nullptr) return;
  for (const TTopicField& field : TopicFields())
    if (field.Copy) field.Copy(*this, *topic);
  // Selected, then the change notice.
  TQCCollectionItem::Assign(source);
}

// --- TQCTopics --------------------------------------------------------------------

TQCTopics::TQCTopics(TQuillcrafterDoc* document)
    : TQCCollection(document, TCollectionItemClass::Of<TQCTopic>()) {}

TQCTopics::~TQCTopics() {
  // Cleared here, while this collection is whole, so that the items'
  // partners (contents links) hear of the topics going away.
  BeginUpdate();
  Clear();
}

bool TQCTopics::IsInIDOrder() const {
  if (FOrder == TOrder::Unknown) {
    FOrder = TOrder::Ascending;
    for (int i = 1; i < Count(); ++i)
      if (Items(i - 1)->TopicID() > Items(i)->TopicID()) {
        FOrder = TOrder::Unordered;
        break;
      }
  }
  return FOrder == TOrder::Ascending;
}

int TQCTopics::IndexOfTopicID(int32_t id) const {
  const int count = Count();
  if (IsInIDOrder()) {
    // Lower bound: the first of equal IDs, as a scan would find it.
    int lo = 0;
    int hi = count;
    while (lo < hi) {
      const int mid = lo + (hi - lo) / 2;
      if (Items(mid)->TopicID() < id)
        lo = mid + 1;
      else
        hi = mid;
    }
    return lo < count && Items(lo)->TopicID() == id ? lo : -1;
  }
  for (int i = 0; i < count; ++i)
    if (Items(i)->TopicID() == id) return i;
  return -1;
}

int TQCTopics::FindInsertPosition(int32_t id) const {
  int lo = 0;
  int hi = Count() - 1;
  while (lo <= hi) {
    const int mid = lo + (hi - lo) / 2;
    const int32_t midID = Items(mid)->TopicID();
    if (midID == id) return mid;
    if (id > midID)
      lo = mid + 1;
    else
      hi = mid - 1;
  }
  return hi + 1;
}

void TQCTopics::Assign(const TPersistent& source) {
  const auto* topics = AssignSource<TQCCollection>(*this, source);
  if (topics == nullptr) return;
  toolkit::TUpdateBracket update(*this);
  Clear();
  for (int i = 0; i < topics->Count(); ++i) {
    const TQCTopic* from = topics->Items(i);
    TQCTopic* topic = Add();
    topic->Assign(*from);
    topic->SetTopicID(from->TopicID());
  }
}

void TQCTopics::AssignTo(TPersistent& dest) const {
  auto* list = dynamic_cast<TStringList*>(&dest);
  if (list == nullptr) {
    TQCCollection::AssignTo(dest);
    return;
  }
  toolkit::TUpdateBracket update(*list);
  list->Clear();
  for (int i = 0; i < Count(); ++i) {
    TQCTopic* topic = Items(i);
    list->AddObject(Format("%s (%d)", std::string(topic->DisplayNameView()).c_str(), topic->TopicID()),
                    topic);
  }
}

void TQCTopics::Notify(TCollectionItem* item, TCollectionNotification action) {
  auto* topic = static_cast<TQCTopic*>(item);
  if (action == TCollectionNotification::cnAdded) {
    // Appending keeps the order only when the new ID is not below the last one.
    const int count = Count();
    if (FOrder == TOrder::Ascending && count >= 2 && Items(count - 2)->TopicID() > topic->TopicID())
      FOrder = TOrder::Unordered;
    Touch();
  } else if (action == TCollectionNotification::cnExtracting) {
    Touch();
  }
  TQCCollection::Notify(item, action);
  if (TQuillcrafterDoc* document = Document()) {
    if (action == TCollectionNotification::cnAdded)
      document->TopicAdded(topic);
    else
      document->TopicDeleted(topic);
  }
}

void TQCTopics::Update(TCollectionItem* item) {
  if (TQuillcrafterDoc* document = Document()) document->TopicChanged(static_cast<TQCTopic*>(item));
}
