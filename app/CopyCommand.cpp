#include "app/CopyCommand.h"

#include "document/QuillcrafterDoc.h"

namespace app {

std::unique_ptr<TQCTopic> TCopyCommand::Snapshot(const TQCTopic& topic) {
  auto copy = std::make_unique<TQCTopic>();
  copy->Assign(topic);
  return copy;
}

TCopyCommand::TCopyCommand(TComparisonSession& session, TTopicEdit edit, const QString& text)
    : QUndoCommand(text), FSession(session), FEdit(std::move(edit)) {}

TCopyCommand::TCopyCommand(TComparisonSession& session, TQCTopic& target, std::unique_ptr<TQCTopic> before,
                           bool intoLatest, const QString& text)
    : TCopyCommand(session, TTopicEdit::Replaced(target, std::move(before), intoLatest), text) {}

TCopyCommand::TCopyCommand(TComparisonSession& session, TQCTopic& added, bool intoLatest, const QString& text)
    : TCopyCommand(session, TTopicEdit::Added(added, intoLatest), text) {}

TCopyCommand::~TCopyCommand() = default;

void TCopyCommand::undo() {
  // A step made from an edit already taken back (the stack rebuilt) has nothing to take back.
  if (!FEdit.Applied()) return;
  try {
    FEdit.Revert(FSession);
  } catch (...) {
    FError = std::current_exception();
  }
}

void TCopyCommand::redo() {
  // Pushed after the edit itself ran: the first redo is the edit.
  if (FDone) {
    FDone = false;
    return;
  }
  if (FEdit.Applied()) return;
  try {
    FEdit.Apply(FSession);
  } catch (...) {
    FError = std::current_exception();
  }
}

std::exception_ptr TCopyCommand::TakeError() {
  std::exception_ptr error = FError;
  FError = nullptr;
  return error;
}

}  // namespace app
