/// Tests for document/QuillcrafterDocMacros.cpp: TQCTextMacro::ApplyTo
/// against a recording view, so the order of the view operations and what
/// reaches the view can be checked without Qt.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"
#include "document/RichTextTarget.h"
#include "toolkit/SysUtils.h"

namespace {

/// What a copy took: the text and the language it was coloured as (-1: none).
struct TClip : TQCRichTextClip {
  TClip(std::string text, int colouredAs) : Text(std::move(text)), ColouredAs(colouredAs) {}
  std::string Text;
  int ColouredAs = -1;
};

/// Shared by a view and its scratch views: the user's clipboard, which no
/// view operation reaches, and a log of calls.
struct TWorld {
  TClip Clipboard{"old clipboard", -1};
  std::vector<std::string> Log;
  int LiveScratches = 0;
  bool FailHighlight = false;
};

class TRecordingView : public TQCSyntaxScratch {
 public:
  TRecordingView(TWorld& world, std::string name, std::string text)
      : Text(std::move(text)), FWorld(world), FName(std::move(name)) {}
  ~TRecordingView() override {
    if (FName == "scratch") {
      --FWorld.LiveScratches;
      FWorld.Log.push_back("scratch freed");
    }
  }

  int SelStart() const override { return Start; }
  int SelLength() const override { return Length; }
  void SetSelStart(int value) override {
    Start = value;
    Length = 0;
    Log("SetSelStart " + IntToStr(value));
  }
  void SetSelLength(int value) override {
    Length = value;
    Log("SetSelLength " + IntToStr(value));
  }
  void SelectAll() override {
    Start = 0;
    Length = static_cast<int>(Text.size());
    Log("SelectAll");
  }
  std::unique_ptr<TQCRichTextClip> CopySelection() const override {
    FWorld.Log.push_back(FName + ": Copy");
    return std::make_unique<TClip>(Text.substr(size_t(Start), size_t(Length)), ColouredAs);
  }
  void Paste(const TQCRichTextClip& clip) override {
    Log("Paste");
    const auto& copied = dynamic_cast<const TClip&>(clip);
    Text.replace(size_t(Start), size_t(Length), copied.Text);
    ColouredAs = copied.ColouredAs;
    Start += static_cast<int>(copied.Text.size());
    Length = 0;
  }
  void SetSelCharAttributes(const TQCCharAttributes& attributes) override {
    Chars.push_back(attributes);
    Log("CharAttributes");
  }
  void SetSelParagraph(const TQCParaAttributes& attributes) override {
    Paras.push_back(attributes);
    Log("Paragraph");
  }
  std::unique_ptr<TQCSyntaxScratch> NewSyntaxScratch() override {
    Log("NewSyntaxScratch");
    ++FWorld.LiveScratches;
    return std::make_unique<TRecordingView>(FWorld, "scratch", "");
  }
  void SetSyntaxType(TSyntaxType value) override {
    Language = value;
    Log("SetSyntaxType " + IntToStr(value));
  }
  void HighlightAll() override {
    Log("HighlightAll");
    if (FWorld.FailHighlight) throw EOutOfResources("Cannot load RTF text");
    ColouredAs = Language;
  }

  std::string Text;
  int Start = 0;
  int Length = 0;
  int ColouredAs = -1;
  TSyntaxType Language = stDelphi;
  std::vector<TQCCharAttributes> Chars;
  std::vector<TQCParaAttributes> Paras;

 private:
  void Log(const std::string& call) { FWorld.Log.push_back(FName + ": " + call); }

  TWorld& FWorld;
  std::string FName;
};

/// A macro in a document's collection, as the application holds them.
class TextMacroApply : public ::testing::Test {
 protected:
  TQCTextMacro& NewMacro(const std::string& name) {
    TQCTextMacro* macro = document.TextMacros().Add();
    macro->SetName(name);
    return *macro;
  }

