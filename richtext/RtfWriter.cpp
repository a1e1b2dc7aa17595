#include "richtext/RtfWriter.h"

#include <QBuffer>
#include <QImage>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "qtbridge/QtText.h"
#include "richtext/RtfDocumentBuilder.h"
#include "toolkit/SysUtils.h"

namespace {

int PixelsToTwips(qreal pixels) { return static_cast<int>(std::lround(pixels * 15.0)); }

/// Collects fonts and colours while the body is written, so that the
/// header (written last, placed first) declares exactly those used.
class TRtfWriterState {
 public:
  explicit TRtfWriterState(const QTextDocument& document) : FDocument(document) {
    FontIndex(DefaultFamily());
  }

  std::string Run(int from, int to, bool endLast);
  std::string Header() const;

 private:
  QString DefaultFamily() const { return FDocument.defaultFont().family(); }
  int FontIndex(const QString& family);
  int ColorIndex(const QColor& color);
  void WriteParagraphStart(const QTextBlock& block);
  void WriteCharFormat(const QTextCharFormat& format);
  void WriteText(const QString& text);
  void WritePicture(const QTextImageFormat& format);

  const QTextDocument& FDocument;
  std::vector<QString> FFonts;
  std::vector<QRgb> FColors;
  std::string FBody;
  std::string FLastCharFormat;
  int FSymbolFont = -1;
};

int TRtfWriterState::FontIndex(const QString& family) {
  auto it = std::find(FFonts.begin(), FFonts.end(), family);
  if (it != FFonts.end()) return static_cast<int>(it - FFonts.begin());
  FFonts.push_back(family);
  return static_cast<int>(FFonts.size() - 1);
}

int TRtfWriterState::ColorIndex(const QColor& color) {
  const QRgb rgb = color.rgb() & 0xFFFFFF;
  auto it = std::find(FColors.begin(), FColors.end(), rgb);
  if (it != FColors.end()) return static_cast<int>(it - FColors.begin()) + 1;  // entry 0 is "automatic"
  FColors.push_back(rgb);
  return static_cast<int>(FColors.size());
}

std::string TRtfWriterState::Header() const {
  std::string header = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
  for (size_t i = 0; i < FFonts.size(); ++i) {
    const bool symbol = static_cast<int>(i) == FSymbolFont;
    header += Format("{\\f%d\\fnil\\fcharset%d ", static_cast<int>(i), symbol ? 2 : 0);
    for (char c : qtbridge::QStringToAnsi(FFonts[i])) {
      if (c == ';' || c == '{' || c == '}' || c == '\\') continue;
      const auto b = static_cast<unsigned char>(c);
      header += b < 0x80 ? std::string(1, c) : Format("\\'%02x", b);
    }
    header += ";}";
  }
  header += "}\r\n{\\colortbl ;";
  for (QRgb rgb : FColors) header += Format("\\red%d\\green%d\\blue%d;", qRed(rgb), qGreen(rgb), qBlue(rgb));
  header += "}\r\n\\viewkind4\\uc1";
  return header;
}

void TRtfWriterState::WriteParagraphStart(const QTextBlock& block) {
  const QTextBlockFormat f = block.blockFormat();
  std::string para = "\\pard";
  const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
  if (align & Qt::AlignHCenter)
    para += "\\qc";
  else if (align & Qt::AlignRight)
    para += "\\qr";
  else if (align & Qt::AlignJustify)
    para += "\\qj";
  const QTextList* list = block.textList();
  if (const int li = PixelsToTwips(f.leftMargin()); li != 0) para += Format("\\li%d", li);
  if (const int ri = PixelsToTwips(f.rightMargin()); ri != 0) para += Format("\\ri%d", ri);
  if (const int fi = PixelsToTwips(f.textIndent()); fi != 0 && !list) para += Format("\\fi%d", fi);
  if (const int sb = PixelsToTwips(f.topMargin()); sb != 0) para += Format("\\sb%d", sb);
  if (const int sa = PixelsToTwips(f.bottomMargin()); sa != 0) para += Format("\\sa%d", sa);
  // Qt measures tab stops from where the first line starts, RTF from the margin.
  const qreal lineStart = f.leftMargin() + (list ? 0.0 : f.textIndent());
  for (const QTextOption::Tab& tab : f.tabPositions()) {
    if (tab.type == QTextOption::RightTab) para += "\\tqr";
    if (tab.type == QTextOption::CenterTab) para += "\\tqc";
    if (tab.type == QTextOption::DelimiterTab) para += "\\tqdec";
    para += Format("\\tx%d", PixelsToTwips(tab.position + lineStart));
  }
  if (list) {
    const bool bullet = list->format().style() != QTextListFormat::ListDecimal &&
                        list->format().style() != QTextListFormat::ListLowerAlpha &&
                        list->format().style() != QTextListFormat::ListUpperAlpha &&
                        list->format().style() != QTextListFormat::ListLowerRoman &&
                        list->format().style() != QTextListFormat::ListUpperRoman;
    // The literal label for readers that do not number paragraphs themselves.
    if (bullet) {
      if (FSymbolFont < 0) FSymbolFont = FontIndex(QStringLiteral("Symbol"));
      para += Format("{\\pntext\\f%d\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf%d\\pnindent0{\\pntxtb\\'b7}}",
                     FSymbolFont, FSymbolFont);
    } else {
      const int number = list->itemNumber(block) + 1;
      para += Format(
          "{\\pntext\\f0 %d.\\tab}{\\*\\pn\\pnlvlbody\\pnf0\\pnindent0\\pnstart1\\pndec{\\pntxta.}}", number);
    }
  }
  FBody += para;
  FLastCharFormat.clear();  // \pard does not reset the character format, but be explicit after it
}

void TRtfWriterState::WriteCharFormat(const QTextCharFormat& f) {
  std::string fmt = "\\plain";
  const QStringList families = f.fontFamilies().toStringList();
  const QString family = families.isEmpty() ? DefaultFamily() : families.first();
  fmt += Format("\\f%d", FontIndex(family));
  qreal points = f.fontPointSize();
  if (points <= 0) points = FDocument.defaultFont().pointSizeF();
  if (points <= 0) points = 12;
  fmt += Format("\\fs%d", static_cast<int>(std::lround(points * 2)));
  if (f.fontWeight() >= QFont::DemiBold) fmt += "\\b";
  if (f.fontItalic()) fmt += "\\i";
  if (f.fontUnderline()) fmt += "\\ul";
  if (f.fontStrikeOut()) fmt += "\\strike";
  if (f.fontCapitalization() == QFont::AllUppercase) fmt += "\\caps";
  if (f.fontCapitalization() == QFont::SmallCaps) fmt += "\\scaps";
  if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript) fmt += "\\super";
  if (f.verticalAlignment() == QTextCharFormat::AlignSubScript) fmt += "\\sub";
  if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
    fmt += Format("\\cf%d", ColorIndex(f.foreground().color()));
  if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
    fmt += Format("\\highlight%d", ColorIndex(f.background().color()));
  if (fmt == FLastCharFormat) return;
  FLastCharFormat = fmt;
  FBody += fmt;
  FBody += ' ';
}

