#pragma once
// Project options and web export options of a help project document, and
// the holder of a clipboard entry's format.

#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "document/QuillcrafterDocTypes.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

class TQuillcrafterDoc;

/// Options of the web export, owned by the project options. Its setters
/// notify nobody.
class TQCWebExportOptions : public TPersistent {
 public:
  explicit TQCWebExportOptions(TPersistent* owner = nullptr) : FOwner(owner) {}
  std::string ClassName() const override { return "TQCWebExportOptions"; }
  TPersistent* Owner() const { return FOwner; }

  TWebExportOutputFormat OutputFormat = ofSimpleNavigation;
  bool UseStyleAttributesIndent = false;
  bool LargeFontSizes = false;
  std::string Contents = "Contents";
  std::string ContentsTitle = "%s Contents";
  std::string Index = "Index";
  std::string IndexTitle = "%s Index";
  std::string Previous = "Previous";
  std::string Next = "Next";
  bool UseBuildTagsFromProject = false;
  std::string WebFilename;

  void Assign(const TPersistent& source) override;
  bool Equals(const TQCWebExportOptions& other) const;

 private:
  TPersistent* FOwner;
};

/// Index of each HTML colour in TQCProjectOptions::HTMLColor.
enum THTMLColorIndex : int {
  hcBackground = 0,
  hcText = 1,
  hcLinks = 2,
  hcVisited = 3,
  hcActive = 4,
};

/// The project options of a document. Every setter that changes a value
/// marks the owning document changed; so does a change of Configuration or Baggage.
class TQCProjectOptions : public TPersistent {
 public:
  explicit TQCProjectOptions(TQuillcrafterDoc* owner = nullptr);
  ~TQCProjectOptions() override;
  std::string ClassName() const override { return "TQCProjectOptions"; }
  TQuillcrafterDoc* Owner() const { return FOwner; }

  int32_t FileVersion() const { return FFileVersion; }
  void SetFileVersion(int32_t value) { SetField(FFileVersion, value); }
  const std::string& Unknown1() const { return FUnknown1; }
  void SetUnknown1(const std::string& value) { SetField(FUnknown1, value); }
  int32_t HelpFileKind() const { return FHelpFileKind; }
  void SetHelpFileKind(int32_t value) { SetField(FHelpFileKind, value); }
  THelpFileType HelpFileType() const { return FHelpFileType; }
  void SetHelpFileType(THelpFileType value) { SetField(FHelpFileType, value); }
  const std::string& Title() const { return FTitle; }
  void SetTitle(const std::string& value) { SetField(FTitle, value); }
  const std::string& BuildTag() const { return FBuildTag; }
  void SetBuildTag(const std::string& value) { SetField(FBuildTag, value); }
  const std::string& Citation() const { return FCitation; }
  void SetCitation(const std::string& value) { SetField(FCitation, value); }
  const std::string& Copyright() const { return FCopyright; }
  void SetCopyright(const std::string& value) { SetField(FCopyright, value); }
  bool Compress() const { return FCompress; }
  void SetCompress(bool value) { SetField(FCompress, value); }
  const std::string& LocaleID() const { return FLocaleID; }
  void SetLocaleID(const std::string& value) { SetField(FLocaleID, value); }
  const std::string& BitmapPaths() const { return FBitmapPaths; }
  void SetBitmapPaths(const std::string& value) { SetField(FBitmapPaths, value); }
  TStrings& Configuration() { return *FConfiguration; }
  const TStrings& Configuration() const { return *FConfiguration; }
  void SetConfiguration(const TStrings& value) { FConfiguration->Assign(value); }
  TStrings& Baggage() { return *FBaggage; }
  const TStrings& Baggage() const { return *FBaggage; }
  void SetBaggage(const TStrings& value) { FBaggage->Assign(value); }
  bool GenerateCFile() const { return FGenerateCFile; }
  void SetGenerateCFile(bool value) { SetField(FGenerateCFile, value); }
  const std::string& Output() const { return FOutput; }
  void SetOutput(const std::string& value) { SetField(FOutput, value); }
  bool IncludeImages() const { return FIncludeImages; }
  void SetIncludeImages(bool value) { SetField(FIncludeImages, value); }
  bool HTMLPngImages() const { return FHTMLPngImages; }
  void SetHTMLPngImages(bool value) { SetField(FHTMLPngImages, value); }
  /// The five HTML colours, index THTMLColorIndex (0 to 4); other indexes are ignored.
  TColor HTMLColor(int index) const;
  void SetHTMLColor(int index, TColor value);
  TColor HTMLBackgroundColor() const { return FHTMLColors[hcBackground]; }
  TColor HTMLTextColor() const { return FHTMLColors[hcText]; }
  TColor HTMLLinksColor() const { return FHTMLColors[hcLinks]; }
  TColor HTMLVisitedColor() const { return FHTMLColors[hcVisited]; }
  TColor HTMLActiveColor() const { return FHTMLColors[hcActive]; }
  bool IncludeSearchInfo() const { return FIncludeSearchInfo; }
  void SetIncludeSearchInfo(bool value) { SetField(FIncludeSearchInfo, value); }
  bool EnableAdvancedSearch() const { return FEnableAdvancedSearch; }
  void SetEnableAdvancedSearch(bool value) { SetField(FEnableAdvancedSearch, value); }
  bool FavoritesTabVisible() const { return FFavoritesTabVisible; }
  void SetFavoritesTabVisible(bool value) { SetField(FFavoritesTabVisible, value); }
  TQCWebExportOptions& WebExportOptions() { return *FWebExportOptions; }
  const TQCWebExportOptions& WebExportOptions() const { return *FWebExportOptions; }
  void SetWebExportOptions(const TQCWebExportOptions& value) { FWebExportOptions->Assign(value); }
  bool AutoCollapseTOC() const { return FAutoCollapseTOC; }
  void SetAutoCollapseTOC(bool value) { SetField(FAutoCollapseTOC, value); }

  /// Copies every field, through the setters (so the owner hears of each change).
  void Assign(const TPersistent& source) override;

 protected:
  /// Configuration or Baggage changed.
  virtual void StringsChanged();

 private:
  template <class T>
  void SetField(T& field, const T& value) {
    if (field == value) return;
    field = value;
    OptionChanged();
  }
  void OptionChanged();

  TQuillcrafterDoc* FOwner;
  int32_t FFileVersion = 14;
  std::string FUnknown1;
  int32_t FHelpFileKind = 0;
  THelpFileType FHelpFileType = ft16Bit;
  std::string FTitle;
  std::string FBuildTag;
  std::string FCitation;
  std::string FCopyright;
  bool FCompress = false;
  std::string FLocaleID;
  std::string FBitmapPaths;
  std::unique_ptr<TStringList> FConfiguration;
  std::unique_ptr<TStringList> FBaggage;
  bool FGenerateCFile = false;
  std::string FOutput;
  bool FIncludeImages = false;
  bool FHTMLPngImages = true;
  std::array<TColor, 5> FHTMLColors = {0xFFFFFF, 0x000000, 0xFF0000, 0x800080, 0x0000FF};
  bool FIncludeSearchInfo = false;
  bool FEnableAdvancedSearch = false;
  bool FFavoritesTabVisible = false;
  std::unique_ptr<TQCWebExportOptions> FWebExportOptions;
  bool FAutoCollapseTOC = false;
};

/// A clipboard entry of a help project: a format tag and its text.
class TQCClipboardFormat : public TPersistent {
 public:
  std::string ClassName() const override { return "TQCClipboardFormat"; }
  TQCClipboardFormatType Format = TQCClipboardFormatType::cftTopic;
  std::string Text;
};
