// The settings file: the project options with the document's working
// preferences (recent files, topic ID settings, fonts, statuses, location),
// so that a host can keep a template of them.
//
// Loading reads the whole file before it changes anything, so a file that
// fails part-way (a bad number, a record cut short) leaves the document as
// it was; in particular the statuses are never deleted before their
// replacements have been read.
#include <optional>
#include <utility>
#include <vector>

#include "document/QuillcrafterDoc.h"
#include "toolkit/ScopeGuard.h"

namespace {

constexpr const char* kDone = "Done";
constexpr const char* kWriting = "Writing";

struct StyleChar {
  TFontStyle style;
  char letter;
};
constexpr StyleChar kStyleChars[] = {
    {TFontStyle::fsBold, 'B'},
    {TFontStyle::fsItalic, 'I'},
    {TFontStyle::fsUnderline, 'U'},
    {TFontStyle::fsStrikeOut, 'S'},
};

std::string NeedLine(TGTextStream& stream, const char* what) {
  std::string line;
  if (!stream.ReadLine(line)) throw EQCException(Format(qcmsg::SUnexpectedEnd, what));
  return line;
}

int32_t NeedInteger(TGTextStream& stream, const char* what) { return StrToInt(NeedLine(stream, what)); }

bool IsStatusRecord(const std::string& text) { return !SameText(text, kDone) && !SameText(text, kWriting); }

/// Everything a settings file holds, read but not yet in the document.
/// Steps counts the rows after the recent files that the data still held.
struct Settings {
  explicit Settings(const TQuillcrafterDoc& document) { options.Assign(document.Options()); }

  TQCProjectOptions options;
  std::vector<std::string> recentFiles;
  int steps = 0;
  int32_t topicIncrement = 0;
  int32_t topicGrid = 0;
  bool topicGridEnabled = false;
  TFont font;
  TFont writingFont;
  std::vector<std::pair<std::string, TFont>> statuses;
  std::string location;
};

void ReadSettings(TQuillcrafterDoc& document, TGTextStream& stream, Settings& s) {
  document.ReadHeader(stream, s.options);
  const int32_t recentCount = NeedInteger(stream, "the recent files");
  for (int32_t i = 0; i < recentCount; ++i) s.recentFiles.push_back(NeedLine(stream, "the recent files"));

  // Every later row is optional: a file may end after any of them.
  if (stream.EndOfStream()) return;
  s.topicIncrement = NeedInteger(stream, "the topic increment");
  ++s.steps;
  if (stream.EndOfStream()) return;
  s.topicGrid = NeedInteger(stream, "the topic grid");
  ++s.steps;
  if (stream.EndOfStream()) return;
  s.topicGridEnabled = NeedLine(stream, "the topic grid switch") == "TRUE";
  ++s.steps;
  if (stream.EndOfStream()) return;
  s.font = document.Font();
  TQuillcrafterDoc::ReadFont(s.font, stream);
  ++s.steps;
  if (stream.EndOfStream()) return;
  s.writingFont = s.font;
  TQuillcrafterDoc::ReadFont(s.writingFont, stream);
  ++s.steps;
  if (stream.EndOfStream()) return;
  const int32_t statusCount = NeedInteger(stream, "the status count");
  for (int32_t i = 0; i < statusCount; ++i) {
    std::string text = NeedLine(stream, "a status record");
    TFont font(s.font);
    TQuillcrafterDoc::ReadFont(font, stream);
    s.statuses.emplace_back(std::move(text), std::move(font));
  }
  ++s.steps;
  if (stream.EndOfStream()) return;
  s.location = NeedLine(stream, "the location");
  ++s.steps;
}

/// Appends the stored recent files after those already listed. A name that
/// is listed already is not listed twice, and names beyond the list's bound
/// are left out (the list holds the newest names first), so loading the
/// settings of a document with a full list does not fail.
void AppendRecentFiles(TRecentFiles& recentFiles, const std::vector<std::string>& names) {
  toolkit::TUpdateBracket update(recentFiles);
  for (const std::string& name : names) {
    if (recentFiles.MaxCount() >= 0 && recentFiles.Count() >= recentFiles.MaxCount()) break;
    if (recentFiles.IndexOf(name) < 0) recentFiles.Add(name);
  }
}

}  // namespace

void TQuillcrafterDoc::WriteFont(TGTextStream& stream, const TFont& font) {
  stream.WriteInteger(font.Color()).NewLine();
  stream.WriteLine(font.Name());
  stream.WriteInteger(font.Charset()).NewLine();
  stream.WriteInteger(font.Size()).NewLine();
  stream.WriteInteger(font.Height()).NewLine();
  std::string style;
  for (const StyleChar& sc : kStyleChars) style += font.Style().Contains(sc.style) ? sc.letter : '.';
  stream.WriteLine(style);
}

