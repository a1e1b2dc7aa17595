// Table of contents, text macros and statuses of the document.
#include <algorithm>

#include "document/QuillcrafterDoc.h"
#include "toolkit/ScopeGuard.h"
#include "toolkit/StoreChanged.h"

// --- TQCContentsItem ----------------------------------------------------------

TQCContentsItem::TQCContentsItem(TCollection* /*collection*/) {}

TQCContentsItem::~TQCContentsItem() { FLinkedTopic = nullptr; }

void TQCContentsItem::SetLevel(int32_t value) {
  if (StoreChanged(FLevel, value)) MarkChanged();
}

void TQCContentsItem::SetTitle(const std::string& value) {
  if (StoreChanged(FTitle, value)) MarkChanged();
}

void TQCContentsItem::SetLink(const std::string& value) {
  if (FLink == value) return;
  if (FLinkedTopic) {
    TQCTopic* old = FLinkedTopic;
    FLinkedTopic = nullptr;
    RemoveLinks(old);
  }
  const size_t at = value.find(QCContextPrefix);
  TQuillcrafterDoc* document = Document();
  if (at != std::string::npos && document) {
    std::string number = value;
    number.erase(at, std::char_traits<char>::length(QCContextPrefix));
    int32_t id = 0;
    if (TryStrToInt(number, id)) {
      const int index = document->Topics().IndexOfTopicID(id);
      if (index >= 0) {
        FLinkedTopic = document->Topics().Items(index);
        TGCollectionItem::Link(FLinkedTopic);
      }
    }
  }
  FLink = value;
  MarkChanged();
}

void TQCContentsItem::SetLinkedTopic(TQCTopic* value) {
  if (FLinkedTopic == value) return;
  TQCTopic* old = FLinkedTopic;
  FLinkedTopic = value;
  if (old) RemoveLinks(old);
  if (value) TGCollectionItem::Link(value);
  UpdateLink();
  MarkChanged();
}

void TQCContentsItem::UpdateLink() {
  FLink = FLinkedTopic ? QCContextPrefix + std::to_string(FLinkedTopic->TopicID()) : std::string();
}

void TQCContentsItem::Unlink(TGCollectionItem* other) {
  TQCCollectionItem::Unlink(other);
  if (other != nullptr && other == FLinkedTopic) SetLinkedTopic(nullptr);
}

void TQCContentsItem::Assign(const TPersistent& source) {
  const auto* item = AssignSource<TQCCollectionItem>(*this, source);
  if (item == nullptr) return;
  FLevel = item->FLevel;
  FTitle = item->FTitle;
  SetLink(item->FLink);
  TQCCollectionItem::Assign(source);
}

// --- TQCContentsItems -----------------------------------------------------------

TQCContentsItems::TQCContentsItems(TQuillcrafterDoc* document)
    : TQCCollection(document, TCollectionItemClass::Of<TQCContentsItem>()) {}

TQCContentsItems::~TQCContentsItems() {
  BeginUpdate();
  Clear();
}

int TQCContentsItems::SetItemLevel(int index, int32_t newLevel) {
  toolkit::TUpdateBracket update(*this);
  int last = Count() - 1;
  TQCContentsItem* item = Items(index);
  const int32_t oldLevel = item->Level();
  item->SetLevel(newLevel);
  for (int i = index + 1; i < Count(); ++i) {
    TQCContentsItem* next = Items(i);
    if (next->Level() <= oldLevel) {
      last = i - 1;
      break;
    }
    next->SetLevel(next->Level() - oldLevel + newLevel);
  }
  return last;
}

