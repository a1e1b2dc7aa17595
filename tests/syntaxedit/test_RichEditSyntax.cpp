/// Tests for syntaxedit/RichEditHighlight.cpp: the colouring rich edit's
/// properties, when and what it re-colours, and that a re-colouring leaves
/// the view, the caret and the handlers as they were. Colours are read from
/// the document's character formats.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "qtbridge/QtGraphics.h"
#include "syntaxedit/RichEditHighlight.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace {

/// Exposes the internal operations.
class TProbe : public TRichEditSyntax {
 public:
  using TRichEditSyntax::ApplyColors;
  using TRichEditSyntax::LoadHighlighted;
  using TRichEditSyntax::SelectLine;
};

QTextCharFormat FormatAt(const TRichEdit& edit, int position) {
  QTextCursor c(edit.document());
  c.setPosition(position + 1);
  return c.charFormat();
}

/// The colour of the character at Position, or an invalid colour when it has none of its own.
QColor ColorAt(const TRichEdit& edit, int position) {
  const QTextCharFormat f = FormatAt(edit, position);
  return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
}

bool BoldAt(const TRichEdit& edit, int position) {
  return FormatAt(edit, position).fontWeight() >= QFont::Bold;
}

QColor Rgb(TColor color) {
  const TColor rgb = ColorToRGB(color);
  return QColor(GetRValue(rgb), GetGValue(rgb), GetBValue(rgb));
}

/// Replaces the content with plain Text without re-colouring it.
void SetPlain(TRichEdit& edit, const std::string& text) {
  edit.SuspendNotifications();
  edit.LoadRtf(text);
  edit.ResumeNotifications();
}

/// Position of the first occurrence of Needle in the view's text.
int Find(const TRichEdit& edit, const QString& needle) {
  return static_cast<int>(edit.document()->find(needle).selectionStart());
}

/// Types Text one character at a time (QTest's key clicks take ASCII only).
void TypeText(QWidget& widget, const QString& text) {
  for (const QChar ch : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
    QApplication::sendEvent(&widget, &press);
  }
}

/// A stream whose reads fail.
class TFailingStream : public TStream {
 public:
  int64_t Read(void*, int64_t) override { throw EReadError("read failed"); }
  int64_t Write(const void*, int64_t count) override { return count; }
  int64_t Seek(int64_t, TSeekOrigin) override { return 0; }
  int64_t Size() override { return 10; }
};

}  // namespace

class TestRichEditSyntax : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void initialColours_data();
  void initialColours();
  void newControlColoursWithConverterDefaults();
  void customColoursAfterUseDefaultColorsFalse();
  void colourPropertyAloneChangesNothing();
  void syntaxTypeDiscardsCustomColours();
  void colourListsFollowConverterOrder_data();
  void colourListsFollowConverterOrder();
  void threeCharacterThreshold();
  void crLfLineColouredWithoutLineEnd();
  void selectLine_data();
  void selectLine();
  void highlightAllKeepsViewAndCaret();
  void highlightAllKeepsTrailingEmptyLine();
  void handlersRestoredAndNotCalledDuringRecolouring();
  void failedSourceLeavesRecolouringWorking();
  void failedColouringRestoresHandlersAndCaret();
  void charactersOutsideCodePageSurvive();
  void pasteInPlainTextModeInsertsPlainText();
  void undoTakesBackKeystrokeWithItsColouring();
  void coloursStayReadableOnDarkBackground();
};

