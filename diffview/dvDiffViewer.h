#pragma once
// The difference viewer: the two aligned results of a line difference
// engine side by side under a header, every row coloured by its kind, both
// panes scrolling and selecting in step, with an optional overview map.

#include <QAbstractScrollArea>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>
#include <vector>

#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffMap.h"
#include "diffview/dvListControl.h"
#include "toolkit/Graphics.h"

#include <functional>

class QFrame;
class QLabel;
class TdvCopyGutter;

/// A row whose two lines are the same text but look different (a word made
/// bold, another font): the viewer draws it in the format colours, with a
/// bar at its left edge and the characters concerned marked, and shows
/// ToolTip over it.
struct TdvRowNote {
  int32_t Row = -1;
  QString ToolTip;
  std::vector<TdvSpan> Spans1;  // bytes of the row's text on each side
  std::vector<TdvSpan> Spans2;
};

/// What every difference viewer has: the engine it shows (registered with
/// it), the map it feeds and the row colours.
class TdvCustomDiffViewer : public QAbstractScrollArea, public TdvDiffEngineViewer {
  Q_OBJECT

 public:
  explicit TdvCustomDiffViewer(QWidget* parent = nullptr);
  ~TdvCustomDiffViewer() override;

  /// The engine this viewer is registered with (the latest, should it have
  /// been registered with more than one directly); nullptr for none.
  TdvCustomDiffEngine* DiffEngine() const;
  /// Unregisters from every engine and registers with the new one; the
  /// viewer is refreshed by the engine's next run.
  void SetDiffEngine(TdvCustomDiffEngine* value);
  TdvDiffMap* DiffMap() const { return FDiffMap; }
  /// Feeds the map the current data and takes over its click.
  virtual void SetDiffMap(TdvDiffMap* value);

  TColor EmptyBGColor() const { return FEmptyBGColor; }
  void SetEmptyBGColor(TColor value);
  TColor DiffBGColor() const { return FDiffBGColor; }
  void SetDiffBGColor(TColor value);
  /// Behind what changed inside a changed line (the spans of its row).
  TColor WordBGColor() const { return FWordBGColor; }
  void SetWordBGColor(TColor value);
  /// Behind a row whose formatting alone changed, behind the characters
  /// concerned, and the bar at its left edge.
  TColor FormatBGColor() const { return FFormatBGColor; }
  void SetFormatBGColor(TColor value);
  TColor FormatSpanColor() const { return FFormatSpanColor; }
  void SetFormatSpanColor(TColor value);
  TColor FormatMarkColor() const { return FFormatMarkColor; }
  void SetFormatMarkColor(TColor value);
  /// True: every differing row uses ChangedTextColor, whatever its kind.
  bool SimpleDiffViewer() const { return FSimpleDiffViewer; }
  void SetSimpleDiffViewer(bool value);
  TColor InsertedTextColor() const { return FInsertedTextColor; }
  void SetInsertedTextColor(TColor value);
  TColor DeletedTextColor() const { return FDeletedTextColor; }
  void SetDeletedTextColor(TColor value);
  TColor ChangedTextColor() const { return FChangedTextColor; }
  void SetChangedTextColor(TColor value);

  virtual std::string Src1Label() const { return "Source 1"; }
  virtual std::string Src2Label() const { return "Source 2"; }
  virtual void SetSrc1Label(const std::string&) {}
  virtual void SetSrc2Label(const std::string&) {}

  /// The map was clicked on the given row.
  virtual void MapClick(TdvDiffMap* sender, int32_t indicatorPos) = 0;
  /// The engine finished a run; the base hands the map its new data.
  void DiffChanged() override;

  /// One byte per result row for the map: 1 same, 2 deleted, 3 for a
  /// filler (it always faces an inserted line), 4 changed.
  std::string MapData() const;

 private:
  QPointer<TdvDiffMap> FDiffMap;
  TColor FEmptyBGColor = clBtnFace;
  TColor FDiffBGColor = clYellow;
  TColor FWordBGColor = RGB(0xF0, 0xB0, 0x00);  // a deeper shade of the changed lines' yellow
  // Violet, a hue no other kind of row uses, in three strengths.
  TColor FFormatBGColor = RGB(0xEC, 0xE4, 0xFA);
  TColor FFormatSpanColor = RGB(0xC9, 0xB4, 0xF0);
  TColor FFormatMarkColor = RGB(0x7A, 0x4E, 0xC8);
  bool FSimpleDiffViewer = true;
  TColor FInsertedTextColor = clBlack;
  TColor FDeletedTextColor = clBlack;
  TColor FChangedTextColor = clBlack;
};

