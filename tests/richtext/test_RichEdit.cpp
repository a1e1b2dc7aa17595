/// Tests for richtext/RichEdit.cpp, RtfDocumentBuilder.cpp and RtfWriter.cpp:
/// the view's formats, its plain text against the Qt-free reader's, writer
/// round trips, the clipboard and the operations the callers rely on.
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QMimeData>
#include <QRandomGenerator>
#include <QScrollBar>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <QUrl>
#include <functional>

#include "qtbridge/QtText.h"
#include "richtext/RichEdit.h"
#include "richtext/RtfPlainText.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace {

const char* const kNewTopicBody =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil Arial;}{\\f1\\fnil\\fcharset0 "
    "Arial;}}\r\n"
    "{\\colortbl ;\\red0\\green0\\blue255;}\\viewkind4\\uc1\\pard\\cf1\\b\\f0\\fs32 <new "
    "topic>\\cf0\\b0\\fs20\\par\\par }\r\n";

QString SampleDir() { return QStringLiteral(QC_SOURCE_DIR "/tests/data/rtf-samples"); }

std::string ReadBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll().toStdString();
}

QStringList Utf8Lines(const std::vector<std::string>& lines) {
  QStringList result;
  for (const std::string& line : lines)
    result.append(QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size())));
  return result;
}

QTextCharFormat FormatAt(const TRichEdit& edit, int position) {
  QTextCursor c(edit.document());
  c.setPosition(position + 1);
  return c.charFormat();
}

}  // namespace

class TestRichEdit : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void newTopicBodyFormatting();
  void characterAndParagraphFormats();
  void samplesPlainTextMatchesQtFreeReader_data();
  void samplesPlainTextMatchesQtFreeReader();
  void randomRtfSameLinesInViewAndReader();
  void comparisonLines();
  void plainTextFallbackAndFailure();
  void loadIntoSelection();
  void codePages();
  void bulletsRebuiltFromPn();
  void writerRoundTripOfRandomDocuments();
  void writerSelectionAndSpecialCharacters();
  void clipboardCarriesRtf();
  void picturesShownAndWritten();
  void selectionAndAttributes();
  void lineQueriesAndScrolling();
  void notificationsAndReadOnly();
  void veryLongTextsAreShownInPart();
  void screenshot();
};

void TestRichEdit::newTopicBodyFormatting() {
  // Given the two-line new-topic body; when it is loaded;
  TRichEdit edit;
  int changes = 0;
  edit.OnChange = [&](TRichEdit*) { ++changes; };
  TMemoryStream stream(kNewTopicBody);
  edit.LoadFromStream(stream);
  // then the title is 16-point bold blue Arial, followed by one empty paragraph.
  QCOMPARE(edit.PlainTextLines(), (QStringList{QStringLiteral("<new topic>"), QString()}));
  const QTextCharFormat title = FormatAt(edit, 0);
  QCOMPARE(title.fontPointSize(), 16.0);
  QCOMPARE(title.fontWeight(), int(QFont::Bold));
  QCOMPARE(title.foreground().color(), QColor(0, 0, 255));
  QCOMPARE(title.fontFamilies().toStringList().value(0), QStringLiteral("Arial"));
  QCOMPARE(edit.PlainTextCrLf(), std::string("<new topic>\r\n\r\n"));
  QCOMPARE(changes, 1);
}

