#pragma once
// The window of a three-way merge: every topic of the merge with its action
// and state, ours and theirs of the selected one side by side with their line
// difference (the base one key away), the decisions of the topic, and the
// merged result below. Each choice is one step to undo; Save writes the
// merged file; the exit status tells a version-control tool whether the file
// was saved with no conflict left.

#include <QAbstractTableModel>
#include <QWidget>
#include <array>
#include <memory>
#include <vector>

#include "app/FileDialogs.h"
#include "merge/MergeChoice.h"

class QAction;
class QLabel;
class QToolButton;
class QTreeView;
class QTreeWidget;
class QUndoStack;
class TdvDiffEngine;
class TdvDiffViewer;
class TQuillcrafterDoc;
class TRichEdit;

namespace app {

class TCaptionGroupBox;

/// The classes a merge row falls in, as the switches above the list show them.
enum class TMergeClass { Kept, Ours, Theirs, Merged, Added, Deleted, Conflict, Count };
TMergeClass MergeClassOf(TMergeAction action);

/// The merge's rows as a list: topic, ID, action, state; only the rows
/// whose class is switched on.
class TMergeListModel : public QAbstractTableModel {
  Q_OBJECT
 public:
  explicit TMergeListModel(QObject* parent = nullptr);

  /// The plan and its rows; the model shows them until the next Reset.
  void Reset(const TMergePlan* plan, const std::vector<TMergeRow>* rows);
  void SetClassShown(TMergeClass mergeClass, bool shown);
  bool ClassShown(TMergeClass mergeClass) const { return FShown[static_cast<size_t>(mergeClass)]; }
  /// The plan's row shown at list row Index, and back (-1 when not shown).
  int RowAt(int index) const;
  int IndexOf(int row) const;
  /// A row of the plan changed: its line is repainted.
  void RowChanged(int row);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  void Refilter();

  const TMergePlan* FPlan = nullptr;
  const std::vector<TMergeRow>* FRows = nullptr;
  std::vector<int> FVisible;
  std::vector<int> FIndexOfRow;
  std::array<bool, static_cast<size_t>(TMergeClass::Count)> FShown{};
};

/// The merge window's commands.
enum class TMergeCommand {
  Save,
  Close,
  Undo,
  Redo,
  TopicOurs,
  TopicTheirs,
  TopicBase,
  TopicBoth,
  ChangeOurs,
  ChangeTheirs,
  ChangeBase,
  ChangeOursThenTheirs,
  ChangeTheirsThenOurs,
  AllOurs,
  AllTheirs,
  NextConflict,
  PreviousConflict,
  ShowBase,
  Count
};

class TfrmMerge : public QWidget {
  Q_OBJECT
 public:
  explicit TfrmMerge(QWidget* parent = nullptr);
  ~TfrmMerge() override;

  /// Reads the three files and plans their merge, to be saved as Out. A Base
  /// of /dev/null (or an empty file) merges two-way against an empty project.
  void OpenMerge(const QString& base, const QString& ours, const QString& theirs, const QString& out);
  /// Asks for the three files and the merged one in turn; false when one was cancelled.
  bool AskFiles();
  /// File → Merge Three Files...: a merge window of its own, gone when closed, once the files are chosen.
  static TfrmMerge* AskAndShow(QWidget* owner);
  /// The dialogs AskFiles shows: base, ours, theirs, the merged file.
  TFileDialog& Dialog(int index) { return *FDialogs[static_cast<size_t>(index)]; }

  const TMergePlan& Plan() const { return *FPlan; }
  const std::vector<TMergeRow>& Rows() const { return FRows; }
  QAction* Action(TMergeCommand command) const { return FActions[static_cast<size_t>(command)]; }
  QUndoStack& UndoStack() const { return *FUndo; }
  QTreeView& List() const { return *FList; }
  TMergeListModel& Model() const { return *FModel; }
  /// The part that shows the selected topic: base, ours, theirs, their difference, the result.
  QWidget& TopicView() const { return *FTopicView; }
  TRichEdit& ResultText() const { return *FResultText; }
  QString StatusText() const;

  /// The plan's row selected in the list, -1 for none; and the decision the change commands act on.
  int SelectedRow() const { return FSelectedRow; }
  void SelectRow(int row);
  int SelectedDecision() const { return FSelectedDecision; }
  void SelectDecision(int index);

  /// Selects the next (or previous) row with an unresolved conflict, going round; false when none is left.
  bool NextConflict(bool forward);
  /// Picks for the selected change (a field, text block, item or conflicting topic), or for the whole row.
  void Choose(TMergePick pick, bool wholeRow);
  /// Every unresolved conflict takes Pick (ours or theirs), as one step.
  void ChooseAll(TMergePick pick);
  /// Writes the merged file, asking first while conflicts remain; false when cancelled.
  bool Save();
  /// Choices made since the last save.
  bool Modified() const;
  /// 0 when the merged file was saved with no conflict left, 1 otherwise.
  int ExitStatus() const { return FSavedWithoutConflicts ? 0 : 1; }

  /// A choice was carried out or taken back: the rows it touched are shown again.
  void ChoiceApplied(const TMergeChoice& choice, bool forward);

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void CreateCommands();
  void ShowSelected();
  void ShowResult();
  void ShowDecisions();
  void UpdateStatus();
  void UpdateTitle();
  void Push(TMergeChoice choice, const QString& text);
  /// After a choice: the next unresolved change of the row, or the next row that has one.
  void MoveOn();
  template <class F>
  void Handle(F&& handler);

  std::unique_ptr<TQuillcrafterDoc> FBase, FOurs, FTheirs;
  std::unique_ptr<TMergePlan> FPlan;
  std::vector<TMergeRow> FRows;
  std::vector<int> FRowOfDecision;
  QString FOutFile;
  int FSelectedRow = -1;
  int FSelectedDecision = -1;
  int FSavedAt = 0;
  bool FSavedWithoutConflicts = false;
  bool FFilling = false;

  std::array<std::unique_ptr<TFileDialog>, 4> FDialogs;
  std::array<QAction*, static_cast<size_t>(TMergeCommand::Count)> FActions{};
  std::array<QToolButton*, static_cast<size_t>(TMergeClass::Count)> FClassButtons{};
  QUndoStack* FUndo;
  TMergeListModel* FModel;
  QTreeView* FList;
  QWidget* FTopicView;
  TCaptionGroupBox* FBaseGroup;
  TRichEdit* FBaseText;
  TRichEdit* FOursText;
  TRichEdit* FTheirsText;
  TRichEdit* FResultText;
  std::unique_ptr<TdvDiffEngine> FEngine;
  TdvDiffViewer* FViewer;
  QTreeWidget* FDecisions;
  QLabel* FStatus;
};

}  // namespace app
