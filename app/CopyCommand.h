#pragma once
// One topic edit as a step that can be undone: a thin wrapper over the
// edit value, which carries itself out and back through the comparison
// session.

#include <QUndoCommand>
#include <exception>
#include <memory>

#include "compare/ComparisonSession.h"
#include "compare/TopicEdit.h"

class TQCTopic;

namespace app {

class TCopyCommand : public QUndoCommand {
 public:
  /// Edit, already carried out by the caller. The stack's first redo does nothing.
  TCopyCommand(TComparisonSession& session, TTopicEdit edit, const QString& text);
  /// A copy into Target that the caller has just carried out; Before is
  /// Target as it was.
  TCopyCommand(TComparisonSession& session, TQCTopic& target, std::unique_ptr<TQCTopic> before,
               bool intoLatest, const QString& text);
  /// A copy that added Added to a document (a topic only one side had):
  /// undo takes it out again, redo puts the same topic back.
  TCopyCommand(TComparisonSession& session, TQCTopic& added, bool intoLatest, const QString& text);
  ~TCopyCommand() override;

  /// Target's content as it is now, to keep as a step's Before.
  static std::unique_ptr<TQCTopic> Snapshot(const TQCTopic& topic);

  void undo() override;
  void redo() override;

  /// The document the step changes.
  bool IntoLatest() const { return FEdit.IntoLatest(); }
  const TTopicEdit& Edit() const { return FEdit; }
  /// Moves the edit out, in the state it is in, for a step that takes its place.
  TTopicEdit TakeEdit() { return std::move(FEdit); }
  /// The error the last undo or redo met, or null; the stack cannot carry
  /// exceptions, so its caller raises it afterwards.
  std::exception_ptr TakeError();

 private:
  TComparisonSession& FSession;
  TTopicEdit FEdit;
  bool FDone = true;
  std::exception_ptr FError;
};

}  // namespace app