void TestRichEditSyntax::initialColours_data() {
  QTest::addColumn<TColor>("actual");
  QTest::addColumn<TColor>("expected");
  TRichEditSyntax e;
  QTest::newRow("AsmColor green") << e.AsmColor() << TColor(RGB(0, 128, 0));
  QTest::newRow("CommentColor blue") << e.CommentColor() << TColor(RGB(0, 0, 255));
  QTest::newRow("IdentifierColor black") << e.IdentifierColor() << clBlack;
  QTest::newRow("KeyColor navy") << e.KeyColor() << TColor(RGB(0, 0, 128));
  QTest::newRow("NullColor black") << e.NullColor() << clBlack;
  QTest::newRow("NumberColor black") << e.NumberColor() << clBlack;
  QTest::newRow("SpaceColor navy") << e.SpaceColor() << clNavy;
  for (TColor c : {e.StringColor(), e.SymbolColor(), e.UnknownColor(), e.DirectiveColor(), e.CharColor(),
                   e.HexColor(), e.OctalColor(), e.FloatColor(), e.VariableColor(), e.TextColor(),
                   e.EntityRefColor(), e.AposAttrValueColor(), e.AposEntityRefColor(), e.EqualColor(),
                   e.nsAposAttrValueColor(), e.nsQuoteEntityRefColor()})
    QTest::newRow("black group") << c << clBlack;
  QTest::newRow("InvalidSymbolColor red") << e.InvalidSymbolColor() << TColor(RGB(255, 0, 0));
  QTest::newRow("ElementColor green") << e.ElementColor() << clGreen;
  QTest::newRow("AttributeColor maroon") << e.AttributeColor() << TColor(RGB(128, 0, 0));
  QTest::newRow("CDATAColor blue") << e.CDATAColor() << clBlue;
  QTest::newRow("ProcessingInstructionColor green") << e.ProcessingInstructionColor() << clGreen;
  QTest::newRow("QuoteAttrValueColor blue") << e.QuoteAttrValueColor() << clBlue;
  QTest::newRow("QuoteEntityRefColor red") << e.QuoteEntityRefColor() << clRed;
  QTest::newRow("nsAttributeColor green") << e.nsAttributeColor() << clGreen;
  QTest::newRow("nsQuoteAttrValueColor maroon") << e.nsQuoteAttrValueColor() << clMaroon;
  QTest::newRow("nsAposEntityRefColor green") << e.nsAposEntityRefColor() << clGreen;
  QTest::newRow("nsEqualColor green") << e.nsEqualColor() << clGreen;
}

void TestRichEditSyntax::initialColours() {
  QFETCH(TColor, actual);
  QFETCH(TColor, expected);
  QCOMPARE(actual, expected);
}

void TestRichEditSyntax::newControlColoursWithConverterDefaults() {
  TRichEditSyntax edit;
  QCOMPARE(edit.SyntaxType(), stDelphi);
  QVERIFY(!edit.UseDefaultColors());
  QVERIFY(edit.PlainText());
  QCOMPARE(QString::fromStdString(edit.Converter().ClassName()), QStringLiteral("ThltPasRTF"));

  // When Pascal is typed, the Pascal converter's own colours apply: keywords
  // bold in black (not the KeyColor navy), comments blue.
  edit.show();
  QTest::keyClicks(&edit, QStringLiteral("begin { note } end"));
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin { note } end"));
  QVERIFY(BoldAt(edit, 0));
  QCOMPARE(ColorAt(edit, 0), QColor(Qt::black));
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("note"))), Rgb(clBlue));
  QVERIFY(FormatAt(edit, Find(edit, QStringLiteral("note"))).fontItalic());
}

void TestRichEditSyntax::customColoursAfterUseDefaultColorsFalse() {
  TRichEditSyntax edit;
  edit.show();
  edit.SetUseDefaultColors(false);
  QTest::keyClicks(&edit, QStringLiteral("begin { note } end"));
  // Keywords take KeyColor (navy, bold), comments CommentColor (blue).
  QCOMPARE(ColorAt(edit, 0), Rgb(clNavy));
  QVERIFY(BoldAt(edit, 0));
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("note"))), Rgb(clBlue));

  // A changed colour shows after the colours are applied again and the text re-coloured.
  edit.SetCommentColor(clFuchsia);
  edit.SetUseDefaultColors(false);
  edit.HighlightAll();
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("note"))), Rgb(clFuchsia));

  // Back to the converter's own colours.
  edit.SetUseDefaultColors(true);
  edit.HighlightAll();
  QCOMPARE(ColorAt(edit, 0), QColor(Qt::black));
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("note"))), Rgb(clBlue));
}

void TestRichEditSyntax::colourPropertyAloneChangesNothing() {
  TRichEditSyntax edit;
  SetPlain(edit, "{ note } begin");
  edit.SetCommentColor(clRed);
  edit.SetKeyColor(clRed);
  edit.HighlightAll();
  QCOMPARE(ColorAt(edit, 2), Rgb(clBlue));
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("begin"))), QColor(Qt::black));
}