void TestRichEdit::characterAndParagraphFormats() {
  // Given one run per character format and one paragraph per paragraph format;
  TRichEdit edit;
  edit.LoadRtf(
      "{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\fmodern Courier New;}}"
      "{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}"
      "\\f0\\fs20 n{\\b b}{\\i i}{\\ul u}{\\strike s}{\\cf1 c}{\\highlight2 h}{\\f1\\fs36 f}"
      "{\\super p}{\\sub q}{\\caps k}\\par"
      "\\pard\\qc centre\\par\\pard\\qr right\\par\\pard\\qj justify\\par"
      "\\pard\\li1440\\ri720\\fi360\\sb240\\sa120\\tx2880\\tqr\\tx4320 indents\\par"
      "\\pard\\li720\\fi-720 hanging\\par}");
  // when read, every run and paragraph has its format.
  struct CharCase {
    int position;
    const char* name;
    std::function<bool(const QTextCharFormat&)> check;
  };
  const CharCase chars[] = {
      {0, "normal",
       [](const QTextCharFormat& f) { return f.fontWeight() == QFont::Normal && f.fontPointSize() == 10; }},
      {1, "bold", [](const QTextCharFormat& f) { return f.fontWeight() == QFont::Bold; }},
      {2, "italic", [](const QTextCharFormat& f) { return f.fontItalic(); }},
      {3, "underline", [](const QTextCharFormat& f) { return f.fontUnderline(); }},
      {4, "strike-out", [](const QTextCharFormat& f) { return f.fontStrikeOut(); }},
      {5, "colour", [](const QTextCharFormat& f) { return f.foreground().color() == QColor(255, 0, 0); }},
      {6, "background",
       [](const QTextCharFormat& f) { return f.background().color() == QColor(255, 255, 0); }},
      {7, "font and size",
       [](const QTextCharFormat& f) {
         return f.fontFamilies().toStringList() == QStringList{QStringLiteral("Courier New")} &&
                f.fontPointSize() == 18;
       }},
      {8, "superscript",
       [](const QTextCharFormat& f) { return f.verticalAlignment() == QTextCharFormat::AlignSuperScript; }},
      {9, "subscript",
       [](const QTextCharFormat& f) { return f.verticalAlignment() == QTextCharFormat::AlignSubScript; }},
      {10, "capitals",
       [](const QTextCharFormat& f) { return f.fontCapitalization() == QFont::AllUppercase; }},
  };
  for (const CharCase& c : chars) QVERIFY2(c.check(FormatAt(edit, c.position)), c.name);

  const QTextDocument* doc = edit.document();
  auto block = [&](int n) { return doc->findBlockByNumber(n).blockFormat(); };
  QCOMPARE(block(1).alignment() & Qt::AlignHorizontal_Mask, Qt::Alignment(Qt::AlignHCenter));
  QCOMPARE(block(2).alignment() & Qt::AlignHorizontal_Mask, Qt::Alignment(Qt::AlignRight));
  QCOMPARE(block(3).alignment() & Qt::AlignHorizontal_Mask, Qt::Alignment(Qt::AlignJustify));
  const QTextBlockFormat indents = block(4);
  QCOMPARE(indents.leftMargin(), 96.0);  // 1440 twips = 1 inch = 96 pixels
  QCOMPARE(indents.rightMargin(), 48.0);
  QCOMPARE(indents.textIndent(), 24.0);
  QCOMPARE(indents.topMargin(), 16.0);
  QCOMPARE(indents.bottomMargin(), 8.0);
  // Tab stops from the margin (2 and 3 inches), measured by Qt from the first line's start.
  QCOMPARE(indents.tabPositions().size(), 2);
  QCOMPARE(indents.tabPositions()[0].position, 192.0 - 120.0);
  QCOMPARE(indents.tabPositions()[1].type, QTextOption::RightTab);
  // A hanging indent: the first tab reaches the left indent.
  const QTextBlockFormat hanging = block(5);
  QCOMPARE(hanging.textIndent(), -48.0);
  QCOMPARE(hanging.tabPositions().size(), 1);
  QCOMPARE(hanging.tabPositions()[0].position, 48.0);
}

void TestRichEdit::samplesPlainTextMatchesQtFreeReader_data() {
  QTest::addColumn<QString>("file");
  // The samples of other programs and the corpus of code pages, tables and pictures.
  const QString corpus = QStringLiteral(QC_SOURCE_DIR "/tests/data/rtf-corpus");
  for (const QString& dir : {SampleDir(), corpus}) {
    const QStringList files = QDir(dir).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
    QVERIFY(files.size() >= 15);
    for (const QString& f : files) QTest::newRow(f.toUtf8().constData()) << dir + QLatin1Char('/') + f;
  }
}

void TestRichEdit::samplesPlainTextMatchesQtFreeReader() {
  // The comparison reads the view's lines and qctool the reader's: both alike.
  QFETCH(QString, file);
  const std::string bytes = ReadBytes(file);
  TRichEdit edit;
  edit.LoadRtf(bytes);
  QCOMPARE(edit.PlainTextLines(), Utf8Lines(RtfToPlainTextLines(bytes, &qtbridge::CodePageToUtf8)));
  // The lines do not depend on the view's width.
  edit.resize(120, 300);
  const QStringList narrow = edit.PlainTextLines();
  edit.resize(900, 300);
  QCOMPARE(edit.PlainTextLines(), narrow);
}

