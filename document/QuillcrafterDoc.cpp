// The document: construction, notices, topic IDs, copying, built-in text
// macros and statuses, and the file-level load and save.
#include "document/QuillcrafterDoc.h"

#include "toolkit/ScopeGuard.h"
#include "toolkit/StoreChanged.h"

namespace {

/// Window text as the project file stores it (the older system-colour encoding).
constexpr TColor kMacroWindowText = static_cast<TColor>(0x80000008u);
constexpr TColor kBlue = 0xFF0000;

struct DefaultMacro {
  const char* name;
  TColor color;
  const char* typeFace;
  int32_t size;
  bool bold;
};

constexpr DefaultMacro kDefaultMacros[] = {
    {"*PopupLink", kMacroWindowText, "Arial", 8, false},
    {"*PopupTopicTitle", kBlue, "Arial", 10, true},
    {"*SourceCode", kMacroWindowText, "Courier New", 8, false},
    {"*TopicText", kMacroWindowText, "Arial", 10, false},
    {"*TopicTitle", kBlue, "Arial", 16, true},
};

struct DefaultStatus {
  const char* text;
  TColor color;
  bool italic;
};

constexpr DefaultStatus kDefaultStatuses[] = {
    {"To Do", 0xFFFF00, false},
    {"Done", 0x000000, false},
    {"Writing", 0x0000FF, false},
    {"Merged", static_cast<TColor>(0xFF00001Au), true},
};

/// Adds Step to Candidate with 32-bit wrap-around, as the ID arithmetic of
/// the file format's integers does, never overflowing in C++ terms.
int32_t WrapAdd(int64_t value) { return static_cast<int32_t>(static_cast<uint32_t>(value)); }

}  // namespace

TQuillcrafterDoc::TQuillcrafterDoc() {
  FFont = std::make_unique<TFont>();
  FFont->OnChange = [this](TObject*) { FontChanged(); };
  FOptions = std::make_unique<TQCProjectOptions>(this);
  FContents = std::make_unique<TQCContentsItems>(this);
  FTextMacros = std::make_unique<TQCTextMacros>(this);
  FTopics = std::make_unique<TQCTopics>(this);
  FContentsLinks = std::make_unique<TStringList>();
  FContentsIndices = std::make_unique<TStringList>();
  FWindowDefinitions = std::make_unique<TStringList>();
  for (TStringList* list : {FContentsLinks.get(), FContentsIndices.get(), FWindowDefinitions.get()})
    list->OnChange = [this](TObject*) { StringsChanged(); };
  FRecentFiles = std::make_unique<TRecentFiles>();
  FRecentFiles->OnChange = [this](TObject*) { RecentFilesChanged(); };
  FStatuses = std::make_unique<TQCStatuses>(this);
  AddDefaultStatuses();
  AddDefaultTextMacros();
}

TQuillcrafterDoc::~TQuillcrafterDoc() {
  OnChange = nullptr;
  OnContentChange = nullptr;
  OnUndoSizeChange = nullptr;
  OnRecentFilesChange = nullptr;
  OnFontChange = nullptr;
  OnAddTopic = nullptr;
  OnDeleteTopic = nullptr;
  OnTopicChange = nullptr;
  OnAddContents = nullptr;
  OnDeleteContents = nullptr;
  OnContentsChange = nullptr;
  OnAddMacro = nullptr;
  OnDeleteMacro = nullptr;
  OnMacroChange = nullptr;
  // From here on the hooks do nothing: the parts below go away one by one.
  FDestroying = true;
  FOptions.reset();
  FContents.reset();
  FTextMacros.reset();
  FTopics.reset();
  FContentsLinks.reset();
  FContentsIndices.reset();
  FWindowDefinitions.reset();
  FRecentFiles.reset();
  FStatuses.reset();
  FFont.reset();
}

// --- Properties ---------------------------------------------------------------

void TQuillcrafterDoc::SetOptions(const TQCProjectOptions& value) {
  FOptions->Assign(value);
  FireChange();
}

void TQuillcrafterDoc::SetContentIndex(int value) {
  if (value == FContentIndex || value < -1 || value >= FContents->Count()) return;
  FContentIndex = value;
  if (OnContentChange && !FDestroying) OnContentChange(this);
}

