#include "richtext/RtfDocumentBuilder.h"

#include <QImage>
#include <QPainter>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <algorithm>

#include "qtbridge/QtText.h"
#include "richtext/RtfReader.h"
#include "toolkit/SysUtils.h"

namespace {

// Twips (1/1440 inch) to the document's pixels at 96 per inch.
qreal TwipsToPixels(int twips) { return twips / 15.0; }

QColor RgbColor(uint32_t rgb) { return QColor((rgb >> 16) & 255, (rgb >> 8) & 255, rgb & 255); }

// The size a picture is shown at, in pixels: its goal size in twips, else
// \picw/\pich (hundredths of a millimetre for a metafile), else Fallback;
// then scaled.
QSizeF PictureSize(const TRtfPicture& picture, QSizeF fallback) {
  const bool metafile = picture.Blip.rfind("wmetafile", 0) == 0 || picture.Blip.rfind("emfblip", 0) == 0 ||
                        picture.Blip.rfind("pmmetafile", 0) == 0 || picture.Blip.rfind("macpict", 0) == 0;
  auto side = [&](int goal, int natural, qreal other) {
    if (goal > 0) return TwipsToPixels(goal);
    if (natural > 0)
      return metafile && picture.Blip.rfind("macpict", 0) != 0 ? natural * 96.0 / 2540.0 : natural;
    return other;
  };
  qreal width = side(picture.WidthGoal, picture.Width, fallback.width());
  qreal height = side(picture.HeightGoal, picture.Height, fallback.height());
  if (picture.ScaleX > 0) width = width * picture.ScaleX / 100.0;
  if (picture.ScaleY > 0) height = height * picture.ScaleY / 100.0;
  return {std::clamp(width, 1.0, 10000.0), std::clamp(height, 1.0, 10000.0)};
}

// A grey frame with a cross, for a picture that cannot be drawn: the user
// sees that something is there and how large it is.
QImage Placeholder(QSizeF size) {
  // The image is drawn scaled to the picture's size; a bounded one keeps a
  // huge picture from costing memory.
  const QSize pixels(std::clamp(qRound(size.width()), 4, 1024), std::clamp(qRound(size.height()), 4, 1024));
  QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
  image.fill(QColor(245, 245, 245));
  QPainter painter(&image);
  painter.setPen(QColor(150, 150, 150));
  painter.drawRect(0, 0, pixels.width() - 1, pixels.height() - 1);
  painter.drawLine(0, 0, pixels.width() - 1, pixels.height() - 1);
  painter.drawLine(0, pixels.height() - 1, pixels.width() - 1, 0);
  return image;
}

}  // namespace

TRtfDocumentBuilder::TRtfDocumentBuilder(QTextCursor cursor, bool whole) : FCursor(cursor), FWhole(whole) {
  if (FCursor.hasSelection()) FCursor.removeSelectedText();
}

TRtfDocumentBuilder::~TRtfDocumentBuilder() = default;

void TRtfDocumentBuilder::Start(const TRtfTables& tables) { FTables = &tables; }

QString TRtfDocumentBuilder::Decode(std::string_view bytes, int codePage) {
  static_assert(kSymbolCodePage == qtbridge::kSymbolCodePage,
                "the reader and the converters name Symbol alike");
  return qtbridge::CodePageToQString(bytes, codePage);
}

const QTextCharFormat& TRtfDocumentBuilder::CharFormat(const TRtfCharFormat& f) {
  // Documents switch between a handful of formats: keep the recent ones.
  for (const auto& [key, cached] : FFormatCache) {
    if (key == f) return cached;
  }
  if (FFormatCache.size() >= 64) FFormatCache.erase(FFormatCache.begin());
  QTextCharFormat format;
  if (FTables) {
    if (const TRtfFont* font = FTables->FindFont(f.Font < 0 ? FTables->DefaultFont : f.Font)) {
      if (!font->Name.empty()) {
        const int cp = font->CodePage > 0 ? font->CodePage
                                          : FTables->CodePageOf(f.Font < 0 ? FTables->DefaultFont : f.Font);
        format.setFontFamilies(QStringList{Decode(font->Name, cp)});
      }
    }
  }
  format.setFontPointSize(f.SizeHalfPoints / 2.0);
  format.setFontWeight(f.Bold ? QFont::Bold : QFont::Normal);
  format.setFontItalic(f.Italic);
  format.setFontUnderline(f.Underline);
  format.setFontStrikeOut(f.Strike);
  if (f.Caps == 1) format.setFontCapitalization(QFont::AllUppercase);
  if (f.Caps == 2) format.setFontCapitalization(QFont::SmallCaps);
  if (f.VertAlign == 1) format.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
  if (f.VertAlign == 2) format.setVerticalAlignment(QTextCharFormat::AlignSubScript);
  if (FTables) {
    if (auto rgb = FTables->Color(f.Color)) format.setForeground(RgbColor(*rgb));
    if (f.Background > 0) {
      if (auto rgb = FTables->Color(f.Background)) format.setBackground(RgbColor(*rgb));
    }
  }
  FFormatCache.emplace_back(f, format);
  return FFormatCache.back().second;
}