void TestRichEdit::randomRtfSameLinesInViewAndReader() {
  // Random snippets of RTF, malformed ones included: the view's lines and
  // the Qt-free reader's lines stay the same. (Bytes a code page leaves
  // undefined are the exception: Qt's converter substitutes them from its own
  // tables, the reader writes U+FFFD; Windows-1252 agrees on all of them.)
  static const char* const kPieces[] = {"{",          "}",        "\\par ",        "\\line ",
                                        "\\tab ",     "\\b ",     "\\v ",          "\\v0 ",
                                        "\\u8232?",   "\\u8233?", "\\u-4?",        "\\u65532?",
                                        "\\u-10179?", "\\'0d",    "\\'0a",         "\\'e9",
                                        "\\'81",      "\\'00",    "\\'0b",         "\\~",
                                        "\\-",        "\\*\\x ",  "{\\pntext x}",  "{\\*\\pn\\pnlvlblt}",
                                        "\\pard ",    "\\cell ",  "\\row ",        "word ",
                                        " ",          "\t",       "\r\n",          "\\uc0 ",
                                        "\\uc2 ",     "\\bin1 z", "{\\fldrslt r}", "\\f1 ",
                                        "\\'82\\'a0", "\x93",     "\\'ff"};
  QRandomGenerator random(7);
  for (int round = 0; round < 400; ++round) {
    std::string rtf = "{\\rtf1 ";
    const int n = random.bounded(30);
    for (int i = 0; i < n; ++i) rtf += kPieces[random.bounded(int(std::size(kPieces)))];
    if (random.bounded(2)) rtf += "}";
    TRichEdit edit;
    edit.LoadRtf(rtf);
    QVERIFY2(edit.PlainTextLines() == Utf8Lines(RtfToPlainTextLines(rtf, &qtbridge::CodePageToUtf8)),
             rtf.c_str());
  }
}

void TestRichEdit::comparisonLines() {
  // What the comparison reads: one Windows-1252 line per paragraph, CR LF after each.
  struct Case {
    const char* name;
    const char* rtf;
    std::string expected;
  };
  const Case cases[] = {
      {"new topic", kNewTopicBody, "<new topic>\r\n\r\n"},
      {"formatting only differs",
       "{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}one {\\b\\cf1 bold} word\\par}", "one bold word\r\n"},
      {"line break splits", "{\\rtf1 first\\line second\\par}", "first\r\nsecond\r\n"},
      {"outside Windows-1252", "{\\rtf1 caf\\'e9 \\u945?\\u8364?\\par}", "caf\xe9 ?\x80\r\n"},
      {"bullets are not text", "{\\rtf1{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt}item\\par}", "item\r\n"},
  };
  for (const Case& c : cases) {
    TRichEdit edit;
    edit.LoadRtf(c.rtf);
    QVERIFY2(edit.PlainTextCrLf() == c.expected, c.name);
    std::string joined;
    for (const std::string& line : edit.PlainTextLinesAnsi()) joined += line + "\r\n";
    QVERIFY2(joined == c.expected, c.name);
  }
}

void TestRichEdit::plainTextFallbackAndFailure() {
  TRichEdit edit;
  // Not RTF (even with white space before "{\rtf"): shown as Windows-1252 text.
  edit.LoadRtf(" {\\rtf1 x}\r\nCaf\xe9\r\n");
  QCOMPARE(edit.PlainTextLines(), (QStringList{QStringLiteral(" {\\rtf1 x}"), QStringLiteral("Caf\u00e9")}));
  // Plain-text mode takes RTF as text too.
  edit.SetPlainText(true);
  edit.LoadRtf("{\\rtf1 \\b x}");
  QCOMPARE(edit.PlainTextLines(), QStringList{QStringLiteral("{\\rtf1 \\b x}")});
  edit.SetPlainText(false);

  // A stream that cannot be read: "Failed to Load Stream", the content intact.
  class TBrokenStream : public TMemoryStream {
   public:
    int64_t Read(void*, int64_t) override { throw EReadError(rtl::SReadError); }
  } broken;
  try {
    edit.LoadFromStream(broken);
    QFAIL("no error raised");
  } catch (const EOutOfResources& e) {
    QCOMPARE(QString::fromStdString(e.Message()), QStringLiteral("Failed to Load Stream"));
  }
  QCOMPARE(edit.PlainTextLines(), QStringList{QStringLiteral("{\\rtf1 \\b x}")});
}

void TestRichEdit::loadIntoSelection() {
  TRichEdit edit;
  edit.LoadRtf("{\\rtf1 one two three\\par}");
  edit.SetSelStart(4);
  edit.SetSelLength(3);
  QCOMPARE(edit.SelText(), std::string("two"));
  // Given a selection; when RTF is loaded into it, only the selection changes,
  edit.LoadSelectionRtf("{\\rtf1 {\\b 2}}");
  QCOMPARE(edit.PlainTextLines(), QStringList{QStringLiteral("one 2 three")});
  QVERIFY(FormatAt(edit, 4).fontWeight() == QFont::Bold);
  QVERIFY(FormatAt(edit, 0).fontWeight() != QFont::Bold);
  // and the caret ends after the inserted text.
  QCOMPARE(edit.SelStart(), 5);
  QCOMPARE(edit.SelLength(), 0);
  // A paragraph end at the end of inserted RTF is a real paragraph break.
  edit.LoadSelectionRtf("{\\rtf1 X\\par}");
  QCOMPARE(edit.PlainTextLines(), (QStringList{QStringLiteral("one 2X"), QStringLiteral(" three")}));
}

