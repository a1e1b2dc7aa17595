#pragma once
// The owner-drawn list of text lines on top of the scrollable control: it
// holds the items, measures them and paints the rows in view, asking an
// optional handler how to colour each one.

#include <QPainter>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"
#include "diffview/dvScrollableControl.h"
#include "toolkit/Classes.h"
#include "toolkit/Graphics.h"

/// What a row-drawing handler may change before the row is painted: the
/// brush (row background) and the font colour. The painter is the one the
/// row is drawn with, for handlers that want to draw more.
struct TdvCanvas {
  QPainter* Painter = nullptr;
  TColor BrushColor = clWindow;
  TColor FontColor = clWindowText;
  /// Outlines the row in the highlight colour: a current row that keeps its own colours.
  bool Framed = false;
  /// The item being drawn.
  int32_t Index = -1;
  /// Stretches of the text as drawn (bytes, ascending) that get MarkColor
  /// behind them; the list must outlive the row's painting.
  const std::vector<TdvSpan>* Marks = nullptr;
  TColor MarkColor = clWindow;
  /// A bar down the row's left edge in EdgeColor, which stays put when the
  /// text scrolls sideways: a mark for rows of a kind of their own.
  bool Edge = false;
  TColor EdgeColor = clWindowText;
};

class TdvListControl;

/// The widest shaped width of the lines (8-bit text) in the font.
int32_t dvWidestText(const TStrings& lines, const QFont& font);

/// Called for every row in view; str is the text about to be drawn and may
/// be changed by the handler.
using TFormatDrawingEvent =
    std::function<void(TdvListControl* sender, TdvCanvas& canvas, bool selected, std::string& str)>;

/// A single-column list of 8-bit text lines that paints only whole rows.
class TdvListControl : public TdvCustomScrollableControl {
  Q_OBJECT

 public:
  explicit TdvListControl(QWidget* parent = nullptr);
  ~TdvListControl() override;

  /// The owned items; any change puts the current item back to row 0.
  TStrings& Items() { return *FItems; }
  const TStrings& Items() const { return *FItems; }
  /// Copies the given lines into the items.
  void SetItems(const TStrings& value);

  /// Sets the content width from outside (the viewer gives both panes the
  /// same horizontal range); it stays until the items change.
  void SetMaxWidth(int32_t value) { FMaxWidth = value; }
  /// The widest item in pixels, measured once per change of the items.
  int32_t ContentWidth() { return GetContentWidth(); }

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  /// The colour text is drawn in unless a handler or the selection says otherwise.
  TColor FontColor() const { return FFontColor; }
  void SetFontColor(TColor value);

  /// Height of one row: the font's text height.
  int32_t ItemHeight() const { return GetItemHeight(); }

  TFormatDrawingEvent OnFormatDrawing;
  /// The tooltip of item Index, or nothing for none.
  std::function<QString(int32_t index)> OnItemToolTip;

  /// Width of the bar that TdvCanvas::Edge draws.
  static constexpr int kEdgeWidth = 3;

 protected:
  int32_t GetContentWidth() override;
  int32_t GetItemCount() const override { return FItems->Count(); }
  int32_t GetItemHeight() const override;
  int32_t GetHorzStep() const override { return 1; }

  void paintEvent(QPaintEvent* event) override;
  void changeEvent(QEvent* event) override;
  bool viewportEvent(QEvent* event) override;

 private:
  void ItemsChanged();

  std::unique_ptr<TStrings> FItems;
  int32_t FMaxWidth = -1;  // cached content width, -1 until measured
  TColor FColor = clWindow;
  TColor FFontColor = clWindowText;
};
