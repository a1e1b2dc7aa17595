#include "diffview/dvListControl.h"

#include <QEvent>
#include <QFontMetrics>
#include <QHelpEvent>
#include <QPaintEvent>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <QToolTip>
#include <algorithm>
#include <cstdint>
#include <functional>
#include <utility>
#include <vector>

#include "diffview/dvLibrary.h"
#include "toolkit/StoreChanged.h"

int32_t dvWidestText(const TStrings& lines, const QFont& font) {
  // Shaping every line of a large result takes seconds. The sum of the
  // bytes' own advances comes close to the shaped width: kerning and
  // ligatures make a line narrower, rarely wider by more than a pixel or
  // two. So lines are shaped widest estimate first, and once an estimate
  // plus that margin falls below the widest width found, no line further
  // down the order can be wider.
  const QFontMetrics metrics(font);
  int advance[256];
  for (int byte = 0; byte < 256; ++byte) {
    const char c = static_cast<char>(byte);
    advance[byte] = metrics.horizontalAdvance(dvToQString(std::string_view(&c, 1)));
  }
  // A tab jumps to the next tab stop rather than adding its own advance.
  const int tabStop = metrics.horizontalAdvance(QStringLiteral("\t"));
  std::vector<std::pair<int64_t, int>> estimates;
  estimates.reserve(static_cast<size_t>(lines.Count()));
  for (int i = 0; i < lines.Count(); ++i) {
    int64_t sum = 0;
    for (unsigned char byte : lines.Strings(i))
      sum = byte == '\t' && tabStop > 0 ? (sum / tabStop + 1) * tabStop : sum + advance[byte];
    estimates.emplace_back(sum, i);
  }
  std::sort(estimates.begin(), estimates.end(), std::greater<>());
  // Thousands of lines of nearly one width would all be shaped; past this
  // many, the next estimate with its margin stands for the rest, which can
  // only make the range a few pixels wider than the text, never narrower.
  constexpr int kMaxShaped = 256;
  int shaped = 0;
  int64_t widest = 0;
  for (const auto& [estimate, index] : estimates) {
    const int64_t bound = estimate + estimate / 32 + 4;
    if (bound < widest) break;
    if (++shaped > kMaxShaped) {
      widest = bound;
      break;
    }
    widest = std::max<int64_t>(widest, metrics.horizontalAdvance(dvTextToQString(lines.Strings(index))));
  }
  return static_cast<int32_t>(std::min<int64_t>(widest, INT32_MAX));
}

namespace {

/// Where byte Offset of Text falls in its Unicode form (UTF-16 units):
/// one unit per byte of Windows-1252, one per UTF-8 character (two from a
/// four-byte one on).
int UnitIndex(std::string_view text, bool utf8, size_t offset) {
  offset = std::min(offset, text.size());
  if (!utf8) return static_cast<int>(offset);
  int units = 0;
  for (size_t i = 0; i < offset; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) != 0x80) units += byte >= 0xF0 ? 2 : 1;
  }
  return units;
}

}  // namespace

TdvListControl::TdvListControl(QWidget* parent)
    : TdvCustomScrollableControl(parent), FItems(std::make_unique<TStrings>()) {
  FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TdvListControl::~TdvListControl() {
  BeginDestroy();
  FItems->OnChange = nullptr;
  OnFormatDrawing = nullptr;
  OnItemToolTip = nullptr;
}

void TdvListControl::SetItems(const TStrings& value) { FItems->Assign(value); }

void TdvListControl::ItemsChanged() {
  FMaxWidth = -1;
  if (FItems->Empty()) {
    // No item can stay current once the list is empty.
    FItemIndex = FSelStart = FSelEnd = -1;
    FTopIndex = 0;
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    viewport()->update();
    return;
  }
  SetItemIndex(0);
}

int32_t TdvListControl::GetItemHeight() const { return QFontMetrics(font()).height(); }

int32_t TdvListControl::GetContentWidth() {
  if (FMaxWidth < 0 && !FItems->Empty()) FMaxWidth = dvWidestText(*FItems, font());
  return std::max(FMaxWidth, 0);
}

void TdvListControl::SetColor(TColor value) {
  if (StoreChanged(FColor, value)) viewport()->update();
}

void TdvListControl::SetFontColor(TColor value) {
  if (StoreChanged(FFontColor, value)) viewport()->update();
}

void TdvListControl::changeEvent(QEvent* event) {
  TdvCustomScrollableControl::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    // Row height and text widths follow the font.
    FMaxWidth = -1;
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    viewport()->update();
  }
}