  TQuillcrafterDoc document;
  TWorld world;
};

TEST_F(TextMacroApply, OrdinaryMacroSetsCharacterAndParagraphAttributes) {
  // Given a macro with every attribute set and three tab lines;
  TQCTextMacro& macro = NewMacro("Heading");
  macro.SetColor(clBlue);
  macro.SetTypeFace("Arial");
  macro.SetSize(16);
  TFontStyles style;
  style.Include(TFontStyle::fsBold);
  macro.SetStyle(style);
  macro.SetAlignment(taCenter);
  macro.SetBullet(true);
  macro.SetIndent(5);
  macro.SetLeftMargin(20);
  macro.SetRightMargin(30);
  macro.Tabs().Add("10");
  macro.Tabs().Add(" 20");
  macro.Tabs().Add("30");
  TRecordingView view(world, "view", "some text");
  view.Start = 2;
  view.Length = 4;

  // when it is applied;
  macro.ApplyTo(view);

  // then the view got one character and one paragraph change, and nothing else.
  ASSERT_EQ(view.Chars.size(), 1u);
  const TQCCharAttributes& c = view.Chars[0];
  EXPECT_TRUE(c.HasColor && c.HasTypeFace && c.HasSize && c.HasStyle);
  EXPECT_EQ(c.Color, clBlue);
  EXPECT_EQ(c.TypeFace, "Arial");
  EXPECT_EQ(c.Size, 16);
  EXPECT_EQ(c.Style, style);
  ASSERT_EQ(view.Paras.size(), 1u);
  const TQCParaAttributes& p = view.Paras[0];
  EXPECT_TRUE(p.Bullet);
  EXPECT_TRUE(p.HasAlignment);
  EXPECT_EQ(p.Alignment, TQCParaAlignment::Center);
  EXPECT_EQ(p.FirstIndent, 5);
  EXPECT_EQ(p.LeftIndent, 20);
  EXPECT_EQ(p.RightIndent, 30);
  EXPECT_EQ(p.Tabs, (std::vector<int>{10, 20, 30}));
  EXPECT_EQ(world.Log, (std::vector<std::string>{"view: CharAttributes", "view: Paragraph"}));
  EXPECT_EQ(world.Clipboard.Text, "old clipboard");
  EXPECT_EQ(view.Text, "some text");
}

struct TEdgeCase {
  const char* Name;
  std::vector<std::string> Tabs;
  int32_t Alignment;
  int32_t Size;
  std::string TypeFace;
};

class TextMacroApplyEdges : public TextMacroApply, public ::testing::WithParamInterface<TEdgeCase> {};

TEST_P(TextMacroApplyEdges, ValuesTheViewCannotTakeAreLeftAlone) {
  const TEdgeCase& edge = GetParam();
  TQCTextMacro& macro = NewMacro("Body");
  for (const std::string& tab : edge.Tabs) macro.Tabs().Add(tab);
  macro.SetAlignment(static_cast<TAlignment>(edge.Alignment));
  macro.SetSize(edge.Size);
  macro.SetTypeFace(edge.TypeFace);
  TRecordingView view(world, "view", "text");
  macro.ApplyTo(view);
  ASSERT_EQ(view.Paras.size(), 1u);
  EXPECT_EQ(view.Paras[0].Tabs.size(), edge.Tabs.size());
  const bool knownAlignment = edge.Alignment >= 0 && edge.Alignment <= 2;
  EXPECT_EQ(view.Paras[0].HasAlignment, knownAlignment);
  ASSERT_EQ(view.Chars.size(), 1u);
  EXPECT_EQ(view.Chars[0].HasSize, edge.Size > 0);
  EXPECT_EQ(view.Chars[0].HasTypeFace, !edge.TypeFace.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, TextMacroApplyEdges,
                         ::testing::Values(TEdgeCase{"EmptyTabsGiveNoTabStops", {}, 0, 10, "Arial"},
                                           TEdgeCase{"RightAlignment", {"72"}, 1, 10, "Arial"},
                                           TEdgeCase{"AlignmentFromFileOutsideTheThree", {}, 7, 10, "Arial"},
                                           TEdgeCase{"NegativeAlignment", {}, -1, 10, "Arial"},
                                           TEdgeCase{"ZeroSizeKeepsTheSize", {}, 0, 0, "Arial"},
                                           TEdgeCase{"NegativeSizeKeepsTheSize", {}, 0, -8, "Arial"},
                                           TEdgeCase{"EmptyTypeFaceKeepsTheTypeFace", {"1", "2"}, 2, 10, ""}),
                         [](const ::testing::TestParamInfo<TEdgeCase>& info) {
                           return std::string(info.param.Name);
                         });

TEST_F(TextMacroApply, TabLineThatIsNotANumberRaisesBeforeAnyChange) {
  TQCTextMacro& macro = NewMacro("Body");
  macro.Tabs().Add("10");
  macro.Tabs().Add("twenty");
  TRecordingView view(world, "view", "text");
  EXPECT_THROW(macro.ApplyTo(view), EConvertError);
  EXPECT_TRUE(world.Log.empty());
}

TEST_F(TextMacroApply, SyntaxMacroColoursTheSelectionThroughAScratchView) {
  // Given the built-in SQL macro and a view with "select" selected in the middle;
  TQCTextMacro& macro = NewMacro("__SQLCode");
  macro.SetTypeFace("Courier New");
  macro.SetSize(10);
  ASSERT_TRUE(macro.IsSyntaxMacro());
  TRecordingView view(world, "view", "Run select now");
  view.Start = 4;
  view.Length = 6;

  // when it is applied;
  macro.ApplyTo(view);

  // then the text went through a scratch view coloured as SQL, came back over
  // the selection, is selected, and got the macro's typeface and size.
  const std::vector<std::string> expected = {
      "view: NewSyntaxScratch", "view: Copy",           "scratch: Paste",       "scratch: SetSyntaxType 3",
      "scratch: HighlightAll",  "scratch: SelectAll",   "scratch: Copy",        "view: Paste",
      "view: SetSelStart 4",    "view: SetSelLength 6", "view: CharAttributes", "scratch freed"};
  EXPECT_EQ(world.Log, expected);
  EXPECT_EQ(view.Text, "Run select now");
  EXPECT_EQ(view.ColouredAs, int(stSQL));
  EXPECT_EQ(view.Start, 4);
  EXPECT_EQ(view.Length, 6);
  ASSERT_EQ(view.Chars.size(), 1u);
  EXPECT_FALSE(view.Chars[0].HasColor);
  EXPECT_FALSE(view.Chars[0].HasStyle);
  EXPECT_EQ(view.Chars[0].TypeFace, "Courier New");
  EXPECT_EQ(view.Chars[0].Size, 10);
  EXPECT_TRUE(view.Paras.empty());
  // The user's clipboard keeps what it held.
  EXPECT_EQ(world.Clipboard.Text, "old clipboard");
  EXPECT_EQ(world.LiveScratches, 0);
}

TEST_F(TextMacroApply, SyntaxMacroOnEmptySelectionPastesNothing) {
  TQCTextMacro& macro = NewMacro("*SourceCode");
  TRecordingView view(world, "view", "begin end");
  view.Start = 5;
  macro.ApplyTo(view);
  EXPECT_EQ(view.Text, "begin end");
  EXPECT_EQ(view.Start, 5);
  EXPECT_EQ(view.Length, 0);
  EXPECT_TRUE(world.Log.empty());
  EXPECT_EQ(world.Clipboard.Text, "old clipboard");
}

TEST_F(TextMacroApply, ScratchViewIsFreedWhenColouringFails) {
  TQCTextMacro& macro = NewMacro("__XMLCode");
  TRecordingView view(world, "view", "<a/>");
  view.Length = 4;
  world.FailHighlight = true;
  EXPECT_THROW(macro.ApplyTo(view), EOutOfResources);
  EXPECT_EQ(world.LiveScratches, 0);
  EXPECT_EQ(world.Log.back(), "scratch freed");
  // The target was not pasted into.
  EXPECT_EQ(view.Text, "<a/>");
}

TEST_F(TextMacroApply, ApplyingDoesNotChangeTheMacroOrTheDocument) {
  TQCTextMacro& macro = NewMacro("__C++SourceCode");
  document.SetModified(false);
  TRecordingView view(world, "view", "int x;");
  view.Length = 6;
  macro.ApplyTo(view);
  EXPECT_FALSE(document.Modified());
  EXPECT_EQ(macro.SyntaxType(), stCPlusPlus);
}

}  // namespace