void TRtfWriterState::WriteText(const QString& text) {
  for (qsizetype i = 0; i < text.size(); ++i) {
    const char16_t c = text[i].unicode();
    switch (c) {
      case '\\':
        FBody += "\\\\";
        continue;
      case '{':
        FBody += "\\{";
        continue;
      case '}':
        FBody += "\\}";
        continue;
      case '\t':
        FBody += "\\tab ";
        continue;
      case 0x2028:
        FBody += "\\line ";
        continue;
      case 0x00A0:
        FBody += "\\~";
        continue;
      case 0x00AD:
        FBody += "\\-";
        continue;
      case 0x2011:
        FBody += "\\_";
        continue;
      case 0xFFFC:
        continue;  // an embedded object has no text
      default:
        break;
    }
    if (c >= 0x20 && c < 0x80) {
      FBody += static_cast<char>(c);
      continue;
    }
    if (c < 0x20) continue;
    // Windows-1252 characters as hex bytes, all others as \uN with '?'.
    if (const int b = qtbridge::AnsiByteOf(c); b >= 0) {
      FBody += Format("\\'%02x", b);
    } else {
      FBody += Format("\\u%d?", static_cast<int>(static_cast<int16_t>(c)));
    }
  }
}

void TRtfWriterState::WritePicture(const QTextImageFormat& format) {
  static const char kHex[] = "0123456789abcdef";
  if (format.hasProperty(kRtfPictureBlipProperty)) {
    // A picture the view showed as a placeholder goes back as it came.
    const QByteArray blip = format.stringProperty(kRtfPictureBlipProperty).toLatin1();
    if (blip.isEmpty()) return;
    const QByteArray data = format.property(kRtfPictureDataProperty).toByteArray();
    FBody +=
        Format("{\\pict\\%s\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\r\n", blip.constData(),
               format.intProperty(kRtfPictureWidthProperty), format.intProperty(kRtfPictureHeightProperty),
               PixelsToTwips(format.width()), PixelsToTwips(format.height()));
    for (qsizetype i = 0; i < data.size(); ++i) {
      const auto b = static_cast<unsigned char>(data[i]);
      FBody += kHex[b >> 4];
      FBody += kHex[b & 15];
      if (i % 64 == 63) FBody += "\r\n";
    }
    FBody += "}";
    return;
  }
  const QImage image = FDocument.resource(QTextDocument::ImageResource, QUrl(format.name())).value<QImage>();
  if (image.isNull()) return;
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return;
  const qreal width = format.width() > 0 ? format.width() : image.width();
  const qreal height = format.height() > 0 ? format.height() : image.height();
  FBody += Format("{\\pict\\pngblip\\picw%d\\pich%d\\picwgoal%d\\pichgoal%d\r\n", image.width(),
                  image.height(), PixelsToTwips(width), PixelsToTwips(height));
  for (qsizetype i = 0; i < png.size(); ++i) {
    const auto b = static_cast<unsigned char>(png[i]);
    FBody += kHex[b >> 4];
    FBody += kHex[b & 15];
    if (i % 64 == 63) FBody += "\r\n";
  }
  FBody += "}";
}

