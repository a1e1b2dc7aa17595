#include "syntaxedit/RichEditHighlight.h"

#include <QKeyEvent>
#include <QMimeData>
#include <QPointer>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>

#include "qtbridge/QtGraphics.h"
#include "qtbridge/QtText.h"
#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfPlainText.h"
#include "syntax/hltConverters.h"
#include "toolkit/ScopeGuard.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace {

// The colour table with each "\redR\greenG\blueB;" entry made readable on
// the background; anything else in the table is kept as it is.
std::string ReadableColorTable(const std::string& table, const QColor& background) {
  std::string result;
  result.reserve(table.size());
  size_t pos = 0;
  while (pos < table.size()) {
    const size_t red = table.find("\\red", pos);
    int r = 0;
    int g = 0;
    int b = 0;
    int used = 0;
    if (red == std::string::npos ||
        std::sscanf(table.c_str() + red, "\\red%d\\green%d\\blue%d;%n", &r, &g, &b, &used) != 3 ||
        used == 0) {
      result.append(table, pos, std::string::npos);
      break;
    }
    result.append(table, pos, red - pos);
    const QColor color = qtbridge::ReadableOn(
        QColor(std::clamp(r, 0, 255), std::clamp(g, 0, 255), std::clamp(b, 0, 255)), background);
    result += "\\red" + std::to_string(color.red()) + "\\green" + std::to_string(color.green()) + "\\blue" +
              std::to_string(color.blue()) + ";";
    pos = red + static_cast<size_t>(used);
  }
  return result;
}

bool IsLineEndChar(QChar ch) {
  return ch == QChar::ParagraphSeparator || ch == QChar::LineSeparator || ch == QLatin1Char('\r') ||
         ch == QLatin1Char('\n');
}

/// Holds back the view's handlers, notifications and redrawing for the
/// duration of a re-colouring and gives them back however it ends.
class TRecolourGuard {
 public:
  TRecolourGuard(TRichEdit& edit, bool suspendRedraw) : FEdit(edit), FRedraw(suspendRedraw) {
    if (FRedraw) FEdit.SuspendRedraw();
    FEdit.SuspendNotifications();
    FOnChange = std::exchange(FEdit.OnChange, nullptr);
    FOnKeyDown = std::exchange(FEdit.OnKeyDown, nullptr);
    FOnSelectionChange = std::exchange(FEdit.OnSelectionChange, nullptr);
  }
  ~TRecolourGuard() {
    FEdit.OnChange = std::move(FOnChange);
    FEdit.OnKeyDown = std::move(FOnKeyDown);
    FEdit.OnSelectionChange = std::move(FOnSelectionChange);
    FEdit.ResumeNotifications();
    if (FRedraw) FEdit.ResumeRedraw();
  }
  TRecolourGuard(const TRecolourGuard&) = delete;
  TRecolourGuard& operator=(const TRecolourGuard&) = delete;

 private:
  TRichEdit& FEdit;
  bool FRedraw;
  decltype(TRichEdit::OnChange) FOnChange;
  decltype(TRichEdit::OnKeyDown) FOnKeyDown;
  decltype(TRichEdit::OnSelectionChange) FOnSelectionChange;
};

/// One key's edit block of the view, as an update bracket: closing it lays
/// the document out and sends the change notice, unless the key changed
/// nothing (closing a block always sends one, so it is held back then).
class TEditBlock {
 public:
  explicit TEditBlock(TRichEdit& edit) : FEdit(edit), FCursor(edit.document()) {}
  void BeginUpdate() { FCursor.beginEditBlock(); }
  void EndUpdate() {
    if (!Changed) FEdit.SuspendNotifications();
    FCursor.endEditBlock();
    if (!Changed) FEdit.ResumeNotifications();
  }
  bool Changed = true;

 private:
  TRichEdit& FEdit;
  QTextCursor FCursor;
};

}  // namespace

static_assert(TRichEditSyntax::ColorCount == 34, "one field per colour property");

TRichEditSyntax::TRichEditSyntax(QWidget* parent)
    : TRichEdit(parent), FConverter(CreateSyntaxConverter(stDelphi)) {
#define QC_SYNTAX_COLOR_INIT(name, initial) FColors[ci##name] = initial;
  QC_SYNTAX_COLORS(QC_SYNTAX_COLOR_INIT)
#undef QC_SYNTAX_COLOR_INIT
  SetPlainText(true);
}

