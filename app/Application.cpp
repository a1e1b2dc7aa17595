#include "app/Application.h"

#include <QLibraryInfo>
#include <QLocale>
#include <QMessageBox>
#include <QTimer>
#include <QTranslator>
#include <QWidget>
#include <memory>

#include "app/AppText.h"
#include "app/ButtonImages.h"
#include "app/CoreTexts.h"
#include "toolkit/SysUtils.h"

namespace app {

namespace {

TMessageBoxHandler& CurrentHandler() {
  static TMessageBoxHandler handler;
  return handler;
}

void ShowMessage(const QString& message) {
  QString caption = QCoreApplication::applicationName();
  if (caption.isEmpty()) caption = QStringLiteral("QuillcrafterJourneymanDiff");
  if (const TMessageBoxHandler& handler = CurrentHandler()) {
    handler(caption, message);
    return;
  }
  QMessageBox::critical(QApplication::activeWindow(), caption, message);
}

}  // namespace

TMessageBoxHandler SetMessageBoxHandler(TMessageBoxHandler handler) {
  TMessageBoxHandler previous = std::move(CurrentHandler());
  CurrentHandler() = std::move(handler);
  return previous;
}

void HandleException(const std::exception& error) {
  if (const auto* ours = dynamic_cast<const Exception*>(&error)) {
    ShowMessage(CoreText(ours->Message()));
  } else {
    ShowMessage(MessageToQString(error.what()));
  }
}

void HandleUnknownException() { ShowMessage(QCoreApplication::translate("app", "Unknown error")); }

namespace {

QString MessageOf(const std::exception_ptr& error) {
  try {
    std::rethrow_exception(error);
  } catch (const Exception& ours) {
    return CoreText(ours.Message());
  } catch (const std::exception& other) {
    return MessageToQString(other.what());
  } catch (...) {
    return QCoreApplication::translate("app", "Unknown error");
  }
}

}  // namespace

void ReportLater(std::exception_ptr error) {
  static QString lastReported;
  const QString message = MessageOf(error);
  if (message == lastReported) return;
  lastReported = message;
  QTimer::singleShot(0, qApp, [message] { ShowMessage(message); });
}

namespace {

TSaveQuestionHandler& CurrentSaveQuestion() {
  static TSaveQuestionHandler handler;
  return handler;
}

TYesNoHandler& CurrentYesNo() {
  static TYesNoHandler handler;
  return handler;
}

QString Caption() {
  const QString name = QCoreApplication::applicationName();
  return name.isEmpty() ? QStringLiteral("QuillcrafterJourneymanDiff") : name;
}

}  // namespace

TSaveQuestionHandler SetSaveQuestionHandler(TSaveQuestionHandler handler) {
  TSaveQuestionHandler previous = std::move(CurrentSaveQuestion());
  CurrentSaveQuestion() = std::move(handler);
  return previous;
}

TSaveChoice AskSaveChanges(const QString& fileName) {
  if (const TSaveQuestionHandler& handler = CurrentSaveQuestion()) return handler(fileName);
  const QMessageBox::StandardButton answer =
      QMessageBox::warning(QApplication::activeWindow(), Caption(),
                           QCoreApplication::translate("app", "Save changes to %1?").arg(fileName),
                           QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, QMessageBox::Save);
  if (answer == QMessageBox::Save) return TSaveChoice::scSave;
  if (answer == QMessageBox::Discard) return TSaveChoice::scDiscard;
  return TSaveChoice::scCancel;
}

TYesNoHandler SetYesNoHandler(TYesNoHandler handler) {
  TYesNoHandler previous = std::move(CurrentYesNo());
  CurrentYesNo() = std::move(handler);
  return previous;
}

bool AskYesNo(const QString& question) {
  if (const TYesNoHandler& handler = CurrentYesNo()) return handler(question);
  return QMessageBox::question(QApplication::activeWindow(), Caption(), question,
                               QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes) == QMessageBox::Yes;
}

std::unique_ptr<QSettings> OpenSettings() {
  return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                     QStringLiteral("Quillcrafter"),
                                     QStringLiteral("QuillcrafterJourneymanDiff"));
}

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
  setApplicationName(QStringLiteral("QuillcrafterJourneymanDiff"));
  // The desktop entry's name: lets the desktop tie the windows to its icon.
  setDesktopFileName(QStringLiteral("org.quillcrafter.JourneymanDiff"));
  setWindowIcon(ProgramIcon());
  LoadTranslations();
}

void TApplication::LoadTranslations() {
  // A translation is used where one is installed for the user's language:
  // Qt's own for its dialogs, and the program's beside it (share/<program>/
  // translations next to bin/, or translations/ beside a built program).
  // Without one the texts stay English.
  const QLocale locale;
  auto install = [this, &locale](const QString& name, const QStringList& folders) {
    for (const QString& folder : folders) {
      auto translator = std::make_unique<QTranslator>(this);
      if (translator->load(locale, name, QStringLiteral("_"), folder)) {
        installTranslator(translator.release());
        return;
      }
    }
  };
  install(QStringLiteral("qtbase"), {QLibraryInfo::path(QLibraryInfo::TranslationsPath)});
  const QString bin = applicationDirPath();
  install(applicationName(),
          {bin + QStringLiteral("/../share/") + applicationName() + QStringLiteral("/translations"),
           bin + QStringLiteral("/translations")});
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& error) {
    HandleException(error);
  } catch (...) {
    HandleUnknownException();
  }
  return false;
}

}  // namespace app