void TestRichEdit::codePages() {
  struct Case {
    const char* name;
    const char* rtf;
    QString text;
  };
  const Case cases[] = {
      {"ansicpg 1251", "{\\rtf1\\ansi\\ansicpg1251 \\'cf\\'f0\\'e8}", QStringLiteral("\u041f\u0440\u0438")},
      {"font charset wins", "{\\rtf1\\ansi{\\fonttbl{\\f0 A;}{\\f1\\fcharset161 G;}}\\f1 \\'e1\\f0 \\'e1}",
       QStringLiteral("\u03b1\u00e1")},
      {"double-byte Shift-JIS", "{\\rtf1\\ansi\\ansicpg932 \\'93\\'fa\\'96\\'7b}",
       QStringLiteral("\u65e5\u672c")},
      {"symbol font bullet", "{\\rtf1{\\fonttbl{\\f0\\fcharset2 Symbol;}}\\f0\\'b7}",
       QStringLiteral("\u2022")},
      {"unknown code page", "{\\rtf1\\ansi\\ansicpg99999 \\'e9}", QStringLiteral("\u00e9")},
  };
  for (const Case& c : cases) {
    TRichEdit edit;
    edit.LoadRtf(c.rtf);
    QVERIFY2(edit.PlainTextLines() == QStringList{c.text}, c.name);
    QVERIFY2(Utf8Lines(RtfToPlainTextLines(c.rtf, &qtbridge::CodePageToUtf8)) == QStringList{c.text}, c.name);
  }
}

void TestRichEdit::bulletsRebuiltFromPn() {
  TRichEdit edit;
  edit.LoadRtf(ReadBytes(SampleDir() + QStringLiteral("/p18-richedit-topic-bullets.rtf")));
  const QTextBlock item = edit.document()->findBlockByNumber(3);
  QCOMPARE(item.text(), QStringLiteral("The computer is switched on."));
  QVERIFY(item.textList());
  QCOMPARE(item.textList()->format().style(), QTextListFormat::ListDisc);
  QCOMPARE(item.textList()->count(), 3);
  const QTextBlock numbered = edit.document()->findBlockByNumber(9);
  QCOMPARE(numbered.text(), QStringLiteral("Click Next on every page."));
  QVERIFY(numbered.textList());
  QCOMPARE(numbered.textList()->format().style(), QTextListFormat::ListDecimal);
  QCOMPARE(numbered.textList()->itemNumber(numbered), 1);
  QCOMPARE(edit.document()->findBlockByNumber(11).blockFormat().alignment() & Qt::AlignHorizontal_Mask,
           Qt::Alignment(Qt::AlignHCenter));
}

