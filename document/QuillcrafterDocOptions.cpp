// Project options and web export options.
#include "document/QuillcrafterDoc.h"

void TQCWebExportOptions::Assign(const TPersistent& source) {
  const auto* other = AssignSource<TPersistent>(*this, source);
  if (other == nullptr) return;
  OutputFormat = other->OutputFormat;
  UseStyleAttributesIndent = other->UseStyleAttributesIndent;
  LargeFontSizes = other->LargeFontSizes;
  Contents = other->Contents;
  ContentsTitle = other->ContentsTitle;
  Index = other->Index;
  IndexTitle = other->IndexTitle;
  Previous = other->Previous;
  Next = other->Next;
  UseBuildTagsFromProject = other->UseBuildTagsFromProject;
  WebFilename = other->WebFilename;
}

bool TQCWebExportOptions::Equals(const TQCWebExportOptions& o) const {
  return OutputFormat == o.OutputFormat && UseStyleAttributesIndent == o.UseStyleAttributesIndent &&
         LargeFontSizes == o.LargeFontSizes && Contents == o.Contents && ContentsTitle == o.ContentsTitle &&
         Index == o.Index && IndexTitle == o.IndexTitle && Previous == o.Previous && Next == o.Next &&
         UseBuildTagsFromProject == o.UseBuildTagsFromProject && WebFilename == o.WebFilename;
}

TQCProjectOptions::TQCProjectOptions(TQuillcrafterDoc* owner)
    : FOwner(owner),
      FConfiguration(std::make_unique<TStringList>()),
      FBaggage(std::make_unique<TStringList>()),
      FWebExportOptions(std::make_unique<TQCWebExportOptions>(this)) {
  FConfiguration->OnChange = [this](TObject*) { StringsChanged(); };
  FBaggage->OnChange = [this](TObject*) { StringsChanged(); };
}

TQCProjectOptions::~TQCProjectOptions() {
  FConfiguration->OnChange = nullptr;
  FBaggage->OnChange = nullptr;
}

void TQCProjectOptions::OptionChanged() {
  if (FOwner) FOwner->Changed();
}

void TQCProjectOptions::StringsChanged() { OptionChanged(); }

TColor TQCProjectOptions::HTMLColor(int index) const {
  if (index < 0 || index >= static_cast<int>(FHTMLColors.size())) return 0;
  return FHTMLColors[static_cast<size_t>(index)];
}

void TQCProjectOptions::SetHTMLColor(int index, TColor value) {
  if (index < 0 || index >= static_cast<int>(FHTMLColors.size())) return;
  SetField(FHTMLColors[static_cast<size_t>(index)], value);
}

void TQCProjectOptions::Assign(const TPersistent& source) {
  const auto* o = AssignSource<TPersistent>(*this, source);
  if (o == nullptr) return;
  SetFileVersion(o->FFileVersion);
  SetUnknown1(o->FUnknown1);
  SetHelpFileKind(o->FHelpFileKind);
  SetHelpFileType(o->FHelpFileType);
  SetTitle(o->FTitle);
  SetBuildTag(o->FBuildTag);
  SetCitation(o->FCitation);
  SetCopyright(o->FCopyright);
  SetCompress(o->FCompress);
  SetLocaleID(o->FLocaleID);
  SetBitmapPaths(o->FBitmapPaths);
  // An unchanged list is left alone, so that it sends no change notice.
  if (!FConfiguration->Equals(*o->FConfiguration)) FConfiguration->Assign(*o->FConfiguration);
  if (!FBaggage->Equals(*o->FBaggage)) FBaggage->Assign(*o->FBaggage);
  SetGenerateCFile(o->FGenerateCFile);
  SetOutput(o->FOutput);
  SetIncludeImages(o->FIncludeImages);
  SetHTMLPngImages(o->FHTMLPngImages);
  for (size_t i = 0; i < FHTMLColors.size(); ++i) SetHTMLColor(static_cast<int>(i), o->FHTMLColors[i]);
  SetIncludeSearchInfo(o->FIncludeSearchInfo);
  SetEnableAdvancedSearch(o->FEnableAdvancedSearch);
  SetFavoritesTabVisible(o->FFavoritesTabVisible);
  FWebExportOptions->Assign(*o->FWebExportOptions);
  SetAutoCollapseTOC(o->FAutoCollapseTOC);
}