void TQCContentsItems::AssignTo(TQCTreeNodes& nodes) const {
  toolkit::TUpdateBracket update(nodes);
  nodes.Clear();
  int32_t previousLevel = 1;
  TQCTreeNodes::Node last = nullptr;
  for (int i = 0; i < Count(); ++i) {
    TQCContentsItem* item = Items(i);
    const int32_t level = item->Level();
    const std::string text = item->GetDisplayName();
    if (level <= 1) {
      last = nodes.AddChild(nullptr, text, item);
    } else if (level == previousLevel) {
      last = nodes.AddSibling(last, text, item);
    } else if (level > previousLevel) {
      // Missing levels in between get blank nodes, each under the one before.
      TQCTreeNodes::Node parent = last;
      for (int32_t k = 0; k < level - previousLevel - 1; ++k) parent = nodes.AddChild(parent, "", nullptr);
      last = nodes.AddChild(parent, text, item);
    } else {
      TQCTreeNodes::Node parent = last;
      for (int32_t k = 0; k < previousLevel - level + 1 && parent != nullptr; ++k)
        parent = nodes.Parent(parent);
      last = nodes.AddChild(parent, text, item);
    }
    previousLevel = level;
  }
}

void TQCContentsItems::Notify(TCollectionItem* item, TCollectionNotification action) {
  TQCCollection::Notify(item, action);
  if (TQuillcrafterDoc* document = Document()) {
    auto* contentsItem = static_cast<TQCContentsItem*>(item);
    if (action == TCollectionNotification::cnAdded)
      document->ContentsAdded(contentsItem);
    else
      document->ContentsDeleted(contentsItem);
  }
}

void TQCContentsItems::Update(TCollectionItem* item) {
  if (TQuillcrafterDoc* document = Document()) document->ContentsChanged(static_cast<TQCContentsItem*>(item));
}

// --- TQCTextMacro -------------------------------------------------------------------

TQCTextMacro::TQCTextMacro(TCollection* /*collection*/) : FTabs(std::make_unique<TStringList>()) {
  FTabs->OnChange = [this](TObject*) { TabsChanged(); };
}

TQCTextMacro::~TQCTextMacro() { FTabs->OnChange = nullptr; }

TQuillcrafterDoc* TQCTextMacro::Document() const {
  const auto* macros = dynamic_cast<const TQCTextMacros*>(Collection());
  return macros ? macros->Document() : nullptr;
}

template <class T>
void TQCTextMacro::SetField(T& field, const T& value) {
  if (field == value) return;
  field = value;
  Changed(false);
}

void TQCTextMacro::SetName(const std::string& value) {
  if (FName == value) return;
  FIsSyntaxMacro = false;
  for (size_t k = 0; k < SyntaxMacroNames.size(); ++k) {
    if (value == SyntaxMacroNames[k]) {
      FIsSyntaxMacro = true;
      FSyntaxType = static_cast<TSyntaxType>(k);
      break;
    }
  }
  FName = value;
  Changed(false);
}

void TQCTextMacro::SetColor(TColor value) { SetField(FColor, value); }
void TQCTextMacro::SetTypeFace(const std::string& value) { SetField(FTypeFace, value); }
void TQCTextMacro::SetUnknown1(int32_t value) { SetField(FUnknown1, value); }
void TQCTextMacro::SetSize(int32_t value) { SetField(FSize, value); }
void TQCTextMacro::SetUnknown2(int32_t value) { SetField(FUnknown2, value); }
void TQCTextMacro::SetStyle(TFontStyles value) { SetField(FStyle, value); }
void TQCTextMacro::SetAlignment(TAlignment value) { SetField(FAlignment, value); }
void TQCTextMacro::SetBullet(bool value) { SetField(FBullet, value); }
void TQCTextMacro::SetLeftMargin(int32_t value) { SetField(FLeftMargin, value); }
void TQCTextMacro::SetRightMargin(int32_t value) { SetField(FRightMargin, value); }
void TQCTextMacro::SetIndent(int32_t value) { SetField(FIndent, value); }
void TQCTextMacro::SetSyntaxType(TSyntaxType value) { SetField(FSyntaxType, value); }

void TQCTextMacro::SetTabs(const TStrings& value) {
  if (&value != FTabs.get()) FTabs->Assign(value);
}

