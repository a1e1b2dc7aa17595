#include "diffview/dvScrollableControl.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>

#include "diffview/dvLibrary.h"
#include "toolkit/StoreChanged.h"

namespace {

constexpr int kWheelNotch = 120;

Qt::KeyboardModifiers ShiftState(const QInputEvent* event) {
  // Exact sets of Shift, Ctrl and Alt; the keypad flag that arrow keys may
  // carry is no modifier for this purpose.
  return event->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
}

}  // namespace

bool dvScrollCodeFromAction(int sliderAction, TScrollCode& code) {
  struct TActionCode {
    int Action;
    TScrollCode Code;
  };
  static constexpr TActionCode kCodes[] = {
      {QAbstractSlider::SliderSingleStepSub, TScrollCode::scLineUp},
      {QAbstractSlider::SliderSingleStepAdd, TScrollCode::scLineDown},
      {QAbstractSlider::SliderPageStepSub, TScrollCode::scPageUp},
      {QAbstractSlider::SliderPageStepAdd, TScrollCode::scPageDown},
      {QAbstractSlider::SliderToMinimum, TScrollCode::scTop},
      {QAbstractSlider::SliderToMaximum, TScrollCode::scBottom},
      {QAbstractSlider::SliderMove, TScrollCode::scTrack},
  };
  for (const TActionCode& entry : kCodes)
    if (entry.Action == sliderAction) {
      code = entry.Code;
      return true;
    }
  return false;
}

TdvCustomScrollableControl::TdvCustomScrollableControl(QWidget* parent) : QAbstractScrollArea(parent) {
  setFrameStyle(QFrame::NoFrame);
  setFocusPolicy(Qt::StrongFocus);
  setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
  viewport()->setAutoFillBackground(false);
  resize(400, 200);
  connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { BarAction(verticalScrollBar(), 1, action); });
  connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
          [this](int action) { BarAction(horizontalScrollBar(), 0, action); });
  FCreating = false;
}

TdvCustomScrollableControl::~TdvCustomScrollableControl() {
  FDestroying = true;
  OnScroll = nullptr;
}

bool TdvCustomScrollableControl::HasVertBar() const {
  return FScrollBars == TScrollStyle::ssVertical || FScrollBars == TScrollStyle::ssBoth;
}

bool TdvCustomScrollableControl::HasHorzBar() const {
  return FScrollBars == TScrollStyle::ssHorizontal || FScrollBars == TScrollStyle::ssBoth;
}

// From the control's own size rather than the viewport's geometry: a hidden
// control lays its viewport out only when shown, yet its positions already
// count. The control's bars are always on or always off, so this is exact.
int TdvCustomScrollableControl::ClientWidth() const { return maximumViewportSize().width(); }
int TdvCustomScrollableControl::ClientHeight() const { return maximumViewportSize().height(); }

int32_t TdvCustomScrollableControl::GetPageItems() const {
  const int32_t height = GetItemHeight();
  return height > 0 ? ClientHeight() / height : 0;
}

int32_t TdvCustomScrollableControl::MaxTopIndex() const {
  return std::max(GetItemCount() - GetPageItems(), 0);
}

int32_t TdvCustomScrollableControl::MaxHorzOffset() const {
  // The content width is cached by the subclass; measuring is not a change
  // of state the caller can see.
  auto* self = const_cast<TdvCustomScrollableControl*>(this);
  return std::max(self->GetContentWidth() - ClientWidth(), 0);
}

void TdvCustomScrollableControl::Repaint() { viewport()->update(); }

void TdvCustomScrollableControl::SetItemIndex(int32_t value) {
  const int32_t count = GetItemCount();
  if (count == 0) return;
  FItemIndex = dvEnsureRange(value, 0, count - 1);
  FSelStart = FSelEnd = FItemIndex;
  ScrollInView();
  UpdateVertScrollBar();
  Repaint();
}

void TdvCustomScrollableControl::SetSelLength(int32_t value) {
  FSelEnd = FMultiSelect ? FSelStart + value : FSelStart;
  // A partner with fewer items, or a negative length, must not leave the
  // range outside the items or reversed.
  const int32_t count = GetItemCount();
  if (count > 0) FSelEnd = dvEnsureRange(FSelEnd, std::max(FSelStart, 0), count - 1);
  FItemIndex = FSelEnd;
  Repaint();
}

