#include "richtext/RichEdit.h"

#include <QAbstractTextDocumentLayout>
#include <QAction>
#include <QColor>
#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QScrollBar>
#include <QStyle>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextList>
#include <algorithm>
#include <memory>

#include "qtbridge/QtGraphics.h"
#include "qtbridge/QtText.h"
#include "richtext/RtfDocumentBuilder.h"
#include "richtext/RtfPlainText.h"
#include "richtext/RtfReader.h"
#include "richtext/RtfWriter.h"
#include "toolkit/Streams.h"
#include "toolkit/SysUtils.h"

namespace {

// MIME types other programs use for RTF on the clipboard.
const QString kRtfMime = QStringLiteral("text/rtf");
const QString kRtfMimeAlt = QStringLiteral("application/rtf");
const QString kRtfMimeOld = QStringLiteral("text/richtext");

// Indents and tab stops are given in points; the document works in pixels at 96 per inch.
qreal PointsToPixels(int points) { return points * 96.0 / 72.0; }
int PixelsToPoints(qreal pixels) { return static_cast<int>(std::lround(pixels * 72.0 / 96.0)); }

// The link of the notice after a text shown in part.
const QString kShowAllHref = QStringLiteral("qc:show-all");

/// Runs longer than this without a break opportunity make their paragraph unwrapped.
constexpr int kLongRun = 2000;

/// Gives every paragraph with a run of more than kLongRun characters
/// without a blank an unwrapped layout: wrapped, each of its lines would be
/// sought from the run's start again.
void UnwrapLongRuns(QTextDocument& document) {
  for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
    if (block.length() <= kLongRun) continue;
    const QString text = block.text();
    int run = 0;
    bool longRun = false;
    for (const QChar c : text) {
      run = c.isSpace() ? 0 : run + 1;
      if (run > kLongRun) {
        longRun = true;
        break;
      }
    }
    if (!longRun) continue;
    QTextCursor cursor(block);
    QTextBlockFormat format;
    format.setNonBreakableLines(true);
    cursor.mergeBlockFormat(format);
  }
}

/// Cuts Document after Limit characters and ends it with a notice that
/// says how much more there is, with a "Show all" link.
void CutWithNotice(QTextDocument& document, int limit) {
  const int total = document.characterCount() - 1;
  QTextCursor cursor(&document);
  cursor.setPosition(limit);
  cursor.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
  cursor.removeSelectedText();
  cursor.insertBlock(QTextBlockFormat(), QTextCharFormat());
  QTextCharFormat notice;
  notice.setFontItalic(true);
  notice.setForeground(QColor(0x60, 0x60, 0x60));
  cursor.insertText(
      QCoreApplication::translate("TRichEdit", "[%L1 more characters are not shown] ").arg(total - limit),
      notice);
  QTextCharFormat link = notice;
  link.setAnchor(true);
  link.setAnchorHref(kShowAllHref);
  link.setFontUnderline(true);
  link.setForeground(QColor(0x00, 0x50, 0xC0));
  cursor.insertText(QCoreApplication::translate("TRichEdit", "Show all"), link);
}

std::string ReadRest(TStream& stream) {
  try {
    std::string bytes;
    char buffer[65536];
    for (;;) {
      const int64_t n = stream.Read(buffer, sizeof buffer);
      if (n <= 0) break;
      bytes.append(buffer, static_cast<size_t>(n));
    }
    return bytes;
  } catch (const Exception&) {
    throw EOutOfResources(rtl::SRichEditLoadFail);
  } catch (const std::bad_alloc&) {
    throw EOutOfResources(rtl::SRichEditLoadFail);
  }
}

}  // namespace

TRichEdit::TRichEdit(QWidget* parent) : QTextEdit(parent) {
  setAcceptRichText(true);
  setLineWrapMode(QTextEdit::WidgetWidth);
  // RTF's default tab stops are half an inch apart.
  setTabStopDistance(48);
  SetScrollBars(TScrollStyle::ssBoth);
  connect(this, &QTextEdit::textChanged, this, &TRichEdit::TextChangedSlot);
  connect(this, &QTextEdit::selectionChanged, this, &TRichEdit::SelectionChangedSlot);
  connect(this, &QTextEdit::cursorPositionChanged, this, &TRichEdit::SelectionChangedSlot);
  FShowAllAction = new QAction(tr("Show All"), this);
  FShowAllAction->setObjectName(QStringLiteral("ShowAllAction"));
  connect(FShowAllAction, &QAction::triggered, this, [this] {
    try {
      ShowAll();
    } catch (...) {
      // The part shown stays; exceptions never leave the event loop's handlers.
    }
  });
  UpdateSelectionVisibility();
}