void TestRichEditSyntax::syntaxTypeDiscardsCustomColours() {
  TRichEditSyntax edit;
  SetPlain(edit, "x = 1; // note");
  edit.SetCommentColor(clRed);
  edit.SetUseDefaultColors(false);
  // When the language changes, the new converter starts with its own colours...
  edit.SetSyntaxType(stCPlusPlus);
  QCOMPARE(QString::fromStdString(edit.Converter().ClassName()), QStringLiteral("ThltCppRTF"));
  QVERIFY(!edit.UseDefaultColors());
  edit.HighlightAll();
  const int note = Find(edit, QStringLiteral("note"));
  QVERIFY(ColorAt(edit, note) != Rgb(clRed));
  // ... until UseDefaultColors is written again.
  edit.SetUseDefaultColors(false);
  edit.HighlightAll();
  QCOMPARE(ColorAt(edit, note), Rgb(clRed));
}

void TestRichEditSyntax::colourListsFollowConverterOrder_data() {
  QTest::addColumn<int>("syntaxType");
  QTest::addColumn<int>("count");
  QTest::addColumn<int>("commentIndex");
  QTest::newRow("C++: 15, comment second") << int(stCPlusPlus) << 15 << 1;
  QTest::newRow("DFM: 8, comment first") << int(stDFM) << 8 << 0;
  QTest::newRow("JScript") << int(stJScript) << 8 << 0;
  QTest::newRow("SQL: 8") << int(stSQL) << 8 << 0;
  QTest::newRow("VB") << int(stVB) << 8 << 0;
  QTest::newRow("VBScript") << int(stVBScript) << 8 << 0;
  QTest::newRow("XML: 11, no comment colour") << int(stXML) << 11 << -1;
  QTest::newRow("Delphi") << int(stDelphi) << 8 << 0;
}

void TestRichEditSyntax::colourListsFollowConverterOrder() {
  QFETCH(int, syntaxType);
  QFETCH(int, count);
  QFETCH(int, commentIndex);
  TRichEditSyntax edit;
  edit.SetSyntaxType(static_cast<TSyntaxType>(syntaxType));
  edit.SetCommentColor(RGB(1, 2, 3));
  edit.SetElementColor(RGB(4, 5, 6));
  const std::vector<TColor> list = edit.ColorList();
  QCOMPARE(int(list.size()), count);
  if (commentIndex >= 0) QCOMPARE(list[size_t(commentIndex)], RGB(1, 2, 3));
  if (syntaxType == stXML) QCOMPARE(list[0], RGB(4, 5, 6));
  // The list becomes the converter's colour table: black, then the list.
  edit.SetUseDefaultColors(false);
  const std::string table = edit.Converter().ColorTable();
  int entries = 0;
  for (char c : table) entries += c == ';' ? 1 : 0;
  QCOMPARE(entries, count + 1);
}

void TestRichEditSyntax::threeCharacterThreshold() {
  // Given a new Pascal view; when "do" (a keyword) is typed, nothing is re-coloured;
  TRichEditSyntax edit;
  edit.show();
  QTest::keyClicks(&edit, QStringLiteral("do"));
  QVERIFY(!BoldAt(edit, 0));
  QVERIFY(!FormatAt(edit, 0).hasProperty(QTextFormat::ForegroundBrush));
  // when a third character is typed, the line is coloured and the caret stays at its end.
  QTest::keyClick(&edit, Qt::Key_Space);
  QVERIFY(BoldAt(edit, 0));
  QVERIFY(FormatAt(edit, 0).hasProperty(QTextFormat::ForegroundBrush));
  QCOMPARE(edit.SelStart(), 3);
  QCOMPARE(edit.toPlainText(), QStringLiteral("do "));

  // A line of two characters on a longer text is left alone too.
  QTest::keyClick(&edit, Qt::Key_Return);
  QTest::keyClicks(&edit, QStringLiteral("do"));
  QVERIFY(!BoldAt(edit, 4));
}