TRichEditSyntax::~TRichEditSyntax() = default;

void TRichEditSyntax::SetSyntaxType(TSyntaxType value) {
  FSyntaxType = value;
  FConverter = CreateSyntaxConverter(value);
  Change();
}

void TRichEditSyntax::SetUseDefaultColors(bool value) {
  FUseDefaultColors = value;
  if (value) {
    FConverter->SetDefaultColors();
  } else {
    ApplyColors();
  }
}

std::vector<TColor> TRichEditSyntax::ColorList() const {
  const auto& c = FColors;
  switch (FSyntaxType) {
    case stCPlusPlus:
      return {c[ciAsmColor],    c[ciCommentColor], c[ciDirectiveColor], c[ciIdentifierColor], c[ciKeyColor],
              c[ciNumberColor], c[ciFloatColor],   c[ciHexColor],       c[ciOctalColor],      c[ciSpaceColor],
              c[ciStringColor], c[ciCharColor],    c[ciSymbolColor],    c[ciUnknownColor],    clBlack};
    case stSQL:
      return {c[ciCommentColor], c[ciIdentifierColor], c[ciKeyColor],     c[ciNumberColor],
              c[ciSymbolColor],  c[ciStringColor],     c[ciUnknownColor], clBlack};
    case stXML:
      return {c[ciElementColor],
              c[ciAttributeColor],
              c[cinsAttributeColor],
              c[ciEqualColor],
              c[cinsEqualColor],
              c[ciQuoteAttrValueColor],
              c[ciAposAttrValueColor],
              c[cinsQuoteAttrValueColor],
              c[cinsAposAttrValueColor],
              c[ciTextColor],
              c[ciCDATAColor]};
    case stDFM:
    case stJScript:
    case stVB:
    case stVBScript:
    case stDelphi:
      break;
  }
  return {c[ciCommentColor], c[ciIdentifierColor], c[ciKeyColor],    c[ciNumberColor],
          c[ciSpaceColor],   c[ciStringColor],     c[ciSymbolColor], c[ciUnknownColor]};
}

void TRichEditSyntax::ApplyColors() { FConverter->SetColors(ColorList()); }

// --- Loading -------------------------------------------------------------------

void TRichEditSyntax::LoadHighlighted(TStream& source) { LoadConverted(source, true); }

void TRichEditSyntax::LoadHighlightedSelection(TStream& source) { LoadConverted(source, false); }

void TRichEditSyntax::LoadConverted(TStream& source, bool whole) {
  // FLoading keeps the change notices of the load from re-colouring again;
  // it is cleared however the load ends, so a rejected text does not stop
  // re-colouring for good.
  struct TLoadingFlag {
    bool& flag;
    explicit TLoadingFlag(bool& f) : flag(f) { flag = true; }
    ~TLoadingFlag() { flag = false; }
  } loading(FLoading);
  QStringList unicodeLines = std::exchange(FUnicodeLines, {});

  std::string text;
  source.SetPosition(0);
  text.resize(static_cast<size_t>(std::max<int64_t>(0, source.Size())));
  if (!text.empty()) source.ReadBuffer(text.data(), static_cast<int64_t>(text.size()));

  FConverter->SetText(text);
  FConverter->SetFonts({qtbridge::ToTFont(font())});
  TMemoryStream rtf;
  {
    // The language's colours are chosen for a white page; on a dark one
    // each is moved just far enough to stay readable. The converter keeps
    // its own colours.
    const std::string colors = FConverter->ColorTable();
    if (qtbridge::IsDarkPalette(palette()))
      FConverter->SetColorTable(ReadableColorTable(colors, palette().color(QPalette::Base)));
    toolkit::TScopeExit restore([&] { FConverter->SetColorTable(colors); });
    FConverter->ConvertToStream(rtf);
  }

  SetPlainText(false);
  try {
    if (whole) {
      ReplaceDocument(rtf.DataString(), !text.empty() && (text.back() == '\r' || text.back() == '\n'));
    } else {
      LoadSelectionRtf(rtf.DataString());
    }
  } catch (const Exception&) {
    SetPlainText(true);
    throw EOutOfResources(SCannotLoadRtfText);
  } catch (const std::bad_alloc&) {
    SetPlainText(true);
    throw EOutOfResources(SCannotLoadRtfText);
  }
  SetPlainText(true);
  if (!unicodeLines.isEmpty()) RestoreUnicode(FUnicodeFirstLine, unicodeLines);
}