void TRtfDocumentBuilder::BeginTextIfPending() {
  if (!FPending) return;
  FCursor.insertBlock();
  // The new block has the format of the one before it, objects included.
  FInheritsApplied = FApplied.has_value();
  FPending = false;
}

void TRtfDocumentBuilder::Append(const QString& text, const TRtfCharFormat& format) {
  BeginTextIfPending();
  if (FHaveKey && !(format == FBufferKey)) Flush();
  if (FBuffer.isEmpty()) {
    FBufferKey = format;
    FHaveKey = true;
  }
  FBuffer += text;
}

void TRtfDocumentBuilder::Flush() {
  if (FBuffer.isEmpty()) return;
  FCursor.insertText(FBuffer, CharFormat(FBufferKey));
  FBuffer.clear();
}

void TRtfDocumentBuilder::Text(std::string_view bytes, int codePage, const TRtfCharFormat& format) {
  Append(Decode(bytes, codePage), format);
}

void TRtfDocumentBuilder::Unicode(char32_t codePoint, const TRtfCharFormat& format) {
  if (codePoint > 0x10FFFF || (codePoint >= 0xD800 && codePoint <= 0xDFFF)) codePoint = 0xFFFD;
  char32_t one[1] = {codePoint};
  Append(QString::fromUcs4(one, 1), format);
}

void TRtfDocumentBuilder::Picture(const TRtfPicture& picture, const TRtfCharFormat& format) {
  QImage image;
  const QByteArray data(picture.Data.data(), static_cast<qsizetype>(picture.Data.size()));
  const bool drawable = picture.Kind != TRtfPicture::Other &&
                        image.loadFromData(data, picture.Kind == TRtfPicture::Png ? "PNG" : "JPEG") &&
                        !image.isNull();
  const QSizeF size = PictureSize(picture, drawable ? QSizeF(image.size()) : QSizeF(32, 32));
  if (!drawable) image = Placeholder(size);
  BeginTextIfPending();
  Flush();
  QTextDocument* document = FCursor.document();
  // A name unique within the document, under which it keeps the image.
  int serial = document->property("qcRtfImageSerial").toInt() + 1;
  document->setProperty("qcRtfImageSerial", serial);
  const QString name = QStringLiteral("rtfimage:%1").arg(serial);
  document->addResource(QTextDocument::ImageResource, QUrl(name), image);
  QTextImageFormat imageFormat;
  imageFormat.merge(CharFormat(format));
  imageFormat.setName(name);
  imageFormat.setWidth(size.width());
  imageFormat.setHeight(size.height());
  if (!drawable) {
    // A picture without a format word is not written back at all.
    std::string blip = picture.Blip;
    if (picture.Kind == TRtfPicture::Png) blip = "pngblip";
    if (picture.Kind == TRtfPicture::Jpeg) blip = "jpegblip";
    imageFormat.setProperty(kRtfPictureBlipProperty, QString::fromLatin1(blip));
    imageFormat.setProperty(kRtfPictureDataProperty, data);
    imageFormat.setProperty(kRtfPictureWidthProperty, picture.Width);
    imageFormat.setProperty(kRtfPictureHeightProperty, picture.Height);
  }
  FCursor.insertImage(imageFormat);
}

void TRtfDocumentBuilder::LineBreak(const TRtfCharFormat& format) {
  Append(QString(QChar::LineSeparator), format);
}