void TestRichEditSyntax::crLfLineColouredWithoutLineEnd() {
  TRichEditSyntax edit;
  SetPlain(edit, "x := 1; { c }\r\nbegin end\r\nend.");
  QCOMPARE(edit.LineCount(), 3);
  edit.SetSelStart(2);
  edit.HighlightCurrentLine();
  // Line 0 is coloured, without gaining or losing a line end; line 1 is not touched.
  QCOMPARE(edit.LineCount(), 3);
  QCOMPARE(edit.toPlainText(), QStringLiteral("x := 1; { c }\nbegin end\nend."));
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("c }"))), Rgb(clBlue));
  QVERIFY(!BoldAt(edit, Find(edit, QStringLiteral("begin"))));
  QVERIFY(!FormatAt(edit, Find(edit, QStringLiteral("begin"))).hasProperty(QTextFormat::ForegroundBrush));
  QCOMPARE(edit.SelStart(), 2);
  QCOMPARE(edit.SelLength(), 0);

  // The last line (no line end) is coloured in the same way.
  edit.SetSelStart(edit.LineIndex(2) + 1);
  edit.HighlightCurrentLine();
  QVERIFY(BoldAt(edit, edit.LineIndex(2)));
  QVERIFY(!BoldAt(edit, Find(edit, QStringLiteral("begin"))));
  QCOMPARE(edit.LineCount(), 3);
}

void TestRichEditSyntax::selectLine_data() {
  QTest::addColumn<int>("line");
  QTest::addColumn<bool>("result");
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("length");
  // Text "abc\nde\nfghi": lines start at 0, 4 and 7.
  QTest::newRow("first line with its end") << 0 << true << 0 << 4;
  QTest::newRow("middle line with its end") << 1 << true << 4 << 3;
  QTest::newRow("last line, no end") << 2 << true << 7 << 4;
  QTest::newRow("negative line") << -1 << false << 1 << 0;
  QTest::newRow("past the last line") << 3 << false << 1 << 0;
}

void TestRichEditSyntax::selectLine() {
  QFETCH(int, line);
  QFETCH(bool, result);
  QFETCH(int, start);
  QFETCH(int, length);
  TProbe edit;
  SetPlain(edit, "abc\r\nde\r\nfghi");
  edit.SetSelStart(1);
  QCOMPARE(edit.SelectLine(line), result);
  QCOMPARE(edit.SelStart(), start);
  QCOMPARE(edit.SelLength(), length);
}

void TestRichEditSyntax::highlightAllKeepsViewAndCaret() {
  // Given a scrolled view of 300 lines with a selection below the first visible line;
  TRichEditSyntax edit;
  edit.resize(300, 200);
  edit.show();
  QVERIFY(QTest::qWaitForWindowExposed(&edit));
  std::string text;
  for (int i = 0; i < 300; ++i) text += "begin x := " + IntToStr(i) + "; end; { line }\r\n";
  text += "end.";
  SetPlain(edit, text);
  edit.ScrollLines(120);
  const int top = edit.FirstVisibleLine();
  QVERIFY(top > 100);
  const int caret = edit.LineIndex(top + 3) + 6;
  edit.SetSelStart(caret);
  edit.SetSelLength(5);
  edit.ScrollLines(top - edit.FirstVisibleLine());
  QCOMPARE(edit.FirstVisibleLine(), top);

  // when the whole text is re-coloured;
  edit.HighlightAll();

  // then view and caret are where they were, the selection collapsed, and all lines coloured.
  QCOMPARE(edit.FirstVisibleLine(), top);
  QCOMPARE(edit.SelStart(), caret);
  QCOMPARE(edit.SelLength(), 0);
  QCOMPARE(edit.LineCount(), 301);
  QVERIFY(BoldAt(edit, edit.LineIndex(0)));
  QVERIFY(BoldAt(edit, edit.LineIndex(299)));
  QCOMPARE(ColorAt(edit, edit.LineIndex(299) + 24), Rgb(clBlue));

  // A caret scrolled out of sight stays out of sight: the view does not jump to it.
  edit.SetSelStart(0);
  edit.ScrollLines(200 - edit.FirstVisibleLine());
  const int top2 = edit.FirstVisibleLine();
  edit.HighlightAll();
  QCOMPARE(edit.FirstVisibleLine(), top2);
  QCOMPARE(edit.SelStart(), 0);
}

void TestRichEditSyntax::highlightAllKeepsTrailingEmptyLine() {
  TRichEditSyntax edit;
  SetPlain(edit, "begin\r\nend;");
  edit.SetSelStart(10);
  QTest::keyClick(&edit, Qt::Key_Return);
  QCOMPARE(edit.LineCount(), 3);
  edit.HighlightAll();
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin\nend;\n"));
  QCOMPARE(edit.SelStart(), 11);
  // An empty view is left alone.
  TRichEditSyntax empty;
  empty.HighlightAll();
  QCOMPARE(empty.GetTextLen(), 0);
}