int32_t TdvCustomScrollableControl::TopIndex() const {
  return HasVertBar() ? verticalScrollBar()->value() : FTopIndex;
}

void TdvCustomScrollableControl::SetTopIndex(int32_t value) {
  FTopIndex = dvEnsureRange(value, 0, MaxTopIndex());
  UpdateVertScrollBar();
  Repaint();
}

void TdvCustomScrollableControl::ScrollTopIndex(int32_t value) {
  if (HasVertBar()) {
    const QSignalBlocker block(verticalScrollBar());
    verticalScrollBar()->setValue(value);
    value = verticalScrollBar()->value();
  } else {
    value = dvEnsureRange(value, 0, MaxTopIndex());
  }
  SetTopIndex(value);
}

int32_t TdvCustomScrollableControl::HorzOffset() const {
  return HasHorzBar() ? horizontalScrollBar()->value() : FHorzOffset;
}

void TdvCustomScrollableControl::SetHorzOffset(int32_t value) {
  if (HasHorzBar()) {
    const QSignalBlocker block(horizontalScrollBar());
    horizontalScrollBar()->setValue(value);
    FHorzOffset = horizontalScrollBar()->value();
  } else {
    FHorzOffset = dvEnsureRange(value, 0, MaxHorzOffset());
  }
  Repaint();
}

void TdvCustomScrollableControl::UpdateVertScrollBar() {
  if (Busy()) return;
  const int32_t maxTop = MaxTopIndex();
  FTopIndex = dvEnsureRange(FTopIndex, 0, maxTop);
  if (HasVertBar()) {
    QScrollBar* bar = verticalScrollBar();
    const QSignalBlocker block(bar);
    bar->setRange(0, maxTop);
    bar->setPageStep(std::max(GetPageItems(), 1));
    bar->setValue(FTopIndex);
    bar->setEnabled(maxTop > 0);
    FTopIndex = bar->value();
  }
  if (OnScroll) OnScroll(this, 1);
}

void TdvCustomScrollableControl::UpdateHorzScrollBar() {
  if (Busy()) return;
  const int32_t maxOffset = MaxHorzOffset();
  FHorzOffset = dvEnsureRange(FHorzOffset, 0, maxOffset);
  if (HasHorzBar()) {
    QScrollBar* bar = horizontalScrollBar();
    const QSignalBlocker block(bar);
    bar->setRange(0, maxOffset);
    bar->setPageStep(std::max(ClientWidth(), 1));
    bar->setValue(FHorzOffset);
    bar->setEnabled(maxOffset > 0);
    FHorzOffset = bar->value();
  }
  if (OnScroll) OnScroll(this, 0);
}

void TdvCustomScrollableControl::scrollContentsBy(int, int) {
  // The bars' signals are blocked while this control sets them, so a value
  // change arriving here came from elsewhere (a style's own handling).
  if (HasVertBar() && verticalScrollBar()->value() != FTopIndex) {
    FTopIndex = verticalScrollBar()->value();
    UpdateVertScrollBar();
  }
  if (HasHorzBar() && horizontalScrollBar()->value() != FHorzOffset) {
    FHorzOffset = horizontalScrollBar()->value();
    UpdateHorzScrollBar();
  }
  Repaint();
}

void TdvCustomScrollableControl::ScrollInView() {
  if (FCreating) return;
  const int32_t page = GetPageItems();
  const int32_t top = TopIndex();
  if (FItemIndex < top) {
    FTopIndex = FItemIndex;
  } else if (FItemIndex > top + page - 1) {
    FTopIndex = dvEnsureRange(FItemIndex - (page - 1), 0, GetItemCount());
  } else {
    FTopIndex = top;
  }
  if (FTopIndex < 0) {
    // Only an empty list gets here; it keeps having no current item.
    FTopIndex = 0;
    FItemIndex = GetItemCount() > 0 ? 0 : -1;
  }
}