void TestRichEdit::writerRoundTripOfRandomDocuments() {
  // Given random documents of formatted runs and paragraphs; when written and
  // read back, the text and every run's and paragraph's format are the same.
  QRandomGenerator random(20261208);
  const QStringList families{QStringLiteral("Arial"), QStringLiteral("Courier New"),
                             QStringLiteral("Times New Roman")};
  const QStringList words{
      QStringLiteral("plain"),       QStringLiteral("caf\u00e9"),    QStringLiteral("{brace}"),
      QStringLiteral("back\\slash"), QStringLiteral("\u03b1\u03b2"), QStringLiteral("tab\there"),
      QStringLiteral("\u20ac 5"),    QStringLiteral("\U0001F600"),   QStringLiteral("nb\u00a0sp")};
  for (int round = 0; round < 30; ++round) {
    TRichEdit source;
    QTextCursor c(source.document());
    const int paragraphs = 1 + random.bounded(5);
    for (int p = 0; p < paragraphs; ++p) {
      if (p > 0) c.insertBlock();
      QTextBlockFormat bf;
      static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignHCenter, Qt::AlignRight,
                                             Qt::AlignJustify};
      bf.setAlignment(kAlign[random.bounded(4)]);
      bf.setLeftMargin(random.bounded(5) * 24);
      bf.setRightMargin(random.bounded(3) * 12);
      bf.setTextIndent(random.bounded(3) * 16);
      if (random.bounded(2))
        bf.setTabPositions(
            {QTextOption::Tab(96, QTextOption::LeftTab), QTextOption::Tab(192, QTextOption::RightTab)});
      c.setBlockFormat(bf);
      const int runs = random.bounded(4);
      for (int r = 0; r < runs; ++r) {
        QTextCharFormat cf;
        cf.setFontFamilies(QStringList{families[random.bounded(families.size())]});
        cf.setFontPointSize(8 + random.bounded(10));
        cf.setFontWeight(random.bounded(2) ? QFont::Bold : QFont::Normal);
        cf.setFontItalic(random.bounded(2));
        cf.setFontUnderline(random.bounded(2));
        cf.setFontStrikeOut(random.bounded(2));
        cf.setForeground(QColor(random.bounded(256), random.bounded(256), random.bounded(256)));
        if (random.bounded(3) == 0) cf.setBackground(QColor(255, 255, random.bounded(256)));
        c.insertText(words[random.bounded(words.size())] + QLatin1Char(' '), cf);
      }
    }
    const std::string rtf = source.SaveRtf();
    TRichEdit copy;
    copy.LoadRtf(rtf);
    const QTextDocument* a = source.document();
    const QTextDocument* b = copy.document();
    QCOMPARE(b->toRawText(), a->toRawText());
    QCOMPARE(copy.PlainTextLines(), Utf8Lines(RtfToPlainTextLines(rtf, &qtbridge::CodePageToUtf8)));
    for (QTextBlock x = a->begin(), y = b->begin(); x.isValid(); x = x.next(), y = y.next()) {
      QVERIFY(y.isValid());
      const QTextBlockFormat fx = x.blockFormat(), fy = y.blockFormat();
      QCOMPARE(fy.alignment() & Qt::AlignHorizontal_Mask, fx.alignment() & Qt::AlignHorizontal_Mask);
      QCOMPARE(fy.leftMargin(), fx.leftMargin());
      QCOMPARE(fy.rightMargin(), fx.rightMargin());
      QCOMPARE(fy.textIndent(), fx.textIndent());
      QCOMPARE(fy.tabPositions().size(), fx.tabPositions().size());
      for (int pos = x.position(); pos < x.position() + x.length() - 1; ++pos) {
        const QTextCharFormat cx = FormatAt(source, pos), cy = FormatAt(copy, pos);
        const QByteArray where = QByteArray::number(round) + " @" + QByteArray::number(pos) + "\n" +
                                 QByteArray::fromStdString(rtf);
        QVERIFY2(cy.fontFamilies() == cx.fontFamilies(), where);
        QVERIFY2(cy.fontPointSize() == cx.fontPointSize(), where);
        QVERIFY2((cy.fontWeight() >= QFont::DemiBold) == (cx.fontWeight() >= QFont::DemiBold), where);
        QVERIFY2(cy.fontItalic() == cx.fontItalic() && cy.fontUnderline() == cx.fontUnderline(), where);
        QVERIFY2(cy.fontStrikeOut() == cx.fontStrikeOut(), where);
        QVERIFY2(cy.foreground().color() == cx.foreground().color(), where);
        QVERIFY2(cy.background().style() == cx.background().style(), where);
        if (cx.background().style() != Qt::NoBrush)
          QVERIFY2(cy.background().color() == cx.background().color(), where);
      }
    }
  }
}

void TestRichEdit::writerSelectionAndSpecialCharacters() {
  TRichEdit edit;
  edit.LoadRtf(
      "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 alpha {\\b beta}\\par gamma\\line delta\\par epsilon}");
  // A selection from inside the first paragraph into the second.
  edit.SetSelStart(6);
  edit.SetSelLength(8);
  const std::string part = edit.SaveSelectionRtf();
  TRichEdit other;
  other.LoadRtf(part);
  QCOMPARE(other.PlainTextLines(), (QStringList{QStringLiteral("beta"), QStringLiteral("gam")}));
  QVERIFY(FormatAt(other, 0).fontWeight() == QFont::Bold);
  // Line breaks inside a paragraph survive the round trip.
  TRichEdit whole;
  whole.LoadRtf(edit.SaveRtf());
  QCOMPARE(whole.PlainTextLines(), edit.PlainTextLines());
  QCOMPARE(whole.LineCount(), 3);
  // Empty documents and empty last paragraphs keep their paragraphs.
  for (const char* rtf : {"{\\rtf1 }", "{\\rtf1 a\\par\\par}", "{\\rtf1 \\par\\par\\par}"}) {
    TRichEdit x, y;
    x.LoadRtf(rtf);
    y.LoadRtf(x.SaveRtf());
    QVERIFY2(y.PlainTextLines() == x.PlainTextLines(), rtf);
  }
}

