/// Tests for document/QuillcrafterDocMacros.cpp with
/// syntaxedit/RichEditMacroTarget.cpp: text macros put onto the selection of a
/// real rich-text view, syntax macros through the hidden colouring view
/// without the system clipboard. Formats are read from the view's document.
#include <QApplication>
#include <QClipboard>
#include <QMimeData>
#include <QTest>
#include <QWidget>

#include "ViewProbe.h"
#include "document/QuillcrafterDoc.h"
#include "syntaxedit/RichEditMacroTarget.h"

namespace {

QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

}  // namespace

class TestTextMacroViews : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void init();
  void ordinaryMacroFormatsSelectedParagraphs();
  void emptyTabsLeaveNoTabStops();
  void syntaxMacroColoursSelection();
  void syntaxMacroOverSeveralLines();
  void syntaxMacroOnEmptySelection();

 private:
  TQCTextMacro& Macro(const std::string& name) {
    const int index = FDocument->TextMacros().IndexOfDisplayName(name);
    return *FDocument->TextMacros()[index];
  }

  std::unique_ptr<TQuillcrafterDoc> FDocument;
  std::unique_ptr<QWidget> FParent;
  TRichEdit* FView = nullptr;
};

void TestTextMacroViews::init() {
  FDocument = std::make_unique<TQuillcrafterDoc>();
  FDocument->AddDefaultTextMacros();
  FParent = std::make_unique<QWidget>();
  FParent->resize(400, 300);
  FView = probe::NewView(FParent.get());
  probe::Widget(FView)->resize(400, 300);
  FParent->show();
}

void TestTextMacroViews::ordinaryMacroFormatsSelectedParagraphs() {
  // Given three lines and a selection from the first into the second;
  probe::SetContent(*FView, "line one\r\nline two\r\nline three");
  probe::Select(*FView, 5, 8);
  TQCTextMacro* macro = FDocument->TextMacros().Add();
  macro->SetName("Tabbed");
  macro->SetColor(clBlue);
  macro->SetTypeFace("Arial");
  macro->SetSize(16);
  TFontStyles bold;
  bold.Include(TFontStyle::fsBold);
  macro->SetStyle(bold);
  macro->SetAlignment(taCenter);
  macro->SetBullet(true);
  for (const char* tab : {"10", "20", "30"}) macro->Tabs().Add(tab);

  // when the macro is applied;
  macro->ApplyTo(*NewRichEditMacroTarget(*FView));

  // then the selected characters and both touched paragraphs carry it, the third line does not.
  QCOMPARE(probe::Text(*FView), QStringLiteral("line one\nline two\nline three"));
  QCOMPARE(probe::ColorAt(*FView, 5), Rgb(0, 0, 255));
  QVERIFY(probe::BoldAt(*FView, 12));
  QCOMPARE(probe::FamilyAt(*FView, 12), QStringLiteral("Arial"));
  QCOMPARE(probe::PointSizeAt(*FView, 12), 16);
  QVERIFY(!probe::BoldAt(*FView, 14));
  QCOMPARE(probe::TabStops(*FView, 0), (std::vector<int>{10, 20, 30}));
  QCOMPARE(probe::TabStops(*FView, 1), (std::vector<int>{10, 20, 30}));
  QVERIFY(probe::TabStops(*FView, 2).empty());
  QVERIFY(probe::Bullet(*FView, 0) && probe::Bullet(*FView, 1) && !probe::Bullet(*FView, 2));
  QVERIFY(probe::Centred(*FView, 1) && !probe::Centred(*FView, 2));
}

void TestTextMacroViews::emptyTabsLeaveNoTabStops() {
  probe::SetContent(*FView, "a\tb\r\nc");
  probe::Select(*FView, 0, 3);
  TQCTextMacro* tabbed = FDocument->TextMacros().Add();
  tabbed->SetName("Tabbed");
  tabbed->Tabs().Add("36");
  tabbed->ApplyTo(*NewRichEditMacroTarget(*FView));
  QCOMPARE(probe::TabStops(*FView, 0), (std::vector<int>{36}));
  // The built-in "*TopicText" has no tabs: the paragraph is left with none.
  Macro("*TopicText").ApplyTo(*NewRichEditMacroTarget(*FView));
  QVERIFY(probe::TabStops(*FView, 0).empty());
  QCOMPARE(probe::FamilyAt(*FView, 1), QStringLiteral("Arial"));
  QCOMPARE(probe::PointSizeAt(*FView, 1), 10);
}