void TRtfDocumentBuilder::ApplyBlockFormat(const TRtfParaFormat& p) {
  // Most paragraphs repeat the one before: their block already has that
  // format, and setting it again is most of the cost of a paragraph end.
  const bool inherits = FInheritsApplied;
  FInheritsApplied = false;
  if (inherits && p.Numbering == TRtfNumbering::None && *FApplied == p) {
    FList = nullptr;
    FListKind = TRtfNumbering::None;
    return;
  }
  FApplied.reset();
  QTextBlockFormat block;
  switch (p.Alignment) {
    case TRtfAlignment::Left:
      block.setAlignment(Qt::AlignLeft);
      break;
    case TRtfAlignment::Center:
      block.setAlignment(Qt::AlignHCenter);
      break;
    case TRtfAlignment::Right:
      block.setAlignment(Qt::AlignRight);
      break;
    case TRtfAlignment::Justify:
      block.setAlignment(Qt::AlignJustify);
      break;
  }
  const bool numbered = p.Numbering != TRtfNumbering::None;
  block.setLeftMargin(TwipsToPixels(std::max(0, p.LeftIndent)));
  block.setRightMargin(TwipsToPixels(std::max(0, p.RightIndent)));
  // A numbered paragraph's hanging indent holds its label.
  block.setTextIndent(numbered ? 0.0 : TwipsToPixels(p.FirstIndent));
  block.setTopMargin(TwipsToPixels(std::max(0, p.SpaceBefore)));
  block.setBottomMargin(TwipsToPixels(std::max(0, p.SpaceAfter)));
  // RTF measures tab stops from the left margin, Qt from where the first
  // line starts (left indent plus first-line indent).
  const qreal lineStart = block.leftMargin() + block.textIndent();
  QList<QTextOption::Tab> tabs;
  for (const TRtfTabStop& t : p.Tabs) {
    QTextOption::TabType type = QTextOption::LeftTab;
    QChar delimiter;
    if (t.Kind == TRtfTabKind::Right) type = QTextOption::RightTab;
    if (t.Kind == TRtfTabKind::Center) type = QTextOption::CenterTab;
    if (t.Kind == TRtfTabKind::Decimal) {
      type = QTextOption::DelimiterTab;
      delimiter = QLatin1Char('.');
    }
    const qreal position = TwipsToPixels(t.Position) - lineStart;
    if (position > 0) tabs.append(QTextOption::Tab(position, type, delimiter));
  }
  // A hanging indent is a tab stop too: the first tab reaches the left indent
  // unless a stop comes before it.
  if (p.FirstIndent < 0 && !numbered) {
    const qreal hanging = block.leftMargin() - lineStart;
    const bool earlier = std::any_of(tabs.begin(), tabs.end(),
                                     [&](const QTextOption::Tab& t) { return t.position <= hanging; });
    if (!earlier && hanging > 0) tabs.prepend(QTextOption::Tab(hanging, QTextOption::LeftTab));
  }
  if (!tabs.isEmpty()) block.setTabPositions(tabs);
  FCursor.setBlockFormat(block);

  if (!numbered) {
    FList = nullptr;
    FListKind = TRtfNumbering::None;
    FApplied = p;
    return;
  }
  if (FList && FListKind == p.Numbering && FCursor.block().previous().isValid() &&
      FCursor.block().previous().textList() == FList) {
    FList->add(FCursor.block());
    return;
  }
  QTextListFormat list;
  list.setStyle(p.Numbering == TRtfNumbering::Bullet ? QTextListFormat::ListDisc
                                                     : QTextListFormat::ListDecimal);
  list.setIndent(0);
  FList = FCursor.createList(list);
  FListKind = p.Numbering;
}

void TRtfDocumentBuilder::ParagraphEnd(const TRtfParaFormat& format) {
  BeginTextIfPending();
  Flush();
  ApplyBlockFormat(format);
  FPending = true;
}

void TRtfDocumentBuilder::Finish(const TRtfParaFormat& format) {
  Flush();
  if (FPending) {
    // The last paragraph end of a whole document is the document's own end;
    // inserted into a selection it is a paragraph break like any other.
    if (!FWhole) FCursor.insertBlock();
    FPending = false;
    return;
  }
  if (FWhole) ApplyBlockFormat(format);
}

QTextCursor InsertRtf(QTextCursor cursor, std::string_view bytes, bool whole) {
  // One edit block: the document reports one change and lays out once.
  cursor.beginEditBlock();
  TRtfDocumentBuilder builder(cursor, whole);
  TRtfReader reader;
  reader.Read(bytes, builder);
  QTextCursor end = builder.Cursor();
  cursor.endEditBlock();
  return end;
}