/// The viewer as the main window places it: a header with two captions
/// and two list panes with a 2-pixel separator between them.
class TdvDiffViewer : public TdvCustomDiffViewer {
  Q_OBJECT

 public:
  explicit TdvDiffViewer(QWidget* parent = nullptr);
  ~TdvDiffViewer() override;

  std::string Src1Label() const override;
  std::string Src2Label() const override;
  void SetSrc1Label(const std::string& value) override;
  void SetSrc2Label(const std::string& value) override;
  void SetDiffMap(TdvDiffMap* value) override;
  void MapClick(TdvDiffMap* sender, int32_t indicatorPos) override;
  void DiffChanged() override;

  /// True: each pane scrolls sideways by itself with its own bar.
  bool IndependantHorzControl() const { return FIndependantHorzControl; }
  void SetIndependantHorzControl(bool value);
  /// The rows whose formatting alone changed, in ascending row order. They
  /// belong to the current result: the next one clears them.
  void SetRowNotes(std::vector<TdvRowNote> notes);
  const std::vector<TdvRowNote>& RowNotes() const { return FRowNotes; }
  /// The note of Row, or nullptr.
  const TdvRowNote* RowNote(int32_t row) const;

  /// True: both panes keep the same current item and selection.
  bool LockSelectedIndex() const { return FLockSelectedIndex; }
  void SetLockSelectedIndex(bool value);

  /// The first rows of the change blocks, each with an arrow in the gutter
  /// between the panes for each direction a copy may take (ToLatest: the
  /// left one, pointing at pane 1). No rows: the gutter is the plain
  /// separator again.
  void SetCopyArrows(std::vector<int32_t> firstRows, bool toLatest, bool toHistory);
  const std::vector<int32_t>& CopyArrowRows() const { return FArrowRows; }
  /// Where the arrow of block Row toward one side is, in viewer coordinates
  /// (empty while that row is out of view or has no such arrow).
  QRect CopyArrowRect(int32_t row, bool toLatest) const;
  /// An arrow was clicked: copy the block that starts at Row.
  std::function<void(int32_t row, bool toLatest)> OnCopyArrow;

  TdvListControl* Pane1() const { return FPane1; }
  TdvListControl* Pane2() const { return FPane2; }
  QLabel* Caption1() const { return FCaption1; }
  QLabel* Caption2() const { return FCaption2; }
  int ClientWidth() const;
  int HeaderHeight() const;

  static constexpr int kSeparatorWidth = 2;
  /// The separator's width while it carries copy arrows.
  int GutterWidth() const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void scrollContentsBy(int dx, int dy) override;

 private:
  TdvListControl* CreatePane(const char* name);
  void FormatDrawing(TdvListControl* sender, TdvCanvas& canvas, bool selected, std::string& str);
  /// Points the canvas at the spans of a changed row about to be drawn.
  void MarkChanges(TdvListControl* sender, TdvCanvas& canvas, const std::string& str) const;
  /// Marks a row whose formatting alone changed; false when it has no note.
  bool MarkFormatting(TdvListControl* sender, TdvCanvas& canvas) const;
  void PaneScroll(TdvCustomScrollableControl* sender, int32_t scrollBar);
  void BarAction(int32_t scrollBar, int action);
  void LayoutChildren();
  void UpdateVertBar();
  void UpdateHorzBar();
  void UpdateScrollBars();
  /// Both panes get the wider of their two content widths.
  void ShareContentWidth();

  // Children are owned by the viewer's viewport, the Qt way.
  TdvListControl* FPane1 = nullptr;
  TdvListControl* FPane2 = nullptr;
  QFrame* FSeparator = nullptr;
  TdvCopyGutter* FGutter = nullptr;
  std::vector<int32_t> FArrowRows;
  bool FArrowsToLatest = false;
  bool FArrowsToHistory = false;
  friend class TdvCopyGutter;
  QFrame* FHeader = nullptr;
  QLabel* FCaption1 = nullptr;
  QLabel* FCaption2 = nullptr;
  std::vector<TdvRowNote> FRowNotes;
  bool FSyncing = false;  // guard: a pane following the other does not lead it
  bool FUpdatingBars = false;
  bool FIndependantHorzControl = false;
  bool FLockSelectedIndex = true;
};

/// The strip between the viewer's panes that carries the copy arrows of its
/// change blocks, level with each block's first row.
class TdvCopyGutter : public QWidget {
 public:
  TdvCopyGutter(TdvDiffViewer* viewer, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  TdvDiffViewer* FViewer;
  QPoint FHover{-1, -1};
};
