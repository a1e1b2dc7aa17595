#include "app/CopyCommand.h"

#include "compare/ComparisonSession.h"
#include "document/QuillcrafterDoc.h"

namespace app {

std::unique_ptr<TQCTopic> TCopyCommand::Snapshot(const TQCTopic& topic) {
  auto copy = std::make_unique<TQCTopic>();
  copy->Assign(topic);
  return copy;
}

TCopyCommand::TCopyCommand(TComparisonSession& session, TQCTopic& target, std::unique_ptr<TQCTopic> before,
                           bool intoLatest, const QString& text)
    : QUndoCommand(text),
      FSession(session),
      FTarget(&target),
      FBefore(std::move(before)),
      FAfter(Snapshot(target)),
      FIntoLatest(intoLatest) {}

TCopyCommand::TCopyCommand(TComparisonSession& session, TQCTopic& added, bool intoLatest, const QString& text)
    : QUndoCommand(text), FSession(session), FTarget(&added), FIntoLatest(intoLatest), FAdded(true) {}

TCopyCommand::~TCopyCommand() = default;

void TCopyCommand::undo() {
  if (!FAdded) {
    Put(*FBefore);
    return;
  }
  try {
    FRemoved = FSession.RemoveTopic(*FTarget);
  } catch (...) {
    FError = std::current_exception();
  }
}

void TCopyCommand::redo() {
  // Pushed after the copy itself ran: the first redo is the copy.
  if (FDone) {
    FDone = false;
    return;
  }
  if (!FAdded) {
    Put(*FAfter);
    return;
  }
  try {
    FTarget = FSession.RestoreTopic(std::move(FRemoved));
  } catch (...) {
    FError = std::current_exception();
  }
}

void TCopyCommand::Put(const TQCTopic& content) {
  try {
    // Whole states go back and forth, also for a text-only copy: it changed
    // nothing else, so the result is the same.
    FSession.AssignTopic(*FTarget, content, false);
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