void TestRichEdit::clipboardCarriesRtf() {
  TRichEdit source;
  source.LoadRtf("{\\rtf1{\\colortbl;\\red255\\green0\\blue0;}plain {\\cf1\\i red italic} tail}");
  source.SetSelStart(6);
  source.SetSelLength(10);
  source.CopyToClipboard();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  QVERIFY(data && data->hasFormat(QStringLiteral("text/rtf")));
  QVERIFY(data->data(QStringLiteral("text/rtf")).startsWith("{\\rtf1"));
  TRichEdit target;
  target.LoadRtf("{\\rtf1 [] }");
  target.SetSelStart(1);
  target.PasteFromClipboard();
  QCOMPARE(target.PlainTextLines(), QStringList{QStringLiteral("[red italic] ")});
  QCOMPARE(FormatAt(target, 1).foreground().color(), QColor(255, 0, 0));
  QVERIFY(FormatAt(target, 1).fontItalic());
  QCOMPARE(target.SelStart(), 11);  // the caret after the pasted text
  // A read-only view takes nothing.
  target.SetReadOnly(true);
  target.PasteFromClipboard();
  QCOMPARE(target.PlainTextLines(), QStringList{QStringLiteral("[red italic] ")});
}

void TestRichEdit::picturesShownAndWritten() {
  // Given RTF with a PNG picture between words;
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(QColor(200, 30, 30));
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  QVERIFY(image.save(&buffer, "PNG"));
  const std::string rtf =
      "{\\rtf1 a{\\pict\\pngblip\\picwgoal600\\pichgoal450 " + png.toHex().toStdString() + "}b\\par}";
  // when loaded, the picture stands in the text at its goal size, yet is no part of the plain text;
  TRichEdit edit;
  edit.LoadRtf(rtf);
  QCOMPARE(edit.PlainTextLines(), QStringList{QStringLiteral("ab")});
  const QTextCharFormat f = FormatAt(edit, 1);
  QVERIFY(f.isImageFormat());
  QCOMPARE(f.toImageFormat().width(), 40.0);
  QCOMPARE(f.toImageFormat().height(), 30.0);
  // and written out and read back, it is the same picture.
  TRichEdit copy;
  copy.LoadRtf(edit.SaveRtf());
  const QTextImageFormat g = FormatAt(copy, 1).toImageFormat();
  QVERIFY(g.isValid());
  QCOMPARE(g.width(), 40.0);
  const QImage back = copy.document()->resource(QTextDocument::ImageResource, QUrl(g.name())).value<QImage>();
  QCOMPARE(back.size(), QSize(4, 3));
  QCOMPARE(back.pixelColor(1, 1), QColor(200, 30, 30));

  // Given pictures the view cannot draw (a metafile of 1 by 0.5 inch, an EMF
  // with a goal size, a damaged PNG), each stands as a framed placeholder of
  // its size, no part of the plain text;
  TRichEdit other;
  other.LoadRtf(
      "{\\rtf1 a{\\pict\\wmetafile8\\picw2540\\pich1270 0102ff}b{\\pict\\emfblip\\picwgoal300\\pichgoal150 "
      "00}"
      "c{\\pict\\pngblip\\picw8\\pich4 8950}\\par}");
  QCOMPARE(other.PlainTextLines(), QStringList{QStringLiteral("abc")});
  const QTextImageFormat wmf = FormatAt(other, 1).toImageFormat();
  QVERIFY(wmf.isValid());
  QCOMPARE(wmf.width(), 96.0);
  QCOMPARE(wmf.height(), 48.0);
  const QImage frame =
      other.document()->resource(QTextDocument::ImageResource, QUrl(wmf.name())).value<QImage>();
  QVERIFY(!frame.isNull());
  QVERIFY(frame.pixelColor(0, frame.height() / 2) != frame.pixelColor(frame.width() / 4, frame.height() / 2));
  QCOMPARE(FormatAt(other, 3).toImageFormat().width(), 20.0);
  QCOMPARE(FormatAt(other, 5).toImageFormat().width(), 8.0);
  // and written out, the metafile goes as it came.
  const std::string saved = other.SaveRtf();
  QVERIFY2(saved.find("{\\pict\\wmetafile8\\picw2540\\pich1270\\picwgoal1440\\pichgoal720\r\n0102ff}") !=
               std::string::npos,
           saved.c_str());
  QVERIFY2(
      saved.find("{\\pict\\pngblip\\picw8\\pich4\\picwgoal120\\pichgoal60\r\n8950}") != std::string::npos,
      saved.c_str());
  TRichEdit again;
  again.LoadRtf(saved);
  QCOMPARE(FormatAt(again, 1).toImageFormat().width(), 96.0);
}