void TRichEditSyntax::ReplaceDocument(std::string_view rtf, bool endsWithLineEnd) {
  // The coloured text is built in a document of its own and then put in
  // place: a document the view does not yet lay out takes the many small
  // coloured pieces several times faster than the view's own.
  const QPointer<QTextDocument> old = document();
  auto fresh = std::make_unique<QTextDocument>();
  fresh->setDefaultFont(old->defaultFont());
  fresh->setDefaultTextOption(old->defaultTextOption());
  fresh->setDocumentMargin(old->documentMargin());
  fresh->setIndentWidth(old->indentWidth());
  fresh->setUseDesignMetrics(old->useDesignMetrics());
  fresh->setUndoRedoEnabled(false);
  InsertRtf(QTextCursor(fresh.get()), rtf, true);
  // A text that ends with a line end has an empty last line, which a
  // whole-document load does not create; without it the line would vanish.
  if (endsWithLineEnd && fresh->lastBlock().length() > 1) {
    QTextCursor end(fresh.get());
    end.movePosition(QTextCursor::End);
    end.insertBlock();
  }
  fresh->setUndoRedoEnabled(true);
  fresh->setParent(this);

  SuspendNotifications();
  // Marks on the old text would keep cursors into a document about to go.
  setExtraSelections({});
  setDocument(fresh.release());
  // The view deletes only the document it made itself.
  if (old && old->parent() == this) delete old.data();
  ResumeNotifications();
  if (!NotificationsSuspended()) Change();
}

void TRichEditSyntax::RestoreUnicode(int firstLine, const QStringList& originals) {
  // The converter works on Windows-1252; characters it lacks went through as
  // '?' one for one, and are put back here with the colour the '?' got.
  SuspendNotifications();
  QTextDocument* doc = document();
  QTextBlock block = doc->findBlockByNumber(firstLine);
  for (const QString& original : originals) {
    if (!block.isValid()) break;
    const QString now = block.text();
    if (now.size() == original.size() && now != original) {
      for (qsizetype i = 0; i < now.size();) {
        if (now[i] == original[i]) {
          ++i;
          continue;
        }
        qsizetype j = i;
        while (j < now.size() && now[j] != original[j]) ++j;
        QTextCursor c(doc);
        c.setPosition(block.position() + static_cast<int>(i) + 1);
        const QTextCharFormat format = c.charFormat();
        c.setPosition(block.position() + static_cast<int>(i));
        c.setPosition(block.position() + static_cast<int>(j), QTextCursor::KeepAnchor);
        c.insertText(original.mid(i, j - i), format);
        i = j;
      }
    }
    block = block.next();
  }
  ResumeNotifications();
}

// --- Re-colouring ----------------------------------------------------------------

void TRichEditSyntax::HighlightAll() {
  if (FLoading || GetTextLen() == 0) return;
  TRecolourGuard guard(*this, true);

  const int caret = SelStart();
  const int topLine = FirstVisibleLine();

  std::string text;
  text.reserve(static_cast<size_t>(GetTextLen()) + static_cast<size_t>(LineCount()));
  bool lossless = true;
  QStringList lines;
  for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
    if (block != document()->begin()) text += "\r\n";
    const QString line = block.text();
    if (!qtbridge::AppendAnsiPerUnit(text, line)) lossless = false;
    lines.append(line);
  }
  if (!lossless) {
    FUnicodeLines = std::move(lines);
    FUnicodeFirstLine = 0;
  }
  TStringStream stream(std::move(text));
  LoadHighlighted(stream);

  // The load leaves the view at the top; putting the caret back must not
  // scroll it either, so the first visible line is restored last.
  SetSelStart(caret);
  ScrollLines(topLine - FirstVisibleLine());
}