void TdvCustomScrollableControl::ExtendSelection(int32_t oldIndex, int32_t oldStart, int32_t oldEnd) {
  const int32_t anchor = oldIndex == oldStart ? oldEnd : oldStart;
  FSelStart = std::min(anchor, FItemIndex);
  FSelEnd = std::max(anchor, FItemIndex);
}

void TdvCustomScrollableControl::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers shift = ShiftState(event);
  const int32_t page = GetPageItems();
  const int32_t oldIndex = FItemIndex;
  switch (event->key()) {
    case Qt::Key_PageUp:
      FItemIndex = FItemIndex - (page - 1);
      break;
    case Qt::Key_PageDown:
      FItemIndex = FItemIndex + (page - 1);
      break;
    case Qt::Key_End:
      FItemIndex = GetItemCount() - 1;
      break;
    case Qt::Key_Home:
      FItemIndex = 0;
      break;
    case Qt::Key_Left:
      if (shift == Qt::NoModifier) FHorzOffset = HorzOffset() - 1;
      if (shift == Qt::ControlModifier) FHorzOffset = 0;
      break;
    case Qt::Key_Right:
      if (shift == Qt::NoModifier) FHorzOffset = HorzOffset() + 1;
      if (shift == Qt::ControlModifier) FHorzOffset = GetContentWidth() - ClientWidth();
      break;
    case Qt::Key_Up:
      FItemIndex = FItemIndex - 1;
      break;
    case Qt::Key_Down:
      FItemIndex = FItemIndex + 1;
      break;
    default:
      event->ignore();
      return;
  }
  const int32_t count = GetItemCount();
  FItemIndex = count == 0 ? -1 : dvEnsureRange(FItemIndex, 0, count - 1);
  if (shift == Qt::ShiftModifier && FMultiSelect)
    ExtendSelection(oldIndex, FSelStart, FSelEnd);
  else
    FSelStart = FSelEnd = FItemIndex;
  ScrollInView();
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
  Repaint();
  event->accept();
}

int32_t TdvCustomScrollableControl::ItemAtY(int y) const {
  const int32_t count = GetItemCount();
  if (count == 0) return -1;
  return dvEnsureRange(y / GetItemHeight() + TopIndex(), 0, count - 1);
}

void TdvCustomScrollableControl::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QAbstractScrollArea::mousePressEvent(event);
    return;
  }
  if (focusPolicy() & Qt::ClickFocus) setFocus(Qt::MouseFocusReason);
  const int32_t itemHeight = GetItemHeight();
  if (itemHeight <= 0) return;
  int y = static_cast<int>(event->position().y());
  // Above or below the client area counts as one item beyond it, so a click
  // on the border steps the list by one.
  if (y < 0) y = -itemHeight;
  if (y > ClientHeight()) y = ClientHeight() + itemHeight;
  const int32_t oldIndex = FItemIndex;
  FItemIndex = ItemAtY(y);
  if ((ShiftState(event) & Qt::ShiftModifier) && FMultiSelect)
    ExtendSelection(oldIndex, FSelStart, FSelEnd);
  else
    FSelStart = FSelEnd = FItemIndex;
  if (FItemIndex != oldIndex) {
    ScrollInView();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
  }
  Repaint();
}

void TdvCustomScrollableControl::mouseDoubleClickEvent(QMouseEvent* event) {
  // The second press of a double click selects like any other press.
  mousePressEvent(event);
}

void TdvCustomScrollableControl::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) || !hasFocus() || GetItemHeight() <= 0) return;
  const int32_t oldIndex = FItemIndex;
  FItemIndex = ItemAtY(static_cast<int>(event->position().y()));
  if (FMultiSelect)
    ExtendSelection(oldIndex, FSelStart, FSelEnd);
  else
    FSelStart = FSelEnd = FItemIndex;
  if (FItemIndex != oldIndex) {
    ScrollInView();
    UpdateVertScrollBar();
    UpdateHorzScrollBar();
    viewport()->repaint();
  } else {
    Repaint();
  }
}

void TdvCustomScrollableControl::mouseReleaseEvent(QMouseEvent* event) {
  // The press already did the work; the release is this control's too.
  event->setAccepted(event->button() == Qt::LeftButton);
}