bool TdvListControl::viewportEvent(QEvent* event) {
  if (event->type() == QEvent::ToolTip && OnItemToolTip) {
    const auto* help = static_cast<QHelpEvent*>(event);
    const int32_t height = GetItemHeight();
    const int32_t index = height > 0 ? TopIndex() + help->pos().y() / height : -1;
    const QString tip = index >= 0 && index < GetItemCount() ? OnItemToolTip(index) : QString();
    if (tip.isEmpty()) {
      QToolTip::hideText();
      event->ignore();
    } else {
      QToolTip::showText(help->globalPos(), tip, viewport());
    }
    return true;
  }
  return TdvCustomScrollableControl::viewportEvent(event);
}

void TdvListControl::paintEvent(QPaintEvent*) {
  QPainter painter(viewport());
  painter.setFont(font());
  const QFontMetrics metrics(font());
  const int width = ClientWidth();
  const int32_t itemHeight = GetItemHeight();
  const int32_t count = GetItemCount();
  const int32_t top = TopIndex();
  const int32_t page = GetPageItems();
  const int32_t textX = 2 - HorzOffset();
  const bool focused = hasFocus();
  QRect row(0, 0, width, itemHeight);
  for (int32_t i = top; i < top + page && i < count; ++i) {
    TdvCanvas canvas{&painter, FColor, FFontColor};
    canvas.Index = i;
    const bool inRange = i >= FSelStart && i <= FSelEnd && !HideSelection();
    if (inRange && focused) {
      canvas.BrushColor = clHighlight;
      canvas.FontColor = clHighlightText;
    }
    std::string text = FItems->Strings(i);
    // Selected ignores the focus so that a partner pane can keep showing
    // the current row while this one is not focused.
    if (OnFormatDrawing) OnFormatDrawing(this, canvas, inRange, text);
    painter.setClipRect(row);
    painter.fillRect(row, dvColor(canvas.BrushColor));
    const QString shown = dvTextToQString(text);
    if (canvas.Marks != nullptr && !canvas.Marks->empty()) {
      // The text is decoded as a whole, so its offsets are mapped the same
      // way: UTF-8 where it all is, else Windows-1252.
      const bool utf8 = dvIsValidUtf8(text);
      const QColor mark = dvColor(canvas.MarkColor);
      for (const TdvSpan& span : *canvas.Marks) {
        if (span.Start < 0 || span.Length <= 0) continue;
        const size_t start = static_cast<size_t>(span.Start);
        const int from = metrics.horizontalAdvance(shown.left(UnitIndex(text, utf8, start)));
        const int to = metrics.horizontalAdvance(
            shown.left(UnitIndex(text, utf8, start + static_cast<size_t>(span.Length))));
        if (to > from) painter.fillRect(QRect(textX + from, row.top(), to - from, itemHeight), mark);
      }
    }
    painter.setPen(dvColor(canvas.FontColor));
    painter.drawText(QPoint(textX, row.top() + metrics.ascent()), shown);
    if (canvas.Edge)
      painter.fillRect(QRect(row.left(), row.top(), kEdgeWidth, itemHeight), dvColor(canvas.EdgeColor));
    if (canvas.Framed) {
      painter.setPen(dvColor(clHighlight));
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(row.adjusted(0, 0, -1, -1));
    }
    if (focused && ShowFocusRect() && i == FItemIndex) {
      QStyleOptionFocusRect option;
      option.initFrom(this);
      option.rect = row;
      option.backgroundColor = dvColor(canvas.BrushColor);
      style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
    row.translate(0, itemHeight);
  }
  painter.setClipping(false);
  // Below the last whole row: background only, never a cut-off row.
  const int rest = ClientHeight() - row.top();
  if (rest > 0) painter.fillRect(QRect(0, row.top(), width, rest), dvColor(FColor));
}
