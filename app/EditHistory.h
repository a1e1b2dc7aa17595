#pragma once
// The copies made since the files were opened, as steps to undo and redo,
// and what follows from them: which side differs from its file.

#include <QObject>
#include <functional>

#include "compare/ComparisonSession.h"

class QUndoStack;

namespace app {

class TEditHistory : public QObject {
  Q_OBJECT
 public:
  TEditHistory(TComparisonSession& session, QObject* parent = nullptr);
  ~TEditHistory() override;

  QUndoStack& UndoStack() { return *FUndo; }

  /// Carries out a copy where the session allows it and records it as a step.
  void Copy(TCopyKind kind);
  /// Carries Edit out and records it as a step named Text (a copy of one
  /// change, or of some lines).
  void Apply(TTopicEdit edit, const QString& text);
  /// Undoes (redoes) the last step; an error the step met is raised here.
  void Undo();
  void Redo();

  /// Files were opened: the steps point at topics of the documents just
  /// replaced, so they go, and both sides are as their files.
  void Reset();
  /// One side was read again: the steps that touched it go (its topics
  /// are new objects), the other side's steps, state and mark stay.
  void ResetSide(bool latest);
  /// How many steps lie between a side's saved state and the current one
  /// and touch it: its unsaved changes.
  int UnsavedSteps(bool latest) const;
  /// A side was saved: it is as its file in the current state.
  void MarkSaved(bool latest);

  /// After each change of the steps or the saved states, once the documents'
  /// Modified flags follow them.
  std::function<void()> OnModifiedChanged;

 private:
  /// The Modified flags follow the steps between the current state and the saved ones.
  void UpdateModified();

  TComparisonSession& FSession;
  QUndoStack* FUndo;
  /// The undo index at which each side was last saved or opened; -1 when
  /// that state can no longer be reached by undo or redo.
  int FLatestSavedAt = 0;
  int FHistorySavedAt = 0;
};

}  // namespace app