void TQuillcrafterDoc::SetTopicIndex(int value) {
  if (value == FTopicIndex || value < -1 || value >= FTopics->Count()) return;
  FTopicIndex = value;
  FireChange();
}

void TQuillcrafterDoc::SetTopicGrid(int value) {
  if (value < 1) return;
  FTopicGrid = value;
}

void TQuillcrafterDoc::SetTopicIncrement(int value) {
  if (value < 1) return;
  FTopicIncrement = value;
  FireChange();
}

void TQuillcrafterDoc::SetUndoStackSize(int value) {
  if (!StoreChanged(FUndoStackSize, value)) return;
  if (OnUndoSizeChange && !FDestroying) OnUndoSizeChange(this);
}

int32_t TQuillcrafterDoc::NextTopicID(int afterIndex) const {
  const int count = FTopics->Count();
  if (count == 0) return 0;
  const int from = afterIndex >= 0 && afterIndex <= count - 1 ? afterIndex : count - 1;
  int32_t candidate = FTopics->Items(from)->TopicID();
  while (FTopics->IndexOfTopicID(candidate) != -1) {
    if (FTopicGridEnabled)
      candidate = WrapAdd((static_cast<int64_t>(candidate / FTopicGrid) + 1) * FTopicGrid);
    else
      candidate = WrapAdd(static_cast<int64_t>(candidate) + FTopicIncrement);
  }
  return candidate;
}

// --- Notices --------------------------------------------------------------------

void TQuillcrafterDoc::Changed() {
  if (FDestroying) return;
  FireChange();
  FModified = true;
}

void TQuillcrafterDoc::StringsChanged() { Changed(); }

void TQuillcrafterDoc::RecentFilesChanged() {
  if (OnRecentFilesChange && !FDestroying) OnRecentFilesChange(this);
}

void TQuillcrafterDoc::FontChanged() {
  if (FFontBusy || FDestroying) return;
  {
    // The statuses' fonts follow the document font; their own notices must not come back here.
    FFontBusy = true;
    toolkit::TScopeExit notBusy([this] { FFontBusy = false; });
    for (int i = 0; i < FStatuses->Count(); ++i) FStatuses->Items(i)->Font().ApplyParent();
  }
  if (OnFontChange) OnFontChange(this);
}

void TQuillcrafterDoc::TopicAdded(TQCTopic* topic) { Fire(OnAddTopic, topic); }

void TQuillcrafterDoc::TopicDeleted(TQCTopic* topic) {
  if (FDestroying) return;
  Fire(OnDeleteTopic, topic);
  // The current topic follows a deletion at its place (the index is asked
  // for only when there is a current topic, since finding it costs a scan).
  if (FTopicIndex >= 0 && topic->Index() == FTopicIndex) SetTopicIndex(FTopicIndex - 1);
}

void TQuillcrafterDoc::TopicChanged(TQCTopic* topic) {
  if (FDestroying) return;
  Fire(OnTopicChange, topic);
  FModified = true;
}

void TQuillcrafterDoc::ContentsAdded(TQCContentsItem* item) { Fire(OnAddContents, item); }
void TQuillcrafterDoc::ContentsDeleted(TQCContentsItem* item) { Fire(OnDeleteContents, item); }

void TQuillcrafterDoc::ContentsChanged(TQCContentsItem* item) {
  if (FDestroying) return;
  Fire(OnContentsChange, item);
  FModified = true;
}

void TQuillcrafterDoc::MacroAdded(TQCTextMacro* macro) { Fire(OnAddMacro, macro); }
void TQuillcrafterDoc::MacroDeleted(TQCTextMacro* macro) { Fire(OnDeleteMacro, macro); }

void TQuillcrafterDoc::MacroChanged(TQCTextMacro* macro) {
  if (FDestroying) return;
  Fire(OnMacroChange, macro);
  FModified = true;
}

void TQuillcrafterDoc::StatusAdded(TQCStatus* /*status*/) {}
void TQuillcrafterDoc::StatusDeleted(TQCStatus* /*status*/) {}

