#pragma once
// The left pane: the match mode, the switches of the classes the list shows
// (each with its count), the search box, the topic list itself, and the
// Open and Save As buttons below it.

#include <QFrame>
#include <array>
#include <functional>
#include <vector>

#include "compare/ComparisonSession.h"
#include "document/TopicComparison.h"

class QActionGroup;
class QComboBox;
class QMenu;
class QPainter;
class QPushButton;
class QToolButton;

namespace app {

class TListBox;
class TSearchBox;

class TTopicListPane : public QFrame {
  Q_OBJECT
 public:
  /// Handle runs a handler of the window (an error ends it and is shown).
  using THandle = std::function<void(const std::function<void()>& handler)>;
  TTopicListPane(TComparisonSession& session, THandle handle, QWidget* parent);
  ~TTopicListPane() override;

  QComboBox& MatchBox() const { return *FMatch; }
  TListBox& List() const { return *FList; }
  TSearchBox& SearchBox() const { return *FSearchBox; }
  QPushButton& OpenButton() const { return *FOpenButton; }
  QPushButton& SaveButton() const { return *FSaveButton; }
  /// The class switches, one per class.
  const std::array<QToolButton*, TopicComparisonCount>& FilterButtons() const { return FFilterButtons; }

  /// Rebuilds the rows from the entries the filter lets through, keeping the
  /// selection and the topic at the top where they still are.
  void ShowEntries();
  /// Rebuilds the rows when a change of classes changed what the filter lets through.
  void FollowFilter();
  /// Redraws entry Index's row, or every row (-1).
  void RedrawEntry(int index);
  /// Looks again for doubtful pairings (after the classes changed); the
  /// rows concerned carry a mark and say why in their tooltip.
  void UpdateDoubts();
  const TPairingDoubts& Doubts() const { return FDoubts; }
  /// Entry Index as its row reads: "Printing (7)", with its partner's ID
  /// where that differs, "Printing (7 ↔ 12)".
  QString Caption(int index) const;
  /// The counts on the class switches and their states.
  void UpdateFilterButtons();
  /// Lists the match modes in Menu; the one the drop-down shows is checked.
  void AddMatchModes(QMenu& menu);
  /// Selects entry Index's row (none when it is not listed) without picking it.
  void ShowSelected(int index);

  /// The entry row Row shows, or -1; the row that shows entry Index, or -1.
  int EntryOfRow(int row) const;
  int RowOfEntry(int index) const;
  /// The entry of the selected row, or -1.
  int SelectedEntry() const;
  bool Empty() const { return FShownEntries.empty(); }

  /// The search box's text changed; the list already follows it.
  std::function<void()> OnSearchChanged;
  /// Enter (Shift+Enter) in the search box.
  std::function<void(bool forward)> OnSearchStep;

 private:
  void FilterButtonClick(size_t kind);
  void DrawItem(TListBox* list, int index, QPainter& canvas, const QRect& rect, bool selected);

  TComparisonSession& FSession;
  QComboBox* FMatch;
  QActionGroup* FMatchModes = nullptr;
  std::array<QToolButton*, TopicComparisonCount> FFilterButtons{};
  TSearchBox* FSearchBox;
  TListBox* FList;
  QPushButton* FOpenButton;
  QPushButton* FSaveButton;
  /// The entries the list shows, row by row, as the filter listed them when
  /// the rows were made: a click picks the entry its row showed.
  std::vector<int> FShownEntries;
  /// The topic at the top of the list (not dereferenced: it may be gone).
  const TQCTopic* FTopTopic = nullptr;
  TPairingDoubts FDoubts;
};

/// Each class in words, translated.
QString ClassWord(TTopicComparison kind);

}  // namespace app
