#pragma once
// The selected pair: the two topic texts under captions naming their files,
// the copy buttons between them, the strip of fields they differ in, and the
// line difference below, with the search text marked in both texts and the
// texts scrolling with the difference.

#include <QFrame>
#include <array>
#include <vector>

#include "app/RichEditBridge.h"
#include "compare/ComparisonSession.h"
#include "compare/FormatDifferences.h"
#include "diff/dvDiffResult.h"

class QAction;
class QLabel;
class QToolButton;
class TdvDiffViewer;
class TRichEdit;

namespace app {

class TCaptionGroupBox;
class TSplitter;

class TPairView : public QFrame {
  Q_OBJECT
 public:
  TPairView(TComparisonSession& session, QWidget* parent);
  ~TPairView() override;

  TSplitter& TextsSplitter() const { return *FSplitter; }
  TdvDiffViewer& Viewer() const { return *FViewer; }
  TRichEdit& LatestText() const { return *FLatestText; }
  TRichEdit& HistoryText() const { return *FHistoryText; }
  /// The panel between the texts that holds the copy buttons.
  QFrame& ButtonPanel() const { return *FButtonPanel; }
  /// Button 0 copies the whole topic to Latest, 1 its text; 2 the text to History, 3 the whole topic.
  QToolButton& CopyButton(int index) const { return *FCopyButtons[static_cast<size_t>(index)]; }

  /// The texts follow the difference as it scrolls.
  bool ScrollTogether() const { return FScrollTogether; }
  void SetScrollTogether(bool value) { FScrollTogether = value; }

  /// Shows the session's selected pair: both texts, the viewer's labels and the strip.
  void ShowSelectedPair();
  /// Captions each side with its file's name, marked while it has unsaved changes.
  void ShowFileNames();

  /// Finds the search text in both texts and marks it there; no place is current.
  void FindInTexts(const QString& text);
  /// The places found in both texts.
  int MatchCount() const { return static_cast<int>(FLatestMatches.size() + FHistoryMatches.size()); }
  /// Makes the next (or previous) place current; false when that leaves the texts shown.
  bool StepMatch(bool forward);
  /// Makes the first (or, going back, the last) place current.
  void EnterMatches(bool forward);

  /// Shows the next (or previous) change block; false when there is none.
  bool NextChange(bool forward);
  /// Shows the first (or, going back, the last) change block; false when there is none.
  bool EnterChanges(bool forward);
  /// The rows a copy of one change takes: the selected rows when several
  /// are, otherwise the change block holding the current row (an empty run
  /// when it is on an equal row).
  TdvHunk CopyRows() const;
  /// Makes Row (clamped) the current row, keeping it in view.
  void ShowRow(int row);
  /// The difference's current row (-1: none).
  int CurrentRow() const;
  /// Sides no copy may change: the gutter shows no arrow toward them.
  void SetLockedSides(bool latest, bool history);
  /// The gutter's arrows for the change blocks of the pair shown.
  void ShowCopyArrows();

 private:
  void ShowFormatChanges(const std::vector<TRowFormatChange>& changes);
  void MarkSearchMatches();
  /// Scrolls both texts so that the difference's top row stands level with them.
  void ScrollTextsToRow(int row);
  bool ShowChangeRow(int row);

  TComparisonSession& FSession;
  QLabel* FDifferencesStrip;
  TSplitter* FSplitter;
  TCaptionGroupBox* FLatestGroup;
  TCaptionGroupBox* FHistoryGroup;
  TRichEdit* FLatestText = nullptr;
  TRichEdit* FHistoryText = nullptr;
  QFrame* FButtonPanel;
  std::array<QToolButton*, 4> FCopyButtons{};
  TdvDiffViewer* FViewer;
  bool FScrollTogether = true;
  bool FLatestLocked = false;
  bool FHistoryLocked = false;
  /// Where the search text stands in each text, and which place is current
  /// (Latest's places first, then History's; -1: none).
  std::vector<TTextSpan> FLatestMatches;
  std::vector<TTextSpan> FHistoryMatches;
  int FMatchAt = -1;
};

}  // namespace app