void TQCTextMacro::TabsChanged() { Changed(false); }

void TQCTextMacro::Assign(const TPersistent& source) {
  const auto* macro = AssignSource<TGCollectionItem>(*this, source);
  if (macro == nullptr) return;
  FName = macro->FName;
  FColor = macro->FColor;
  FTypeFace = macro->FTypeFace;
  FUnknown1 = macro->FUnknown1;
  FSize = macro->FSize;
  FUnknown2 = macro->FUnknown2;
  FStyle = macro->FStyle;
  FAlignment = macro->FAlignment;
  FBullet = macro->FBullet;
  FLeftMargin = macro->FLeftMargin;
  FRightMargin = macro->FRightMargin;
  FIndent = macro->FIndent;
  FSyntaxType = macro->FSyntaxType;
  FIsSyntaxMacro = macro->FIsSyntaxMacro;
  FTabs->Assign(*macro->FTabs);
  Changed(false);
}

// --- TQCTextMacros -------------------------------------------------------------------

TQCTextMacros::TQCTextMacros(TQuillcrafterDoc* document)
    : TGCollection(document, TCollectionItemClass::Of<TQCTextMacro>()), FDocument(document) {}

TQCTextMacros::~TQCTextMacros() {
  BeginUpdate();
  Clear();
}

void TQCTextMacros::Notify(TCollectionItem* item, TCollectionNotification action) {
  TGCollection::Notify(item, action);
  if (FDocument == nullptr) return;
  auto* macro = static_cast<TQCTextMacro*>(item);
  if (action == TCollectionNotification::cnAdded)
    FDocument->MacroAdded(macro);
  else
    FDocument->MacroDeleted(macro);
}

void TQCTextMacros::Update(TCollectionItem* item) {
  if (FDocument) FDocument->MacroChanged(static_cast<TQCTextMacro*>(item));
}

// --- TQCStatus ------------------------------------------------------------------------

TQCStatus::TQCStatus(TCollection* collection) {
  // A status font starts as a copy of the document font and follows it.
  if (auto* statuses = dynamic_cast<TQCStatuses*>(collection); statuses && statuses->Document()) {
    TQuillcrafterDoc* document = statuses->Document();
    FFont.Assign(document->Font());
    FFont.OnGetParentFont = [document]() -> const TFont* { return &document->Font(); };
  }
}

void TQCStatus::SetText(const std::string& value) {
  if (StoreChanged(FText, value)) Changed(false);
}

void TQCStatus::SetFont(const TFont& value) {
  FFont.Assign(value);
  Changed(false);
}

void TQCStatus::Assign(const TPersistent& source) {
  const auto* status = AssignSource<TCollectionItem>(*this, source);
  if (status == nullptr) return;
  FText = status->FText;
  SetFont(status->FFont);
}

// --- TQCStatuses ----------------------------------------------------------------------

TQCStatuses::TQCStatuses(TQuillcrafterDoc* document)
    : TOwnedCollection(document, TCollectionItemClass::Of<TQCStatus>()), FDocument(document) {}

TQCStatuses::~TQCStatuses() {
  BeginUpdate();
  Clear();
}

int TQCStatuses::IndexOfText(const std::string& text) const {
  for (int i = 0; i < Count(); ++i)
    if (SameText(Items(i)->Text(), text)) return i;
  return -1;
}

void TQCStatuses::Notify(TCollectionItem* item, TCollectionNotification action) {
  TOwnedCollection::Notify(item, action);
  if (FDocument == nullptr) return;
  auto* status = static_cast<TQCStatus*>(item);
  if (action == TCollectionNotification::cnAdded)
    FDocument->StatusAdded(status);
  else
    FDocument->StatusDeleted(status);
}

void TQCStatuses::Update(TCollectionItem* item) {
  if (FDocument) FDocument->StatusChanged(static_cast<TQCStatus*>(item));
}