void TQuillcrafterDoc::StatusChanged(TQCStatus* /*status*/) {
  if (!FDestroying) FModified = true;
}

// --- Whole-document operations ------------------------------------------------------

void TQuillcrafterDoc::Clear() {
  SetTopicIndex(-1);
  FContents->Clear();
  FTextMacros->Clear();
  FTopics->Clear();
  FContentsLinks->Clear();
  FContentsIndices->Clear();
  FWindowDefinitions->Clear();
  AddDefaultTextMacros();
  FireChange();
  FModified = false;
}

void TQuillcrafterDoc::Assign(const TPersistent& source) {
  const auto* doc = AssignSource<TPersistent>(*this, source);
  if (doc == nullptr) return;
  FVersion = doc->FVersion;
  SetUndoStackSize(doc->FUndoStackSize);
  FOptions->Assign(*doc->FOptions);
  FTopics->Assign(*doc->FTopics);
  FTopicIndex = doc->FTopicIndex;
  FContents->Assign(*doc->FContents);
  FContentsLinks->Assign(*doc->FContentsLinks);
  FWindowDefinitions->Assign(*doc->FWindowDefinitions);
  FContentsIndices->Assign(*doc->FContentsIndices);
  FTextMacros->Assign(*doc->FTextMacros);
  SetTopicIncrement(doc->FTopicIncrement);
  SetTopicGrid(doc->FTopicGrid);
  FTopicGridEnabled = doc->FTopicGridEnabled;
  FRecentFiles->Assign(*doc->FRecentFiles);
  FQCLocation = doc->FQCLocation;
  FModified = doc->FModified;
}

std::unique_ptr<TQuillcrafterDoc> TQuillcrafterDoc::Clone() const {
  auto clone = std::make_unique<TQuillcrafterDoc>();
  clone->Assign(*this);
  return clone;
}

void TQuillcrafterDoc::AddDefaultTextMacros() {
  // Built-in macros are no edit of the user's: Modified stays as it was,
  // also after the closing notice of the update.
  const bool wasModified = FModified;
  toolkit::TScopeExit keepModified([this, wasModified] { FModified = wasModified; });
  toolkit::TUpdateBracket update(*FTextMacros);
  for (const DefaultMacro& m : kDefaultMacros) {
    if (FTextMacros->IndexOfDisplayName(m.name) != -1) continue;
    TQCTextMacro* macro = FTextMacros->Add();
    macro->SetName(m.name);
    macro->SetColor(m.color);
    macro->SetTypeFace(m.typeFace);
    macro->SetSize(m.size);
    macro->SetUnknown2(1);
    if (m.bold) macro->SetStyle({TFontStyle::fsBold});
  }
  for (size_t k = 0; k < 7; ++k) {
    if (FTextMacros->IndexOfDisplayName(SyntaxMacroNames[k]) != -1) continue;
    TQCTextMacro* macro = FTextMacros->Add();
    macro->SetName(SyntaxMacroNames[k]);
    macro->SetTypeFace("Courier New");
    macro->SetSize(10);
  }
}

void TQuillcrafterDoc::AddDefaultStatuses() {
  const bool wasModified = FModified;
  toolkit::TScopeExit keepModified([this, wasModified] { FModified = wasModified; });
  toolkit::TUpdateBracket update(*FStatuses);
  for (const DefaultStatus& s : kDefaultStatuses) {
    if (FStatuses->IndexOfText(s.text) != -1) continue;
    TQCStatus* status = FStatuses->Add();
    status->SetText(s.text);
    status->Font().SetColor(s.color);
    if (s.italic) status->Font().SetStyle({TFontStyle::fsItalic});
  }
}

// --- Files ------------------------------------------------------------------------------

void TQuillcrafterDoc::LoadFromFile(const std::string& fileName) {
  TFileStream stream(fileName, fmOpenRead);
  LoadFromStream(stream);
  FRecentFiles->AddFile(fileName);
}

void TQuillcrafterDoc::SaveToStream(TStream& stream) {
  WriteDocument(stream);
  FModified = false;
}

// SaveToFile is in QuillcrafterDocSave.cpp.