TRichEdit::~TRichEdit() = default;

// --- Content ---------------------------------------------------------------

void TRichEdit::LoadFromStream(TStream& stream) { LoadRtf(ReadRest(stream)); }

void TRichEdit::LoadSelectionFromStream(TStream& stream) { LoadSelectionRtf(ReadRest(stream)); }

void TRichEdit::LoadRtf(std::string_view bytes) { ReplaceSelection(bytes, true); }

void TRichEdit::LoadSelectionRtf(std::string_view bytes) { ReplaceSelection(bytes, false); }

namespace {

/// Puts Bytes at Cursor: RTF through the document builder, anything else as
/// lines of ANSI text.
QTextCursor InsertContent(QTextCursor cursor, std::string_view bytes, bool whole, bool plainText) {
  if (!plainText && TRtfReader::IsRtf(bytes)) return InsertRtf(cursor, bytes, whole);
  if (cursor.hasSelection()) cursor.removeSelectedText();
  QString text;
  bool first = true;
  for (std::string_view line : SplitPlainLines(bytes)) {
    if (!first) text += QLatin1Char('\n');
    text += qtbridge::AnsiToQString(line);
    first = false;
  }
  cursor.insertText(text);
  return cursor;
}

}  // namespace

void TRichEdit::ReplaceSelection(std::string_view bytes, bool whole) {
  ++FNotifyLock;  // one change notice for the whole load, sent below
  try {
    if (whole) {
      // A whole load is built in a document of its own and then put in
      // place: the view's own document would be laid out in full at the end
      // of the edit (and again when the caret goes back to the start),
      // while a new document is laid out only as far as it is shown, the
      // rest in the background.
      const QPointer<QTextDocument> old = document();
      auto fresh = std::make_unique<QTextDocument>();
      fresh->setDefaultFont(old->defaultFont());
      fresh->setDefaultTextOption(old->defaultTextOption());
      fresh->setDefaultStyleSheet(old->defaultStyleSheet());
      fresh->setDocumentMargin(old->documentMargin());
      fresh->setIndentWidth(old->indentWidth());
      fresh->setUseDesignMetrics(old->useDesignMetrics());
      const bool undo = old->isUndoRedoEnabled();
      fresh->setUndoRedoEnabled(false);
      InsertContent(QTextCursor(fresh.get()), bytes, true, FPlainText);
      UnwrapLongRuns(*fresh);
      std::string held;
      if (FDisplayLimit > 0 && fresh->characterCount() - 1 > FDisplayLimit) {
        held.assign(bytes);
        CutWithNotice(*fresh, FDisplayLimit);
      }
      FHeldBytes = std::move(held);
      fresh->setUndoRedoEnabled(undo);
      fresh->setParent(this);
      // Marks on the old text would keep cursors into a document about to go.
      setExtraSelections({});
      setDocument(fresh.release());
      // The view deletes only the document it made itself.
      if (old && old->parent() == this) delete old.data();
      setTextCursor(QTextCursor(document()));
    } else {
      QTextCursor cursor = textCursor();
      cursor.beginEditBlock();
      cursor = InsertContent(cursor, bytes, false, FPlainText);
      cursor.endEditBlock();
      setTextCursor(cursor);
    }
  } catch (...) {
    --FNotifyLock;
    throw EOutOfResources(rtl::SRichEditLoadFail);
  }
  --FNotifyLock;
  if (FNotifyLock == 0) Change();
}

std::string TRichEdit::SaveRtf() const { return WriteRtf(*document()); }

std::string TRichEdit::SaveSelectionRtf() const {
  const QTextCursor c = textCursor();
  return WriteRtf(*document(), c.selectionStart(), c.selectionEnd());
}