bool TRichEditSyntax::SelectLine(int line) {
  if (line < 0) return false;
  const int first = LineIndex(line);
  if (first < 0) return false;
  const int next = LineIndex(line + 1);
  SetSelStart(first);
  SetSelLength(next >= 0 ? next - first : LineLength(line));
  return true;
}

void TRichEditSyntax::HighlightCurrentLine() {
  if (FLoading || GetTextLen() < 3) return;
  // The view paints only from the event loop, never in the middle of this
  // call, so neither the moving selection nor the half-replaced line can be
  // seen; hiding the selection or freezing the view would only make it
  // repaint all of itself afterwards instead of the one changed line.
  TRecolourGuard guard(*this, false);
  const int caret = SelStart();
  // The caret goes back where it was however the colouring ends.
  toolkit::TScopeExit restoreCaret([this, caret] { SetSelStart(caret); });

  const int line = LineFromChar(caret);
  if (SelectLine(line) && SelLength() > 2) {
    // The line end stays out: the coloured text has none, and loading one
    // would split the line.
    const QString selected = textCursor().selectedText();
    int length = SelLength();
    if (!selected.isEmpty() && IsLineEndChar(selected.back())) {
      const bool pair = selected.back() == QLatin1Char('\n') && selected.size() > 1 &&
                        selected[selected.size() - 2] == QLatin1Char('\r');
      length -= pair ? 2 : 1;
    }
    SetSelLength(length);

    std::string text;
    const QString lineText = textCursor().selectedText();
    if (!qtbridge::AppendAnsiPerUnit(text, lineText)) {
      FUnicodeLines = QStringList{lineText};
      FUnicodeFirstLine = line;
    }
    TStringStream stream(std::move(text));
    LoadHighlightedSelection(stream);
  }
}

void TRichEditSyntax::Change() {
  if (!FKeyRecoloured) HighlightCurrentLine();
  TRichEdit::Change();
}

void TRichEditSyntax::keyPressEvent(QKeyEvent* event) {
  if (FLoading || isReadOnly()) {
    TRichEdit::keyPressEvent(event);
    return;
  }
  // Undo and redo bring back the text with the colours it had; colouring it
  // again would be a new edit, and a new edit empties the redo list.
  if (event->matches(QKeySequence::Undo) || event->matches(QKeySequence::Redo)) {
    FKeyRecoloured = true;
    toolkit::TScopeExit reset([this] { FKeyRecoloured = false; });
    TRichEdit::keyPressEvent(event);
    return;
  }
  // Inside one edit block the document lays itself out and sends its change
  // notice only when the block closes: after the line is coloured.
  const QTextCursor before = textCursor();
  const int lengthBefore = document()->characterCount();
  const QString lineBefore = before.block().text();
  {
    toolkit::TScopeExit reset([this] { FKeyRecoloured = false; });
    TEditBlock block(*this);
    toolkit::TUpdateBracket batch(block);
    TRichEdit::keyPressEvent(event);
    const QTextCursor after = textCursor();
    // A key that changed the text changed the length, or the caret's line.
    block.Changed = document()->characterCount() != lengthBefore ||
                    after.blockNumber() != before.blockNumber() || after.block().text() != lineBefore;
    if (block.Changed && GetTextLen() >= 3) {
      HighlightCurrentLine();
      FKeyRecoloured = true;
    }
  }
  ensureCursorVisible();
}

void TRichEditSyntax::insertFromMimeData(const QMimeData* source) {
  if (!PlainText()) {
    TRichEdit::insertFromMimeData(source);
    return;
  }
  if (isReadOnly()) return;
  QString text = source->text();
  if (!source->hasText()) {
    // Some programs offer rich text as RTF alone: its plain text, then.
    for (const QString& mime : {QStringLiteral("text/rtf"), QStringLiteral("application/rtf")}) {
      if (!source->hasFormat(mime)) continue;
      const QByteArray rtf = source->data(mime);
      QStringList lines;
      for (const std::string& line : RtfToPlainTextLines(
               std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())), &qtbridge::CodePageToUtf8))
        lines.append(qtbridge::Utf8ToQString(line));
      text = lines.join(QLatin1Char('\n'));
      break;
    }
  }
  if (text.isEmpty()) return;
  QTextCursor cursor = textCursor();
  cursor.insertText(text);
  setTextCursor(cursor);
  ensureCursorVisible();
}
