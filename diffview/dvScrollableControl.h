#pragma once
// The scrolling half of the owner-drawn list: current item, selected range,
// vertical position in items and horizontal position in pixels, keyboard,
// mouse, wheel and scroll-bar handling. It knows nothing of the items except
// through the few queries a subclass overrides.

#include <QAbstractScrollArea>
#include <cstdint>
#include <functional>

#include "toolkit/Controls.h"

class QScrollBar;

/// Whether the control draws a border.
enum class TBorderStyle { bsNone, bsSingle };

/// The requests a scroll bar makes (also forwarded by a partner control).
enum class TScrollCode {
  scLineUp,
  scLineDown,
  scPageUp,
  scPageDown,
  scPosition,
  scTrack,
  scTop,
  scBottom,
  scEndScroll
};

/// The request a Qt scroll-bar action stands for; false for an action
/// that asks for nothing.
bool dvScrollCodeFromAction(int sliderAction, TScrollCode& code);

class TdvCustomScrollableControl;

/// Told after every move of the position or of the current item;
/// scrollBar is 0 for horizontal, 1 for vertical.
using TScrollEvent = std::function<void(TdvCustomScrollableControl* sender, int32_t scrollBar)>;

/// A self-painting, focusable control that scrolls by whole items
/// vertically and by pixels horizontally.
class TdvCustomScrollableControl : public QAbstractScrollArea {
  Q_OBJECT

 public:
  explicit TdvCustomScrollableControl(QWidget* parent = nullptr);
  ~TdvCustomScrollableControl() override;

  int32_t ItemIndex() const { return FItemIndex; }
  /// Ignored without items; otherwise the clamped item becomes current and
  /// the whole selection, and is scrolled into view.
  void SetItemIndex(int32_t value);

  /// The first visible item (the vertical bar's position when there is one).
  int32_t TopIndex() const;
  /// The plain setter: clamps to 0 ... MaxTopIndex.
  void SetTopIndex(int32_t value);
  /// The scrolling setter: goes through the vertical bar when there is one.
  void ScrollTopIndex(int32_t value);

  int32_t HorzOffset() const;
  void SetHorzOffset(int32_t value);

  int32_t SelStart() const { return FSelStart; }
  int32_t SelEnd() const { return FSelEnd; }
  int32_t SelLength() const { return FSelEnd - FSelStart; }
  /// Makes the range SelStart ... SelStart + value (one item without
  /// MultiSelect); the far end becomes the current item.
  void SetSelLength(int32_t value);

  int32_t MaxTopIndex() const;
  int32_t MaxHorzOffset() const;

  bool ShowFocusRect() const { return FShowFocusRect; }
  void SetShowFocusRect(bool value);
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  bool MultiSelect() const { return FMultiSelect; }
  /// Turning it off collapses the range to the current item.
  void SetMultiSelect(bool value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  TBorderStyle BorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TBorderStyle value);

  /// Whole items that fit into the client height.
  int32_t GetPageItems() const;
  int ClientWidth() const;
  int ClientHeight() const;

  /// A scroll-bar request as if made on this control's own bar
  /// (vertical: 1, horizontal: 0); position is used by scPosition/scTrack.
  void ScrollRequest(int32_t scrollBar, TScrollCode code, int32_t position);

  void UpdateVertScrollBar();
  void UpdateHorzScrollBar();

  TScrollEvent OnScroll;

 protected:
  virtual int32_t GetContentWidth() { return 0; }
  virtual int32_t GetItemCount() const { return 0; }
  virtual int32_t GetItemHeight() const { return 0; }
  virtual int32_t GetHorzStep() const { return 0; }

  /// Brings the current item into the visible page.
  void ScrollInView();
  bool HasVertBar() const;
  bool HasHorzBar() const;
  /// True while constructing or destroying: no scroll-bar updates then.
  bool Busy() const { return FCreating || FDestroying; }
  /// Turns every later scroll-bar update and notification off; a subclass
  /// calls it first thing in its destructor.
  void BeginDestroy() { FDestroying = true; }

  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

  int32_t FItemIndex = -1;
  int32_t FTopIndex = 0;
  int32_t FHorzOffset = 0;
  int32_t FSelStart = -1;
  int32_t FSelEnd = -1;

 private:
  void BarAction(QScrollBar* bar, int32_t scrollBar, int action);
  void ExtendSelection(int32_t oldIndex, int32_t oldStart, int32_t oldEnd);
  /// The current item for a mouse position in the viewport.
  int32_t ItemAtY(int y) const;
  void Repaint();

  bool FShowFocusRect = true;
  bool FHideSelection = false;
  bool FMultiSelect = false;
  TScrollStyle FScrollBars = TScrollStyle::ssNone;
  TBorderStyle FBorderStyle = TBorderStyle::bsNone;
  bool FCreating = true;
  bool FDestroying = false;
  int32_t FWheelRest = 0;  // wheel delta short of a whole notch
};