void TRichEdit::SaveToStream(TStream& stream) const { stream.WriteString(SaveRtf()); }

QStringList TRichEdit::PlainTextLines() const {
  QStringList lines;
  const QTextDocument* doc = document();
  lines.reserve(doc->blockCount());
  for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
    QString text = block.text();
    if (text.contains(QChar::ObjectReplacementCharacter)) text.remove(QChar::ObjectReplacementCharacter);
    if (text.contains(QChar::LineSeparator)) {
      lines.append(text.split(QChar::LineSeparator));
    } else {
      lines.append(text);
    }
  }
  return lines;
}

std::vector<std::string> TRichEdit::PlainTextLinesAnsi() const {
  // Converted in one piece: a converter call has a fixed cost that would
  // dominate for thousands of short lines.
  const std::string text = PlainTextCrLf();
  std::vector<std::string> result;
  size_t start = 0;
  for (size_t end = text.find("\r\n"); end != std::string::npos; end = text.find("\r\n", start)) {
    result.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return result;
}

std::string TRichEdit::PlainTextCrLf() const {
  QString text;
  for (const QString& line : PlainTextLines()) {
    text += line;
    text += QLatin1String("\r\n");
  }
  return qtbridge::QStringToAnsi(text);
}

void TRichEdit::ShowAll() {
  if (FHeldBytes.empty()) return;
  const std::string bytes = std::move(FHeldBytes);
  FHeldBytes.clear();
  const int limit = FDisplayLimit;
  FDisplayLimit = 0;
  // A paragraph of megabytes is laid out in one piece: the wait is shown.
  QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    LoadRtf(bytes);
  } catch (...) {
    QGuiApplication::restoreOverrideCursor();
    FDisplayLimit = limit;
    throw;
  }
  QGuiApplication::restoreOverrideCursor();
  FDisplayLimit = limit;
}

void TRichEdit::contextMenuEvent(QContextMenuEvent* event) {
  std::unique_ptr<QMenu> menu(createStandardContextMenu(event->pos()));
  if (Truncated()) {
    menu->addSeparator();
    menu->addAction(FShowAllAction);
  }
  menu->exec(event->globalPos());
}

void TRichEdit::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton && Truncated() && anchorAt(event->pos()) == kShowAllHref) {
    FShowAllAction->trigger();
    return;
  }
  QTextEdit::mouseReleaseEvent(event);
}

void TRichEdit::Clear() {
  FHeldBytes.clear();
  ++FNotifyLock;
  clear();
  --FNotifyLock;
  if (FNotifyLock == 0) Change();
}

int TRichEdit::GetTextLen() const { return document()->characterCount() - 1; }

// --- Flags -----------------------------------------------------------------

bool TRichEdit::WordWrap() const { return lineWrapMode() != QTextEdit::NoWrap; }

