// The project file writer: the format of the reader, line by line, CR LF
// after every line, values exactly as held.
#include "document/QuillcrafterDoc.h"
#include "document/TopicFields.h"

void TQuillcrafterDoc::WriteBoolean(TGTextStream& stream, bool value) {
  stream.WriteLine(value ? "TRUE" : "FALSE");
}

void TQuillcrafterDoc::WriteStrings(TGTextStream& stream, const TStrings& list) {
  stream.WriteInteger(list.Count()).NewLine();
  for (int i = 0; i < list.Count(); ++i) stream.WriteLine(list[i]);
}

void TQuillcrafterDoc::WriteHeader(TGTextStream& stream) const {
  const TQCProjectOptions& o = *FOptions;
  const int32_t version = o.FileVersion();
  stream.WriteLine(QCFileIdentifier);
  stream.WriteInteger(version).NewLine();
  stream.WriteLine(o.Unknown1());
  stream.WriteInteger(o.HelpFileKind()).NewLine();
  stream.WriteInteger(o.HelpFileType()).NewLine();
  stream.WriteLine(o.Title());
  stream.WriteLine(o.BuildTag());
  stream.WriteLine(o.Citation());
  stream.WriteLine(o.Copyright());
  WriteBoolean(stream, o.Compress());
  stream.WriteLine(o.LocaleID());
  stream.WriteLine(o.BitmapPaths());
  WriteStrings(stream, o.Configuration());
  WriteStrings(stream, o.Baggage());
  WriteBoolean(stream, o.GenerateCFile());
  stream.WriteLine(o.Output());
  WriteBoolean(stream, !o.IncludeImages());
  if (version > 10) {
    WriteBoolean(stream, o.HTMLPngImages());
    for (int i = 0; i < 5; ++i) stream.WriteInteger(o.HTMLColor(i)).NewLine();
  }
  if (version > 11) {
    WriteBoolean(stream, o.IncludeSearchInfo());
    WriteBoolean(stream, o.EnableAdvancedSearch());
    WriteBoolean(stream, o.FavoritesTabVisible());
  }
  if (version > 13) WriteBoolean(stream, o.AutoCollapseTOC());
  if (version > 12) {
    const TQCWebExportOptions& w = o.WebExportOptions();
    stream.WriteInteger(w.OutputFormat).NewLine();
    WriteBoolean(stream, w.UseStyleAttributesIndent);
    WriteBoolean(stream, w.LargeFontSizes);
    stream.WriteLine(w.Contents);
    stream.WriteLine(w.ContentsTitle);
    stream.WriteLine(w.Index);
    stream.WriteLine(w.IndexTitle);
    stream.WriteLine(w.Previous);
    stream.WriteLine(w.Next);
    WriteBoolean(stream, w.UseBuildTagsFromProject);
    stream.WriteLine(w.WebFilename);
  }
}

void TQuillcrafterDoc::WriteTopics(TGTextStream& stream) const {
  stream.WriteInteger(FTopics->Count()).NewLine();
  for (int i = 0; i < FTopics->Count(); ++i) WriteTopic(stream, *FTopics->Items(i));
}

void TQuillcrafterDoc::WriteTopic(TGTextStream& stream, const TQCTopic& topic) const {
  WriteTopicRows(stream, topic);
}

void TQuillcrafterDoc::WriteWindowDefinitions(TGTextStream& stream) const {
  WriteStrings(stream, *FWindowDefinitions);
}

void TQuillcrafterDoc::WriteContents(TGTextStream& stream) const {
  WriteContentsLinks(stream);
  WriteContentsIndices(stream);
  WriteContentsItems(stream);
}

void TQuillcrafterDoc::WriteContentsLinks(TGTextStream& stream) const {
  WriteStrings(stream, *FContentsLinks);
}

void TQuillcrafterDoc::WriteContentsIndices(TGTextStream& stream) const {
  WriteStrings(stream, *FContentsIndices);
}

void TQuillcrafterDoc::WriteContentsItems(TGTextStream& stream) const {
  stream.WriteInteger(FContents->Count()).NewLine();
  for (int i = 0; i < FContents->Count(); ++i) WriteContentsItem(stream, *FContents->Items(i));
}

void TQuillcrafterDoc::WriteContentsItem(TGTextStream& stream, const TQCContentsItem& item) const {
  stream.WriteInteger(item.Level()).WriteSpace().WriteString(item.Title());
  if (!item.Link().empty()) stream.WriteChar('=').WriteString(item.Link());
  stream.NewLine();
}

void TQuillcrafterDoc::WriteTextMacros(TGTextStream& stream) const {
  stream.WriteInteger(FTextMacros->Count()).NewLine();
  for (int i = 0; i < FTextMacros->Count(); ++i) WriteTextMacro(stream, *FTextMacros->Items(i));
}

void TQuillcrafterDoc::WriteTextMacro(TGTextStream& stream, const TQCTextMacro& macro) const {
  stream.WriteLine(macro.Name());
  stream.WriteInteger(macro.Color()).NewLine();
  stream.WriteLine(macro.TypeFace());
  stream.WriteInteger(macro.Unknown1()).NewLine();
  stream.WriteInteger(macro.Size()).NewLine();
  stream.WriteInteger(macro.Unknown2()).NewLine();
  const TFontStyles style = macro.Style();
  std::string styleLine = "....";
  if (style.Contains(TFontStyle::fsBold)) styleLine[0] = 'B';
  if (style.Contains(TFontStyle::fsItalic)) styleLine[1] = 'I';
  if (style.Contains(TFontStyle::fsUnderline)) styleLine[2] = 'U';
  if (style.Contains(TFontStyle::fsStrikeOut)) styleLine[3] = 'S';
  stream.WriteLine(styleLine);
  stream.WriteInteger(macro.Alignment()).NewLine();
  stream.WriteLine(macro.Bullet() ? "1" : "0");
  stream.WriteInteger(macro.LeftMargin()).NewLine();
  stream.WriteInteger(macro.RightMargin()).NewLine();
  stream.WriteInteger(macro.Indent()).NewLine();
  WriteStrings(stream, macro.Tabs());
}

void TQuillcrafterDoc::WriteDocument(TStream& stream) const {
  TGTextStream text(stream);
  WriteHeader(text);
  WriteTopics(text);
  WriteWindowDefinitions(text);
  WriteContents(text);
  WriteTextMacros(text);
  // Flushed here so that a failing last write is reported, not swallowed
  // by the text stream's destructor.
  text.Flush();
}