std::string TRtfWriterState::Run(int from, int to, bool endLast) {
  QTextBlock block = FDocument.findBlock(from);
  for (; block.isValid(); block = block.next()) {
    const int blockStart = block.position();
    const int blockEnd = blockStart + block.length() - 1;  // the paragraph end's position
    if (blockStart > to || (blockStart == to && !endLast)) break;
    WriteParagraphStart(block);
    for (auto it = block.begin(); !it.atEnd(); ++it) {
      const QTextFragment fragment = it.fragment();
      const int fs = std::max(fragment.position(), from);
      const int fe = std::min(fragment.position() + fragment.length(), to);
      if (fs >= fe) continue;
      WriteCharFormat(fragment.charFormat());
      if (fragment.charFormat().isImageFormat()) {
        for (int k = fs; k < fe; ++k) WritePicture(fragment.charFormat().toImageFormat());
        continue;
      }
      WriteText(fragment.text().mid(fs - fragment.position(), fe - fs));
    }
    if (blockEnd < to || (endLast && blockEnd == to)) {
      FBody += "\\par\r\n";
    } else {
      break;
    }
  }
  return FBody;
}

}  // namespace

std::string WriteRtf(const QTextDocument& document) {
  TRtfWriterState state(document);
  const std::string body = state.Run(0, document.characterCount() - 1, true);
  return state.Header() + "\r\n" + body + "}\r\n";
}

std::string WriteRtf(const QTextDocument& document, int from, int to) {
  const int last = document.characterCount() - 1;
  from = std::clamp(from, 0, last);
  to = std::clamp(to, from, last);
  TRtfWriterState state(document);
  const std::string body = state.Run(from, to, false);
  return state.Header() + "\r\n" + body + "}\r\n";
}