void TRichEdit::SetWordWrap(bool value) {
  setLineWrapMode(value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TRichEdit::SetScrollBars(TScrollStyle value) {
  FScrollBars = value;
  const bool horizontal = value == TScrollStyle::ssHorizontal || value == TScrollStyle::ssBoth;
  const bool vertical = value == TScrollStyle::ssVertical || value == TScrollStyle::ssBoth;
  setHorizontalScrollBarPolicy(horizontal ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  setVerticalScrollBarPolicy(vertical ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

void TRichEdit::SetHideSelection(bool value) {
  FHideSelection = value;
  UpdateSelectionVisibility();
}

void TRichEdit::ShowSelection(bool visible) {
  FSelectionShown = visible;
  UpdateSelectionVisibility();
}

void TRichEdit::UpdateSelectionVisibility() {
  const bool visible = FSelectionShown && (FHasFocus || !FHideSelection);
  QPalette pal = palette();
  const QPalette base = style() ? style()->standardPalette() : QPalette();
  for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
    if (visible) {
      pal.setColor(group, QPalette::Highlight, base.color(QPalette::Active, QPalette::Highlight));
      pal.setColor(group, QPalette::HighlightedText, base.color(QPalette::Active, QPalette::HighlightedText));
    } else {
      pal.setColor(group, QPalette::Highlight, pal.color(group, QPalette::Base));
      pal.setColor(group, QPalette::HighlightedText, pal.color(group, QPalette::Text));
    }
  }
  setPalette(pal);
}

void TRichEdit::focusInEvent(QFocusEvent* event) {
  FHasFocus = true;
  UpdateSelectionVisibility();
  QTextEdit::focusInEvent(event);
}

void TRichEdit::focusOutEvent(QFocusEvent* event) {
  FHasFocus = false;
  UpdateSelectionVisibility();
  QTextEdit::focusOutEvent(event);
}

// --- Selection -------------------------------------------------------------

int TRichEdit::SelStart() const { return textCursor().selectionStart(); }

void TRichEdit::SetSelStart(int value) {
  QTextCursor c = textCursor();
  c.setPosition(std::clamp(value, 0, GetTextLen()));
  setTextCursor(c);
}

int TRichEdit::SelLength() const {
  const QTextCursor c = textCursor();
  return c.selectionEnd() - c.selectionStart();
}

void TRichEdit::SetSelLength(int value) {
  QTextCursor c = textCursor();
  const int start = c.selectionStart();
  c.setPosition(start);
  c.setPosition(std::clamp(start + value, 0, GetTextLen()), QTextCursor::KeepAnchor);
  setTextCursor(c);
}

std::string TRichEdit::SelText() const {
  QString text = textCursor().selectedText();
  text.replace(QChar::ParagraphSeparator, QStringLiteral("\r\n"));
  text.replace(QChar::LineSeparator, QStringLiteral("\r\n"));
  return qtbridge::QStringToAnsi(text);
}

void TRichEdit::SetSelText(std::string_view text) {
  QTextCursor c = textCursor();
  QString decoded = qtbridge::AnsiToQString(text);
  decoded.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  decoded.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  c.insertText(decoded);
  setTextCursor(c);
}

void TRichEdit::SetSelAttributes(const TRichCharAttributes& a) {
  QTextCharFormat f;
  if (a.HasColor) f.setForeground(qtbridge::ToQColor(a.Color));
  if (!a.Name.empty()) f.setFontFamilies(QStringList{qtbridge::AnsiToQString(a.Name)});
  if (a.Size > 0) f.setFontPointSize(a.Size);
  if (a.HasStyle) {
    f.setFontWeight(a.Style.Contains(TFontStyle::fsBold) ? QFont::Bold : QFont::Normal);
    f.setFontItalic(a.Style.Contains(TFontStyle::fsItalic));
    f.setFontUnderline(a.Style.Contains(TFontStyle::fsUnderline));
    f.setFontStrikeOut(a.Style.Contains(TFontStyle::fsStrikeOut));
  }
  QTextCursor c = textCursor();
  if (c.hasSelection()) {
    c.mergeCharFormat(f);
  } else {
    mergeCurrentCharFormat(f);
  }
}

TRichCharAttributes TRichEdit::SelAttributes() const {
  QTextCursor c = textCursor();
  if (c.hasSelection()) c.setPosition(c.selectionStart() + 1);
  const QTextCharFormat f = c.charFormat();
  TRichCharAttributes a;
  a.HasColor = true;
  a.Color = f.hasProperty(QTextFormat::ForegroundBrush) ? qtbridge::FromQColor(f.foreground().color())
                                                        : clWindowText;
  const QStringList families = f.fontFamilies().toStringList();
  a.Name =
      qtbridge::QStringToAnsi(families.isEmpty() ? document()->defaultFont().family() : families.first());
  const qreal size = f.fontPointSize() > 0 ? f.fontPointSize() : document()->defaultFont().pointSizeF();
  a.Size = static_cast<int>(std::lround(size));
  a.HasStyle = true;
  if (f.fontWeight() >= QFont::DemiBold) a.Style.Include(TFontStyle::fsBold);
  if (f.fontItalic()) a.Style.Include(TFontStyle::fsItalic);
  if (f.fontUnderline()) a.Style.Include(TFontStyle::fsUnderline);
  if (f.fontStrikeOut()) a.Style.Include(TFontStyle::fsStrikeOut);
  return a;
}

void TRichEdit::SetParagraph(const TRichParaAttributes& a) {
  QTextCursor c = textCursor();
  const int start = c.selectionStart();
  const int end = c.selectionEnd();
  c.beginEditBlock();
  QTextBlock block = document()->findBlock(start);
  const QTextBlock last = document()->findBlock(end);
  for (;;) {
    QTextCursor bc(block);
    QTextBlockFormat f = block.blockFormat();
    // A value outside the table (it can come from stored macros) keeps the paragraph's alignment.
    if (a.HasAlignment && a.Alignment >= TParaAlignment::taLeftJustify &&
        a.Alignment <= TParaAlignment::taJustify) {
      static const Qt::Alignment kAlign[] = {Qt::AlignLeft, Qt::AlignRight, Qt::AlignHCenter,
                                             Qt::AlignJustify};
      f.setAlignment(kAlign[static_cast<int>(a.Alignment)]);
    }
    if (a.HasFirstIndent) f.setTextIndent(PointsToPixels(a.FirstIndent));
    if (a.HasLeftIndent) f.setLeftMargin(PointsToPixels(a.LeftIndent));
    if (a.HasRightIndent) f.setRightMargin(PointsToPixels(a.RightIndent));
    if (a.HasTabs) {
      // Tab stops are given from the left margin; Qt measures from the first line's start.
      const qreal lineStart = f.leftMargin() + f.textIndent();
      QList<QTextOption::Tab> tabs;
      for (int t : a.Tabs) tabs.append(QTextOption::Tab(PointsToPixels(t) - lineStart, QTextOption::LeftTab));
      f.setTabPositions(tabs);
    }
    bc.setBlockFormat(f);
    if (a.HasNumbering) {
      QTextList* list = bc.block().textList();
      if (a.Numbering == nsBullet && !list) {
        QTextBlock previous = bc.block().previous();
        if (previous.isValid() && previous.textList() &&
            previous.textList()->format().style() == QTextListFormat::ListDisc) {
          previous.textList()->add(bc.block());
        } else {
          QTextListFormat lf;
          lf.setStyle(QTextListFormat::ListDisc);
          lf.setIndent(0);
          bc.createList(lf);
        }
      } else if (a.Numbering == nsNone && list) {
        list->remove(bc.block());
        QTextBlockFormat plain = bc.block().blockFormat();
        plain.setObjectIndex(-1);
        bc.setBlockFormat(plain);
      }
    }
    if (block == last || !block.next().isValid()) break;
    block = block.next();
  }
  c.endEditBlock();
}

TRichParaAttributes TRichEdit::Paragraph() const {
  const QTextBlock block = textCursor().block();
  const QTextBlockFormat f = block.blockFormat();
  TRichParaAttributes a;
  a.HasNumbering = a.HasAlignment = a.HasFirstIndent = a.HasLeftIndent = a.HasRightIndent = a.HasTabs = true;
  a.Numbering = block.textList() ? nsBullet : nsNone;
  const Qt::Alignment align = f.alignment() & Qt::AlignHorizontal_Mask;
  a.Alignment = (align & Qt::AlignHCenter)   ? TParaAlignment::taCenter
                : (align & Qt::AlignRight)   ? TParaAlignment::taRightJustify
                : (align & Qt::AlignJustify) ? TParaAlignment::taJustify
                                             : TParaAlignment::taLeftJustify;
  a.FirstIndent = PixelsToPoints(f.textIndent());
  a.LeftIndent = PixelsToPoints(f.leftMargin());
  a.RightIndent = PixelsToPoints(f.rightMargin());
  const qreal lineStart = f.leftMargin() + f.textIndent();
  for (const QTextOption::Tab& t : f.tabPositions()) a.Tabs.push_back(PixelsToPoints(t.position + lineStart));
  return a;
}

// --- Clipboard ---------------------------------------------------------------

bool TRichEdit::canInsertFromMimeData(const QMimeData* source) const {
  return source->hasFormat(kRtfMime) || source->hasFormat(kRtfMimeAlt) || source->hasFormat(kRtfMimeOld) ||
         QTextEdit::canInsertFromMimeData(source);
}

QMimeData* TRichEdit::createMimeDataFromSelection() const {
  // Qt's own selection data reports a fixed list of formats, so the formats
  // are copied into plain mime data next to the RTF.
  std::unique_ptr<QMimeData> qtData(QTextEdit::createMimeDataFromSelection());
  auto* data = new QMimeData;
  data->setText(qtData->text());
  data->setHtml(qtData->html());
  const QByteArray rtf = QByteArray::fromStdString(SaveSelectionRtf());
  data->setData(kRtfMime, rtf);
  data->setData(kRtfMimeAlt, rtf);
  return data;
}

void TRichEdit::insertFromMimeData(const QMimeData* source) {
  if (isReadOnly()) return;
  for (const QString& mime : {kRtfMime, kRtfMimeAlt, kRtfMimeOld}) {
    if (!source->hasFormat(mime)) continue;
    const QByteArray rtf = source->data(mime);
    if (TRtfReader::IsRtf(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())))) {
      LoadSelectionRtf(std::string_view(rtf.constData(), static_cast<size_t>(rtf.size())));
      ensureCursorVisible();
      return;
    }
  }
  QTextEdit::insertFromMimeData(source);
}

std::unique_ptr<QMimeData> TRichEdit::SelectionMimeData() const {
  if (!textCursor().hasSelection()) return std::make_unique<QMimeData>();
  return std::unique_ptr<QMimeData>(createMimeDataFromSelection());
}

void TRichEdit::InsertMimeData(const QMimeData& data) {
  insertFromMimeData(&data);
  ensureCursorVisible();
}

// --- Line queries ------------------------------------------------------------

int TRichEdit::LineCount() const { return document()->blockCount(); }

int TRichEdit::LineFromChar(int charIndex) const {
  if (charIndex < 0) charIndex = textCursor().position();
  return document()->findBlock(std::clamp(charIndex, 0, GetTextLen())).blockNumber();
}

int TRichEdit::LineIndex(int line) const {
  const QTextBlock block = line < 0 ? textCursor().block() : document()->findBlockByNumber(line);
  return block.isValid() ? block.position() : -1;
}

int TRichEdit::LineLength(int line) const {
  const QTextBlock block = line < 0 ? textCursor().block() : document()->findBlockByNumber(line);
  return block.isValid() ? block.length() - 1 : -1;
}

int TRichEdit::FirstVisibleLine() const {
  const int y = verticalScrollBar()->value();
  const QAbstractTextDocumentLayout* layout = document()->documentLayout();
  // Blocks are laid out top to bottom: find the first whose bottom is below y.
  int lo = 0;
  int hi = document()->blockCount() - 1;
  while (lo < hi) {
    const int mid = (lo + hi) / 2;
    const QRectF r = layout->blockBoundingRect(document()->findBlockByNumber(mid));
    if (r.bottom() <= y) {
      lo = mid + 1;
    } else {
      hi = mid;
    }
  }
  return lo;
}

void TRichEdit::ScrollLines(int lines) {
  const int target = std::clamp(FirstVisibleLine() + lines, 0, std::max(0, LineCount() - 1));
  const QRectF r = document()->documentLayout()->blockBoundingRect(document()->findBlockByNumber(target));
  verticalScrollBar()->setValue(static_cast<int>(r.top()));
}

// --- Redraw and notifications ------------------------------------------------

void TRichEdit::SuspendRedraw() {
  if (FRedrawLock++ == 0) viewport()->setUpdatesEnabled(false);
}

void TRichEdit::ResumeRedraw() {
  if (FRedrawLock == 0) return;
  if (--FRedrawLock == 0) {
    viewport()->setUpdatesEnabled(true);
    viewport()->update();
  }
}

void TRichEdit::SuspendNotifications() { ++FNotifyLock; }

void TRichEdit::ResumeNotifications() {
  if (FNotifyLock > 0) --FNotifyLock;
}

void TRichEdit::Change() {
  if (OnChange) OnChange(this);
}

void TRichEdit::TextChangedSlot() {
  if (FNotifyLock == 0) Change();
}

void TRichEdit::SelectionChangedSlot() {
  if (FNotifyLock == 0 && OnSelectionChange) OnSelectionChange(this);
}

void TRichEdit::keyPressEvent(QKeyEvent* event) {
  if (OnKeyDown) {
    bool handled = false;
    OnKeyDown(this, event, handled);
    if (handled) {
      event->accept();
      return;
    }
  }
  QTextEdit::keyPressEvent(event);
}