void TestRichEditSyntax::handlersRestoredAndNotCalledDuringRecolouring() {
  TRichEditSyntax edit;
  edit.show();
  int changes = 0;
  int selections = 0;
  int keys = 0;
  edit.OnChange = [&](TRichEdit*) { ++changes; };
  edit.OnSelectionChange = [&](TRichEdit*) { ++selections; };
  edit.OnKeyDown = [&](TRichEdit*, QKeyEvent*, bool&) { ++keys; };

  // One keystroke: one change notice, however much the re-colouring rewrote.
  QTest::keyClicks(&edit, QStringLiteral("begin"));
  QCOMPARE(keys, 5);
  QCOMPARE(changes, 5);
  const int selectionsBefore = selections;
  edit.HighlightAll();
  edit.HighlightCurrentLine();
  QCOMPARE(changes, 5);
  QCOMPARE(selections, selectionsBefore);
  QVERIFY(edit.OnChange && edit.OnSelectionChange && edit.OnKeyDown);
  QVERIFY(!edit.NotificationsSuspended());
  QVERIFY(!edit.RedrawSuspended());

  // A language change re-colours the caret line and fires OnChange once.
  edit.SetSyntaxType(stSQL);
  QCOMPARE(changes, 6);
}

void TestRichEditSyntax::failedSourceLeavesRecolouringWorking() {
  TProbe edit;
  SetPlain(edit, "begin end");
  TFailingStream failing;
  QVERIFY_THROWS_EXCEPTION(EReadError, edit.LoadHighlighted(failing));
  QVERIFY(!edit.NotificationsSuspended());
  // Re-colouring still runs afterwards.
  edit.HighlightAll();
  QVERIFY(BoldAt(edit, 0));
  // The message of a rejected text is the one callers rely on.
  QCOMPARE(QString::fromLatin1(SCannotLoadRtfText), QStringLiteral("Cannot load RTF text"));
}

void TestRichEditSyntax::failedColouringRestoresHandlersAndCaret() {
  // Given a view whose converter fails (its font metrics cannot be had);
  TRichEditSyntax edit;
  SetPlain(edit, "begin x := 1; end;");
  int changes = 0;
  edit.OnChange = [&](TRichEdit*) { ++changes; };
  edit.OnSelectionChange = [](TRichEdit*) {};
  edit.OnKeyDown = [](TRichEdit*, QKeyEvent*, bool&) {};
  edit.SetSelStart(7);
  SetFontMetricsProvider([](const TFont&) -> ThltFontMetrics { throw EOutOfResources("no font"); });

  // when either re-colouring runs, the error reaches the caller;
  QVERIFY_THROWS_EXCEPTION(EOutOfResources, edit.HighlightAll());
  QVERIFY_THROWS_EXCEPTION(EOutOfResources, edit.HighlightCurrentLine());
  SetFontMetricsProvider({});

  // then handlers, notifications, redrawing and the caret are as before, and colouring works again.
  QVERIFY(edit.OnChange && edit.OnSelectionChange && edit.OnKeyDown);
  QVERIFY(!edit.NotificationsSuspended());
  QVERIFY(!edit.RedrawSuspended());
  QCOMPARE(edit.SelStart(), 7);
  QCOMPARE(edit.SelLength(), 0);
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin x := 1; end;"));
  QCOMPARE(changes, 0);
  edit.HighlightCurrentLine();
  QVERIFY(BoldAt(edit, 0));
}

void TestRichEditSyntax::charactersOutsideCodePageSurvive() {
  // Characters Windows-1252 lacks go through the converter as '?' and must come back.
  TRichEditSyntax edit;
  edit.show();
  const QString line = QStringLiteral("{ \u0436\u6f22 \u20ac } begin");
  TypeText(edit, line);
  QCOMPARE(edit.toPlainText(), line);
  QCOMPARE(ColorAt(edit, 2), Rgb(clBlue));
  QCOMPARE(ColorAt(edit, 3), Rgb(clBlue));
  QVERIFY(BoldAt(edit, Find(edit, QStringLiteral("begin"))));
  edit.HighlightAll();
  QCOMPARE(edit.toPlainText(), line);
  QCOMPARE(ColorAt(edit, 3), Rgb(clBlue));
}

