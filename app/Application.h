#pragma once
// The application object and its default error handling: an error that
// ends an event handler is shown in a message box and the program goes on.
// The message box can be replaced, so tests see the message instead.

#include <QApplication>
#include <QSettings>
#include <QString>
#include <exception>
#include <functional>
#include <memory>

namespace app {

/// Shows an error message to the user: caption and text.
using TMessageBoxHandler = std::function<void(const QString& caption, const QString& message)>;

/// Replaces the message box (an empty handler restores the real one); returns the previous handler.
TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler);

/// The application's default handler: shows the error's message and returns.
void HandleException(const std::exception& error);
/// The same for an error that is not an exception object of ours.
void HandleUnknownException();

/// Runs one event handler; an error ends the handler and is shown, nothing more.
template <class F>
void RunHandler(F&& handler) {
  try {
    handler();
  } catch (const std::exception& error) {
    HandleException(error);
  } catch (...) {
    HandleUnknownException();
  }
}

/// Shows an error after the event that raised it has ended: for painting,
/// which must neither throw out of a paint event nor open a message box in
/// the middle of one. The same message is not repeated while nothing else
/// went wrong in between, so a part that fails at every repaint reports once.
void ReportLater(std::exception_ptr error);

/// Runs one painting step; an error leaves what the step had drawn and is
/// reported once the paint event is over.
template <class F>
void RunPainter(F&& painter) {
  try {
    painter();
  } catch (...) {
    ReportLater(std::current_exception());
  }
}

/// The answer to "Save changes to NAME?".
enum class TSaveChoice { scSave, scDiscard, scCancel };
using TSaveQuestionHandler = std::function<TSaveChoice(const QString& fileName)>;
/// Replaces the question box (an empty handler restores the real one); returns the previous handler.
TSaveQuestionHandler SetSaveQuestionHandler(TSaveQuestionHandler handler);
/// Asks whether the changes to FileName are saved, discarded, or the step cancelled.
TSaveChoice AskSaveChanges(const QString& fileName);

/// A yes-or-no question to the user, replaceable like the others.
using TYesNoHandler = std::function<bool(const QString& question)>;
TYesNoHandler SetYesNoHandler(TYesNoHandler handler);
bool AskYesNo(const QString& question);

/// The program's remembered settings (window geometry and the like), in
/// the user's configuration folder. Tests redirect it with QSettings::setPath
/// for the INI format and the user scope.
std::unique_ptr<QSettings> OpenSettings();

/// The program's application object. Handlers are wrapped in RunHandler
/// where they are connected; notify() is the last net for an error that
/// escapes any other event, so no error ever ends the program.
class TApplication : public QApplication {
  Q_OBJECT
 public:
  TApplication(int& argc, char** argv);
  bool notify(QObject* receiver, QEvent* event) override;

 private:
  void LoadTranslations();
};

}  // namespace app