void TestRichEdit::selectionAndAttributes() {
  TRichEdit edit;
  edit.LoadRtf("{\\rtf1 first line\\par second line\\par third}");
  edit.SetSelStart(6);
  edit.SetSelLength(15);
  TRichCharAttributes chars;
  chars.HasColor = true;
  chars.Color = clRed;
  chars.Name = "Courier New";
  chars.Size = 14;
  chars.HasStyle = true;
  chars.Style = TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline};
  edit.SetSelAttributes(chars);
  const TRichCharAttributes back = edit.SelAttributes();
  QCOMPARE(back.Color, clRed);
  QCOMPARE(QString::fromStdString(back.Name), QStringLiteral("Courier New"));
  QCOMPARE(back.Size, 14);
  QVERIFY(back.Style == (TFontStyles{TFontStyle::fsBold, TFontStyle::fsUnderline}));
  QVERIFY(FormatAt(edit, 5).fontWeight() != QFont::Bold);

  TRichParaAttributes para;
  para.HasNumbering = para.HasAlignment = para.HasFirstIndent = para.HasLeftIndent = para.HasRightIndent =
      true;
  para.Numbering = nsBullet;
  para.Alignment = TParaAlignment::taCenter;
  para.FirstIndent = 10;
  para.LeftIndent = 20;
  para.RightIndent = 30;
  para.HasTabs = true;
  para.Tabs = {10, 20, 30};
  edit.SetParagraph(para);
  for (int line : {0, 1}) {
    const QTextBlock block = edit.document()->findBlockByNumber(line);
    QVERIFY(block.textList());
    QCOMPARE(block.blockFormat().tabPositions().size(), 3);
  }
  QVERIFY(!edit.document()->findBlockByNumber(2).textList());
  const TRichParaAttributes got = edit.Paragraph();
  QCOMPARE(got.Alignment, TParaAlignment::taCenter);
  QCOMPARE(got.LeftIndent, 20);
  QCOMPARE(got.RightIndent, 30);
  QCOMPARE(got.Tabs, (std::vector<int>{10, 20, 30}));
  // The bullets travel through RTF.
  TRichEdit copy;
  copy.LoadRtf(edit.SaveRtf());
  QVERIFY(copy.document()->findBlockByNumber(1).textList());
  QCOMPARE(copy.PlainTextLines(), edit.PlainTextLines());
  // Numbering off again.
  para = TRichParaAttributes();
  para.HasNumbering = true;
  edit.SetParagraph(para);
  QVERIFY(!edit.document()->findBlockByNumber(0).textList());
  // Plain-text selection replacement, Windows-1252.
  edit.SetSelStart(0);
  edit.SetSelLength(5);
  edit.SetSelText("Caf\xe9");
  QCOMPARE(edit.PlainTextLines().first(), QStringLiteral("Caf\u00e9 line"));
}

void TestRichEdit::lineQueriesAndScrolling() {
  TRichEdit edit;
  std::string rtf = "{\\rtf1 ";
  for (int i = 0; i < 200; ++i) rtf += "line " + std::to_string(i) + "\\par ";
  rtf += "}";
  edit.resize(300, 200);
  edit.SetWordWrap(false);
  edit.show();
  edit.LoadRtf(rtf);
  QCOMPARE(edit.LineCount(), 200);
  QCOMPARE(edit.LineIndex(0), 0);
  QCOMPARE(edit.LineIndex(1), 7);    // "line 0" plus its paragraph end
  QCOMPARE(edit.LineLength(10), 7);  // "line 10"
  QCOMPARE(edit.LineFromChar(8), 1);
  QCOMPARE(edit.LineIndex(500), -1);
  QCOMPARE(edit.LineLength(-1), 6);  // the caret's line: "line 0"
  QCOMPARE(edit.FirstVisibleLine(), 0);
  edit.ScrollLines(50);
  QCOMPARE(edit.FirstVisibleLine(), 50);
  edit.ScrollLines(-20);
  QCOMPARE(edit.FirstVisibleLine(), 30);
  edit.ScrollLines(-1000);
  QCOMPARE(edit.FirstVisibleLine(), 0);
  edit.SetSelStart(edit.LineIndex(5) + 2);
  QCOMPARE(edit.LineFromChar(-1), 5);
  QCOMPARE(edit.LineIndex(-1), edit.LineIndex(5));
}