void TestTextMacroViews::syntaxMacroColoursSelection() {
  // Given prose with a piece of Pascal selected in the middle;
  probe::SetContent(*FView, "Call begin x := 1; { why } end; here");
  const int start = 5;
  const int length = 26;
  probe::Select(*FView, start, length);
  QApplication::clipboard()->setText(QStringLiteral("stale"));
  const int childrenBefore = int(FParent->children().size());

  // when the built-in Pascal macro is applied;
  Macro("*SourceCode").ApplyTo(*NewRichEditMacroTarget(*FView));

  // then the text is the same, the pasted range is selected and coloured as
  // Pascal in the macro's typeface, and the prose around it is untouched;
  QCOMPARE(probe::Text(*FView), QStringLiteral("Call begin x := 1; { why } end; here"));
  QCOMPARE(probe::SelStart(*FView), start);
  QCOMPARE(probe::SelLength(*FView), length);
  QVERIFY(probe::BoldAt(*FView, start));
  QCOMPARE(probe::ColorAt(*FView, 21), Rgb(0, 0, 255));
  QCOMPARE(probe::FamilyAt(*FView, start), QStringLiteral("Courier New"));
  QCOMPARE(probe::PointSizeAt(*FView, start), 8);
  QVERIFY(!probe::BoldAt(*FView, 0));
  QVERIFY(!probe::BoldAt(*FView, 33));
  // the clipboard holds exactly what the user put there;
  const QMimeData* data = QApplication::clipboard()->mimeData();
  QCOMPARE(data->text(), QStringLiteral("stale"));
  QVERIFY(!data->hasFormat(QStringLiteral("text/rtf")));
  // and the hidden view is gone.
  QCOMPARE(int(FParent->children().size()), childrenBefore);
}

void TestTextMacroViews::syntaxMacroOverSeveralLines() {
  probe::SetContent(*FView, "Code:\r\nint x; // one\r\nreturn x;\r\nDone.");
  const int start = probe::LineIndex(*FView, 1);
  const int length = probe::LineIndex(*FView, 3) - 1 - start;
  probe::Select(*FView, start, length);
  Macro("__C++SourceCode").ApplyTo(*NewRichEditMacroTarget(*FView));
  QCOMPARE(probe::Text(*FView), QStringLiteral("Code:\nint x; // one\nreturn x;\nDone."));
  QCOMPARE(probe::SelStart(*FView), start);
  QCOMPARE(probe::SelLength(*FView), length);
  QVERIFY(probe::BoldAt(*FView, start));                        // int
  QVERIFY(probe::BoldAt(*FView, probe::LineIndex(*FView, 2)));  // return
  QCOMPARE(probe::PointSizeAt(*FView, probe::LineIndex(*FView, 2)), 10);
  QVERIFY(!probe::BoldAt(*FView, probe::LineIndex(*FView, 3)));

  // Whole lines with their last line end: the paragraphs stay as they were.
  probe::Select(*FView, start, probe::LineIndex(*FView, 3) - start);
  Macro("__C++SourceCode").ApplyTo(*NewRichEditMacroTarget(*FView));
  QCOMPARE(probe::Text(*FView), QStringLiteral("Code:\nint x; // one\nreturn x;\nDone."));
  QCOMPARE(probe::SelLength(*FView), length + 1);
  QVERIFY(!probe::BoldAt(*FView, probe::LineIndex(*FView, 3)));
}

void TestTextMacroViews::syntaxMacroOnEmptySelection() {
  probe::SetContent(*FView, "begin end");
  probe::Select(*FView, 5, 0);
  QApplication::clipboard()->setText(QStringLiteral("stale"));
  Macro("__SQLCode").ApplyTo(*NewRichEditMacroTarget(*FView));
  // Nothing pasted, an empty selection at the old caret, the clipboard as it was.
  QCOMPARE(probe::Text(*FView), QStringLiteral("begin end"));
  QCOMPARE(probe::SelStart(*FView), 5);
  QCOMPARE(probe::SelLength(*FView), 0);
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("stale"));
}

QTEST_MAIN(TestTextMacroViews)
#include "test_TextMacroViews.moc"