void TestRichEditSyntax::pasteInPlainTextModeInsertsPlainText() {
  TRichEditSyntax edit;
  auto* data = new QMimeData;
  data->setText(QStringLiteral("begin end"));
  data->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1 {\\b begin} end}"));
  QGuiApplication::clipboard()->setMimeData(data);
  edit.PasteFromClipboard();
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin end"));
  // The paste is a change like typing: its line is coloured.
  QVERIFY(BoldAt(edit, 0));

  // Data that offers RTF alone gives its plain text.
  auto* rtfOnly = new QMimeData;
  rtfOnly->setData(QStringLiteral("text/rtf"), QByteArray("{\\rtf1 {\\b end}\\par x}"));
  QGuiApplication::clipboard()->setMimeData(rtfOnly);
  edit.SetSelStart(edit.GetTextLen());
  edit.PasteFromClipboard();
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin endend\nx"));
}

void TestRichEditSyntax::undoTakesBackKeystrokeWithItsColouring() {
  // Given a coloured line; when a letter is typed and the typing undone,
  // the text is as it was (the colouring is part of the keystroke's edit).
  TRichEditSyntax edit;
  edit.show();
  QTest::keyClicks(&edit, QStringLiteral("begin end"));
  edit.SetSelStart(5);
  QTest::keyClicks(&edit, QStringLiteral("x"));
  QCOMPARE(edit.toPlainText(), QStringLiteral("beginx end"));
  QVERIFY(!BoldAt(edit, 0));
  edit.undo();
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin end"));
  QVERIFY(BoldAt(edit, 0));
  // The same with the keys, and back again.
  edit.SetSelStart(5);
  QTest::keyClicks(&edit, QStringLiteral("y"));
  QCOMPARE(edit.toPlainText(), QStringLiteral("beginy end"));
  QTest::keySequence(&edit, QKeySequence::Undo);
  QCOMPARE(edit.toPlainText(), QStringLiteral("begin end"));
  QTest::keySequence(&edit, QKeySequence::Redo);
  QCOMPARE(edit.toPlainText(), QStringLiteral("beginy end"));
  // Navigation keys change nothing and send no change notice.
  int changes = 0;
  edit.OnChange = [&](TRichEdit*) { ++changes; };
  QTest::keyClick(&edit, Qt::Key_Left);
  QTest::keyClick(&edit, Qt::Key_Home);
  QCOMPARE(changes, 0);
}

void TestRichEditSyntax::coloursStayReadableOnDarkBackground() {
  // The languages' colours (navy keywords, black text) are meant for a
  // white page; on a dark one every token must still read.
  const QPalette before = QApplication::palette();
  QPalette dark(QColor(0xE8, 0xE8, 0xE8), QColor(0x2B, 0x2B, 0x2B));
  dark.setColor(QPalette::Base, QColor(0x1E, 0x1E, 0x1E));
  dark.setColor(QPalette::Text, QColor(0xE8, 0xE8, 0xE8));
  QApplication::setPalette(dark);
  for (TSyntaxType type : {stCPlusPlus, stXML, stDelphi}) {
    TRichEditSyntax edit;
    edit.SetSyntaxType(type);
    SetPlain(edit, "#include <x> // note\r\n<a b=\"c\"/> begin 0x1F 'c' \"s\" end;");
    edit.HighlightAll();
    const QColor back = edit.palette().color(QPalette::Base);
    int tokens = 0;
    for (QTextBlock block = edit.document()->begin(); block.isValid(); block = block.next()) {
      for (auto it = block.begin(); !it.atEnd(); ++it, ++tokens) {
        const QColor fore = it.fragment().charFormat().foreground().color();
        QVERIFY2(qtbridge::ContrastRatio(fore, back) >= qtbridge::kReadableContrast,
                 qPrintable(it.fragment().text() + QStringLiteral(" in ") + fore.name()));
      }
    }
    QVERIFY(tokens >= 2);
  }
  QApplication::setPalette(before);
  // On the light page the colours are kept as they were chosen, even a poor one.
  TRichEditSyntax edit;
  edit.SetSyntaxType(stCPlusPlus);
  SetPlain(edit, "x = 1; // note");
  edit.SetCommentColor(clYellow);
  edit.SetUseDefaultColors(false);
  edit.HighlightAll();
  QCOMPARE(ColorAt(edit, Find(edit, QStringLiteral("note"))), Rgb(clYellow));
}

QTEST_MAIN(TestRichEditSyntax)
#include "test_RichEditSyntax.moc"