void TdvCustomScrollableControl::wheelEvent(QWheelEvent* event) {
  // Fine-grained wheels send fractions of a notch; they add up to whole
  // notches instead of being lost one by one.
  FWheelRest += event->angleDelta().y();
  const int32_t notches = FWheelRest / kWheelNotch;
  FWheelRest -= notches * kWheelNotch;
  SetTopIndex(TopIndex() - notches);
  event->accept();
}

void TdvCustomScrollableControl::resizeEvent(QResizeEvent* event) {
  QAbstractScrollArea::resizeEvent(event);
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
}

void TdvCustomScrollableControl::focusInEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusInEvent(event);
  Repaint();
}

void TdvCustomScrollableControl::focusOutEvent(QFocusEvent* event) {
  QAbstractScrollArea::focusOutEvent(event);
  Repaint();
}

void TdvCustomScrollableControl::ScrollRequest(int32_t scrollBar, TScrollCode code, int32_t position) {
  if (scrollBar == 1) {
    const int32_t top = TopIndex();
    const int32_t page = GetPageItems();
    switch (code) {
      case TScrollCode::scLineUp:
        SetTopIndex(top - 1);
        break;
      case TScrollCode::scLineDown:
        SetTopIndex(top + 1);
        break;
      case TScrollCode::scPageUp:
        SetTopIndex(top - page);
        break;
      case TScrollCode::scPageDown:
        SetTopIndex(top + page);
        break;
      case TScrollCode::scPosition:
      case TScrollCode::scTrack:
        SetTopIndex(position);
        break;
      case TScrollCode::scTop:
        SetTopIndex(0);
        break;
      case TScrollCode::scBottom:
        SetTopIndex(GetItemCount() - page);
        break;
      case TScrollCode::scEndScroll:
        break;
    }
  } else {
    const int32_t offset = HorzOffset();
    const int32_t halfPage = (GetContentWidth() - ClientWidth()) / 2;
    switch (code) {
      case TScrollCode::scLineUp:
        FHorzOffset = offset - GetHorzStep();
        break;
      case TScrollCode::scLineDown:
        FHorzOffset = offset + GetHorzStep();
        break;
      case TScrollCode::scPageUp:
        FHorzOffset = offset - halfPage;
        break;
      case TScrollCode::scPageDown:
        FHorzOffset = offset + halfPage;
        break;
      case TScrollCode::scPosition:
      case TScrollCode::scTrack:
        FHorzOffset = position;
        break;
      case TScrollCode::scTop:
        FHorzOffset = 0;
        break;
      case TScrollCode::scBottom:
        FHorzOffset = GetContentWidth() - ClientWidth();
        break;
      case TScrollCode::scEndScroll:
        break;
    }
    UpdateHorzScrollBar();
  }
  Repaint();
}

void TdvCustomScrollableControl::BarAction(QScrollBar* bar, int32_t scrollBar, int action) {
  TScrollCode code;
  if (!dvScrollCodeFromAction(action, code)) return;
  // The whole position, not a 16-bit part of it: results have more rows
  // than 65535.
  ScrollRequest(scrollBar, code, bar->sliderPosition());
}

void TdvCustomScrollableControl::SetShowFocusRect(bool value) {
  if (StoreChanged(FShowFocusRect, value)) Repaint();
}

void TdvCustomScrollableControl::SetHideSelection(bool value) {
  if (StoreChanged(FHideSelection, value)) Repaint();
}

void TdvCustomScrollableControl::SetMultiSelect(bool value) {
  if (!StoreChanged(FMultiSelect, value)) return;
  if (!FMultiSelect) FSelStart = FSelEnd = FItemIndex;
  Repaint();
}

void TdvCustomScrollableControl::SetScrollBars(TScrollStyle value) {
  if (!StoreChanged(FScrollBars, value)) return;
  setVerticalScrollBarPolicy(HasVertBar() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  setHorizontalScrollBarPolicy(HasHorzBar() ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
  UpdateVertScrollBar();
  UpdateHorzScrollBar();
  Repaint();
}

void TdvCustomScrollableControl::SetBorderStyle(TBorderStyle value) {
  if (!StoreChanged(FBorderStyle, value)) return;
  setFrameStyle(value == TBorderStyle::bsSingle ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
  Repaint();
}