void TQuillcrafterDoc::ReadFont(TFont& font, TGTextStream& stream) {
  static const char* const kWhat = "a font record";
  font.SetColor(NeedInteger(stream, kWhat));
  font.SetName(NeedLine(stream, kWhat));
  font.SetCharset(NeedInteger(stream, kWhat));
  font.SetSize(NeedInteger(stream, kWhat));
  // Set last, the height decides the size.
  font.SetHeight(NeedInteger(stream, kWhat));
  // The line gives the whole style: a style the record does not name is off,
  // so a font reads back exactly as it was written.
  const std::string line = NeedLine(stream, kWhat);
  TFontStyles style;
  for (size_t k = 0; k < 4; ++k)
    if (line.size() > k && line[k] != '.') style.Include(kStyleChars[k].style);
  font.SetStyle(style);
}

void TQuillcrafterDoc::SaveSettingsToStream(TStream& stream) const {
  TGTextStream text(stream);
  WriteHeader(text);
  WriteStrings(text, *FRecentFiles);
  text.WriteInteger(FTopicIncrement).NewLine();
  text.WriteInteger(FTopicGrid).NewLine();
  WriteBoolean(text, FTopicGridEnabled);
  WriteFont(text, *FFont);
  const int writing = FStatuses->IndexOfText(kWriting);
  WriteFont(text, writing >= 0 ? static_cast<const TFont&>(FStatuses->Items(writing)->Font()) : *FFont);
  int count = 0;
  for (int i = 0; i < FStatuses->Count(); ++i)
    if (IsStatusRecord(FStatuses->Items(i)->Text())) ++count;
  text.WriteInteger(count).NewLine();
  for (int i = 0; i < FStatuses->Count(); ++i) {
    const TQCStatus* status = FStatuses->Items(i);
    if (!IsStatusRecord(status->Text())) continue;
    text.WriteLine(status->Text());
    WriteFont(text, status->Font());
  }
  text.WriteLine(FQCLocation);
  // Write errors must reach the caller, not vanish in the destructor.
  text.Flush();
}

void TQuillcrafterDoc::LoadSettingsFromStream(TStream& stream) {
  Settings s(*this);
  {
    TGTextStream text(stream);
    ReadSettings(*this, text, s);
  }

  // Settings are not project content: loading them leaves Modified as it was.
  const bool wasModified = FModified;
  toolkit::TScopeExit keepModified([this, wasModified] { FModified = wasModified; });
  FOptions->Assign(s.options);
  AppendRecentFiles(*FRecentFiles, s.recentFiles);
  if (s.steps >= 1) SetTopicIncrement(s.topicIncrement);
  if (s.steps >= 2) SetTopicGrid(s.topicGrid);
  if (s.steps >= 3) SetTopicGridEnabled(s.topicGridEnabled);
  if (s.steps >= 4) FFont->Assign(s.font);
  if (s.steps >= 5) {
    // Without a "Writing" status the record is read and dropped.
    const int writing = FStatuses->IndexOfText(kWriting);
    if (writing >= 0) FStatuses->Items(writing)->SetFont(s.writingFont);
  }
  if (s.steps >= 6) {
    toolkit::TUpdateBracket update(*FStatuses);
    for (int i = FStatuses->Count() - 1; i >= 0; --i)
      if (IsStatusRecord(FStatuses->Items(i)->Text())) FStatuses->Delete(i);
    for (const auto& [text, font] : s.statuses) {
      TQCStatus* status = FStatuses->Add();
      status->SetText(text);
      status->SetFont(font);
    }
  }
  if (s.steps >= 7) FQCLocation = s.location;
}

void TQuillcrafterDoc::ApplyStartSettings() {
  Options().SetFileVersion(13);
  Options().SetHelpFileKind(0);
  Options().SetHelpFileType(ft16Bit);
  Options().SetGenerateCFile(false);
  Options().SetIncludeImages(false);
  RecentFiles().SetMaxCount(4);
  RecentFiles().SetPushAtEnd(false);
  SetTopicIncrement(1);
  SetVersion(1.0f);
  TQCWebExportOptions& web = Options().WebExportOptions();
  web.Contents = "Contents";
  web.ContentsTitle = "%s Contents";
  web.Index = "Index";
  web.IndexTitle = "%s Index";
  web.Previous = "Previous";
  web.Next = "Next";
  const int sourceCode = TextMacros().IndexOfDisplayName("*SourceCode");
  if (sourceCode >= 0) TextMacros().Items(sourceCode)->SetSize(10);
  SetModified(false);
}
