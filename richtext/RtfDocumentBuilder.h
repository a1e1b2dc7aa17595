#pragma once
// The Qt listener of the RTF reader: builds the text of a QTextDocument at a
// cursor, with character formats (font, size, bold, italic, underline,
// strike-out, colour, background, capitals, super/subscript) and paragraph
// formats (alignment, indents, first-line indent, spacing, tab stops,
// bullets and numbering). Bytes are decoded with Qt's converters.

#include <QString>
#include <QTextCharFormat>
#include <QTextCursor>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "richtext/RtfListener.h"

class QTextList;

/// Properties of the placeholder image a picture the view cannot draw
/// (\wmetafile, \emfblip, \dibitmap, \macpict, a damaged PNG) stands as:
/// the picture's own format word, bytes and \picw/\pich, so that writing
/// the document back keeps the picture.
inline constexpr int kRtfPictureBlipProperty = QTextFormat::UserProperty + 1;
inline constexpr int kRtfPictureDataProperty = QTextFormat::UserProperty + 2;
inline constexpr int kRtfPictureWidthProperty = QTextFormat::UserProperty + 3;
inline constexpr int kRtfPictureHeightProperty = QTextFormat::UserProperty + 4;

class TRtfDocumentBuilder : public TRtfListener {
 public:
  /// Whole: the cursor stands in an empty document that receives the whole
  /// text; an empty paragraph after the last paragraph end is then not
  /// created. Otherwise the text goes in at the cursor (the selection is
  /// replaced), and the paragraph formats of the paragraphs the RTF ends
  /// are applied.
  TRtfDocumentBuilder(QTextCursor cursor, bool whole);
  ~TRtfDocumentBuilder() override;

  void Start(const TRtfTables& tables) override;
  void Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) override;
  void Unicode(char32_t codePoint, const TRtfCharFormat& format) override;
  void Picture(const TRtfPicture& picture, const TRtfCharFormat& format) override;
  void LineBreak(const TRtfCharFormat& format) override;
  void ParagraphEnd(const TRtfParaFormat& format) override;
  void Finish(const TRtfParaFormat& format) override;

  /// The cursor after the inserted text.
  const QTextCursor& Cursor() const { return FCursor; }

  /// Decodes Bytes of code page CodePage (qtbridge::CodePageToQString, the
  /// plain text's decoder too); unknown code pages are read as Windows-1252.
  QString Decode(std::string_view bytes, int codePage);

 private:
  void Append(const QString& text, const TRtfCharFormat& format);
  void Flush();
  void BeginTextIfPending();
  void ApplyBlockFormat(const TRtfParaFormat& format);
  const QTextCharFormat& CharFormat(const TRtfCharFormat& format);

  QTextCursor FCursor;
  bool FWhole;
  const TRtfTables* FTables = nullptr;
  bool FPending = false;  // a paragraph ended and no text followed yet
  QString FBuffer;
  TRtfCharFormat FBufferKey;
  bool FHaveKey = false;
  std::vector<std::pair<TRtfCharFormat, QTextCharFormat>> FFormatCache;
  QTextList* FList = nullptr;  // the list the previous paragraph joined
  TRtfNumbering FListKind = TRtfNumbering::None;
  // The format last given to a block outside any list, and whether the
  // current block was made after that block (so that it has it already).
  std::optional<TRtfParaFormat> FApplied;
  bool FInheritsApplied = false;
};

/// Reads RTF Bytes into the document at Cursor (see TRtfDocumentBuilder for
/// Whole); returns the cursor after the inserted text.
QTextCursor InsertRtf(QTextCursor cursor, std::string_view bytes, bool whole);