void TestRichEdit::notificationsAndReadOnly() {
  TRichEdit edit;
  int changes = 0, selections = 0;
  edit.OnChange = [&](TRichEdit*) { ++changes; };
  edit.OnSelectionChange = [&](TRichEdit*) { ++selections; };
  edit.SuspendNotifications();
  edit.LoadRtf("{\\rtf1 abc}");
  edit.SetSelStart(1);
  edit.ResumeNotifications();
  QCOMPARE(changes, 0);
  QCOMPARE(selections, 0);
  edit.SetSelText("x");
  QVERIFY(changes >= 1);
  QVERIFY(selections >= 1);
  edit.SuspendRedraw();
  edit.SuspendRedraw();
  QVERIFY(!edit.viewport()->updatesEnabled());
  edit.ResumeRedraw();
  QVERIFY(!edit.viewport()->updatesEnabled());
  edit.ResumeRedraw();
  QVERIFY(edit.viewport()->updatesEnabled());
  // Keys: OnKeyDown sees them first and can swallow them; read-only ignores typing.
  bool swallow = true;
  edit.OnKeyDown = [&](TRichEdit*, QKeyEvent*, bool& handled) { handled = swallow; };
  const QStringList before = edit.PlainTextLines();
  QTest::keyClick(&edit, Qt::Key_Z);
  QCOMPARE(edit.PlainTextLines(), before);
  swallow = false;
  edit.SetReadOnly(true);
  QTest::keyClick(&edit, Qt::Key_Z);
  QCOMPARE(edit.PlainTextLines(), before);
  edit.SetReadOnly(false);
  QTest::keyClick(&edit, Qt::Key_Z);
  QVERIFY(edit.PlainTextLines() != before);
  edit.Clear();
  QCOMPARE(edit.PlainTextLines(), QStringList{QString()});
  QCOMPARE(edit.GetTextLen(), 0);
}

void TestRichEdit::veryLongTextsAreShownInPart() {
  TRichEdit edit;
  edit.resize(640, 480);
  edit.show();
  // A 150,000-character word: its paragraph is laid out unwrapped; words of ordinary length wrap
  const std::string word(150000, 'w');
  edit.LoadRtf("{\\rtf1 short words\\par " + word + "\\par}");
  QVERIFY(!edit.Truncated());
  QVERIFY(!edit.document()->begin().blockFormat().nonBreakableLines());
  QVERIFY(edit.document()->begin().next().blockFormat().nonBreakableLines());
  QCOMPARE(edit.PlainTextLines().value(1).size(), qsizetype{150000});
  QVERIFY(QTest::qWaitForWindowExposed(&edit));
  // A text past the display limit shows its start and a notice with a link
  edit.SetDisplayLimit(1000);
  std::string words;
  for (int i = 0; i < 1000; ++i) words += "some words \\par ";
  const std::string rtf = "{\\rtf1 " + words + "}";
  edit.LoadRtf(rtf);
  QVERIFY(edit.Truncated());
  const QStringList shown = edit.PlainTextLines();
  QCOMPARE(shown.last(), QStringLiteral("[10,999 more characters are not shown] Show all"));
  QVERIFY(edit.GetTextLen() < 1100);
  // Show all loads the whole; a new load ends it
  int changes = 0;
  edit.OnChange = [&](TRichEdit*) { ++changes; };
  edit.ShowAllAction()->trigger();
  QVERIFY(!edit.Truncated());
  QCOMPARE(edit.PlainTextLines().size(), qsizetype{1000});
  QCOMPARE(changes, 1);
  edit.LoadRtf(rtf);
  QVERIFY(edit.Truncated());
  edit.LoadRtf("{\\rtf1 short}");
  QVERIFY(!edit.Truncated());
  edit.ShowAll();
  QCOMPARE(edit.PlainTextLines(), QStringList{QStringLiteral("short")});
}

void TestRichEdit::screenshot() {
  // Renders example bodies when QC_SCREENSHOT_DIR names a folder.
  const QByteArray dir = qgetenv("QC_SCREENSHOT_DIR");
  if (dir.isEmpty()) QSKIP("QC_SCREENSHOT_DIR not set");
  const QStringList files = QDir(SampleDir()).entryList({QStringLiteral("*.rtf")}, QDir::Files, QDir::Name);
  for (const QString& file : files) {
    TRichEdit edit;
    edit.resize(640, 480);
    edit.SetReadOnly(true);
    edit.LoadRtf(ReadBytes(SampleDir() + QLatin1Char('/') + file));
    edit.show();
    QVERIFY(edit.grab().save(QString::fromUtf8(dir) + QLatin1Char('/') +
                             QString(file).replace(QStringLiteral(".rtf"), QStringLiteral(".png"))));
  }
}

QTEST_MAIN(TestRichEdit)
#include "test_RichEdit.moc"
