#pragma once
// One copy between the two documents as a step that can be undone: it keeps
// the content the copy put in and the content it replaced, and puts either
// back through the comparison session.

#include <QUndoCommand>
#include <exception>
#include <memory>

#include "compare/ComparisonSession.h"

class TQCTopic;

namespace app {

class TCopyCommand : public QUndoCommand {
 public:
  /// A copy into Target that the caller has just carried out; Before is
  /// Target as it was. The stack's first redo does nothing.
  TCopyCommand(TComparisonSession& session, TQCTopic& target, std::unique_ptr<TQCTopic> before,
               bool intoLatest, const QString& text);
  ~TCopyCommand() override;

  /// Target's content as it is now, to keep as a step's Before.
  static std::unique_ptr<TQCTopic> Snapshot(const TQCTopic& topic);

  void undo() override;
  void redo() override;

  /// A copy that added Added to a document (a topic only one side had):
  /// undo takes it out again, redo puts the same topic back.
  TCopyCommand(TComparisonSession& session, TQCTopic& added, bool intoLatest, const QString& text);

  /// The document the step changes.
  bool IntoLatest() const { return FIntoLatest; }
  /// The error the last undo or redo met, or null; the stack cannot carry
  /// exceptions, so its caller raises it afterwards.
  std::exception_ptr TakeError();

 private:
  void Put(const TQCTopic& content);

  TComparisonSession& FSession;
  TQCTopic* FTarget;
  TRemovedTopic FRemoved;  // an added topic while it is undone
  std::unique_ptr<TQCTopic> FBefore;
  std::unique_ptr<TQCTopic> FAfter;
  bool FIntoLatest;
  bool FAdded = false;
  bool FDone = true;
  std::exception_ptr FError;
};

}  // namespace app
