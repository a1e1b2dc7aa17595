#include "app/ProjectFiles.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QMenu>
#include <QTimer>
#include <QWidget>

#include "app/AppText.h"
#include "app/Application.h"
#include "app/EditHistory.h"
#include "document/QuillcrafterDoc.h"
#include "toolkit/ScopeGuard.h"

namespace app {

namespace {

// Translated where it is used: a translation is loaded only after start.
const char* const kQcpFilter = QT_TRANSLATE_NOOP("app::TProjectFiles", "Quillcrafter File (*.qcp)|*.qcp");

}  // namespace

TProjectFiles::TProjectFiles(TComparisonSession& session, TEditHistory& history, THandle handle,
                             QWidget* window)
    : QObject(nullptr),
      FSession(session),
      FHistory(history),
      FHandle(std::move(handle)),
      FWindow(window),
      FWatcher(new QFileSystemWatcher(this)) {
  const struct {
    TFileDialog::TKind kind;
    const char* title;
  } dialogs[] = {{TFileDialog::TKind::dkOpen, QT_TR_NOOP("Open Latest Quillcrafter File")},
                 {TFileDialog::TKind::dkOpen, QT_TR_NOOP("Open Quillcrafter History File")},
                 {TFileDialog::TKind::dkSave, QT_TR_NOOP("Save Latest File As...")},
                 {TFileDialog::TKind::dkSave, QT_TR_NOOP("Save History File As...")}};
  for (size_t i = 0; i < FDialogs.size(); ++i) {
    auto dialog = std::make_unique<TFileDialog>(window, dialogs[i].kind);
    dialog->SetTitle(tr(dialogs[i].title));
    dialog->SetFilter(tr(kQcpFilter));
    dialog->SetDefaultExt(QStringLiteral("qcp"));
    dialog->SetOptions((dialogs[i].kind == TFileDialog::TKind::dkOpen ? TOpenOption::ofFileMustExist
                                                                      : TOpenOption::ofOverwritePrompt) |
                       TOpenOption::ofHideReadOnly | TOpenOption::ofEnableSizing);
    FDialogs[i] = std::move(dialog);
  }
  connect(FWatcher, &QFileSystemWatcher::fileChanged, this, [this](const QString& fileName) {
    // Asked once the watcher's own notice is over, never inside it.
    QTimer::singleShot(0, this,
                       [this, fileName] { FHandle([this, fileName] { FileChangedOnDisk(fileName); }); });
  });
}

TProjectFiles::~TProjectFiles() { FWatcher->disconnect(this); }

void TProjectFiles::RestoreFolders() {
  for (bool latest : {true, false}) {
    const QString path = TWindowSettings::Folder(latest);
    if (path.isEmpty()) continue;
    OpenDialog(latest).SetFileName(QDir(path).filePath(QString()));
    SaveDialog(latest).SetFileName(QDir(path).filePath(QString()));
  }
  FSettings.LoadRecent();
  FillRecentMenu();
}

void TProjectFiles::SetRecentMenu(QMenu* menu, QAction* clear) {
  FRecentMenu = menu;
  FClearRecent = clear;
  FillRecentMenu();
}

void TProjectFiles::Open() {
  if (!ConfirmDiscard(true, true)) return;
  if (!OpenDialog(true).Execute()) return;
  const QString latest = OpenDialog(true).FileName();
  QString history;
  // History is asked for once Latest has been read; nothing changes on
  // screen until both are in.
  std::string historyError;
  NamedErrors(latest, [&] {
    FSession.OpenFiles(
        FileNameToCore(latest),
        [this, &history]() -> std::optional<std::string> {
          if (!OpenDialog(false).Execute()) return std::nullopt;
          history = OpenDialog(false).FileName();
          return FileNameToCore(history);
        },
        &historyError);
  });
  // A History that cannot be read is told by its name; the good Latest opens all the same.
  if (!historyError.empty()) history.clear();
  SaveDialog(true).SetFileName(QFileInfo(latest).absoluteFilePath());
  if (!history.isEmpty()) SaveDialog(false).SetFileName(QFileInfo(history).absoluteFilePath());
  FilesOpened();
  if (!historyError.empty()) {
    Exception error(historyError);
    NameError(error, OpenDialog(false).FileName());
    HandleException(error);
  }
}

void TProjectFiles::NameError(Exception& error, const QString& fileName) {
  const std::string name = FileNameToCore(QFileInfo(fileName).fileName());
  if (error.Message().find(name) == std::string::npos) error.SetMessage(name + ": " + error.Message());
}

void TProjectFiles::NamedErrors(const QString& fileName, const std::function<void()>& step) {
  try {
    step();
  } catch (Exception& error) {
    NameError(error, fileName);
    throw;
  }
}

void TProjectFiles::OpenFiles(const QString& latestFile, const QString& historyFile) {
  auto previous1 = std::move(OpenDialog(true).ExecuteHandler);
  auto previous2 = std::move(OpenDialog(false).ExecuteHandler);
  auto pick = [](const QString& fileName) {
    return [fileName](TFileDialog& dialog) {
      if (fileName.isEmpty()) return false;
      dialog.SetFileName(fileName);
      return true;
    };
  };
  OpenDialog(true).ExecuteHandler = pick(latestFile);
  OpenDialog(false).ExecuteHandler = pick(historyFile);
  FHandle([this] { Open(); });
  OpenDialog(true).ExecuteHandler = std::move(previous1);
  OpenDialog(false).ExecuteHandler = std::move(previous2);
}

bool TProjectFiles::SaveSide(bool latest, bool askForName) {
  TFileDialog& dialog = SaveDialog(latest);
  QString fileName = QString::fromStdString(latest ? FSession.LatestFileName() : FSession.HistoryFileName());
  if (askForName || fileName.isEmpty()) {
    if (!dialog.Execute()) return false;
    fileName = dialog.FileName();
  }
  fileName = QFileInfo(fileName).absoluteFilePath();
  {
    // The watcher hears our own save as a change; it is not one to offer a reload for.
    FSavingOwnFile = true;
    toolkit::TScopeExit done([this] { FSavingOwnFile = false; });
    if (latest)
      FSession.SaveLatest(FileNameToCore(fileName));
    else
      FSession.SaveHistory(FileNameToCore(fileName));
  }
  dialog.SetFileName(fileName);
  TWindowSettings::SetFolder(latest, fileName);
  WatchFiles();
  RememberStamps();
  FHistory.MarkSaved(latest);
  if (OnMessage)
    OnMessage(
        tr("%1 saved as %2").arg(latest ? tr("Latest") : tr("History"), QDir::toNativeSeparators(fileName)));
  return true;
}

bool TProjectFiles::ConfirmDiscard(bool latest, bool history) {
  const struct {
    bool asked;
    bool isLatest;
    TQuillcrafterDoc& document;
    std::string fileName;
  } sides[] = {{latest, true, FSession.Latest(), FSession.LatestFileName()},
               {history, false, FSession.History(), FSession.HistoryFileName()}};
  for (const auto& side : sides) {
    if (!side.asked || !side.document.Modified()) continue;
    const QString name = side.fileName.empty() ? (side.isLatest ? tr("Latest") : tr("History"))
                                               : QFileInfo(QString::fromStdString(side.fileName)).fileName();
    switch (AskSaveChanges(name)) {
      case TSaveChoice::scSave:
        if (!SaveSide(side.isLatest, false)) return false;
        break;
      case TSaveChoice::scDiscard:
        break;
      case TSaveChoice::scCancel:
        return false;
    }
  }
  return true;
}

void TProjectFiles::FilesOpened(int side) {
  const QString latest = QString::fromStdString(FSession.LatestFileName());
  const QString history = QString::fromStdString(FSession.HistoryFileName());
  FSettings.AddRecentPair(latest, history);
  FillRecentMenu();
  TWindowSettings::SetFolder(true, latest);
  if (!history.isEmpty()) TWindowSettings::SetFolder(false, history);
  WatchFiles();
  RememberStamps();
  if (side == 0)
    FHistory.Reset();
  else
    FHistory.ResetSide(side == 1);
  if (OnOpened) OnOpened();
  // What a load read past (data after the end of the project) is told once, as the file opens.
  for (TQuillcrafterDoc* document : {&FSession.Latest(), &FSession.History()}) {
    const std::string& name =
        document == &FSession.Latest() ? FSession.LatestFileName() : FSession.HistoryFileName();
    for (const std::string& warning : document->TakeLoadWarnings())
      HandleException(Exception(name + ": " + warning));
  }
}

void TProjectFiles::WatchFiles() {
  if (!FWatcher->files().isEmpty()) FWatcher->removePaths(FWatcher->files());
  for (const std::string& name : {FSession.LatestFileName(), FSession.HistoryFileName()})
    if (!name.empty()) FWatcher->addPath(QString::fromStdString(name));
}

void TProjectFiles::FileChangedOnDisk(const QString& fileName) {
  if (FSavingOwnFile || FAskingAboutChange) return;
  const bool latest = fileName == QString::fromStdString(FSession.LatestFileName());
  const bool history = fileName == QString::fromStdString(FSession.HistoryFileName());
  if (!latest && !history) return;
  // A file replaced by renaming is no longer watched under its name.
  WatchFiles();
  if (!QFileInfo::exists(fileName)) return;
  // One write often comes as several notices: a file as it was last read or
  // answered for is no news.
  if (DiskStamp(fileName) == FStamps[latest ? 0 : 1]) return;
  ReadSideAgain(latest, true);
}

bool TProjectFiles::ReadSideAgain(bool latest, bool changedOnDisk) {
  const QString fileName =
      QString::fromStdString(latest ? FSession.LatestFileName() : FSession.HistoryFileName());
  if (fileName.isEmpty()) return false;
  const QString name = QFileInfo(fileName).fileName();
  const int unsaved = FHistory.UnsavedSteps(latest);
  // One question, saying what is lost.
  QString question;
  if (unsaved > 0)
    question = (unsaved == 1 ? tr("Read %1 again? Your unsaved change to it will be lost.")
                             : tr("Read %1 again? Your %2 unsaved changes to it will be lost."))
                   .arg(name)
                   .arg(unsaved);
  else if (changedOnDisk)
    question = tr("%1 has changed on disk. Read it again?").arg(QDir::toNativeSeparators(fileName));
  if (!question.isEmpty()) {
    FAskingAboutChange = true;
    toolkit::TScopeExit asked([this] { FAskingAboutChange = false; });
    const bool yes = AskYesNo(question);
    // Answered for this state of the file: a late notice of the same write asks nothing more.
    FStamps[latest ? 0 : 1] = DiskStamp(fileName);
    if (!yes) return false;
  }
  FSession.ReadAgain(latest);
  FHistory.ResetSide(latest);
  WatchFiles();
  RememberStamps();
  if (OnOpened) OnOpened();
  return true;
}

void TProjectFiles::Reload() {
  if (FSession.LatestFileName().empty()) return;
  if (!ConfirmDiscard(true, true)) return;
  const QString latest = QString::fromStdString(FSession.LatestFileName());
  const QString history = QString::fromStdString(FSession.HistoryFileName());
  FSession.OpenFiles(FileNameToCore(latest),
                     history.isEmpty() ? std::nullopt : std::optional<std::string>(FileNameToCore(history)));
  FilesOpened();
}

QString TProjectFiles::DiskStamp(const QString& fileName) const {
  const QFileInfo info(fileName);
  if (!info.exists()) return {};
  return QStringLiteral("%1 %2").arg(info.size()).arg(info.lastModified().toMSecsSinceEpoch());
}

void TProjectFiles::RememberStamps() {
  FStamps[0] = DiskStamp(QString::fromStdString(FSession.LatestFileName()));
  FStamps[1] = DiskStamp(QString::fromStdString(FSession.HistoryFileName()));
}

void TProjectFiles::FillRecentMenu() {
  if (FRecentMenu == nullptr) return;
  FRecentMenu->clear();
  const QStringList& recent = FSettings.RecentPairs();
  for (qsizetype i = 0; i < recent.size(); ++i) {
    const QString pair = recent[i];
    QString label = QDir::toNativeSeparators(pair);
    label.replace(QLatin1Char('\n'), QStringLiteral("  \u2194  "));
    QAction* entry = FRecentMenu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(label));
    connect(entry, &QAction::triggered, this, [this, pair] { FHandle([this, pair] { OpenRecent(pair); }); });
  }
  FRecentMenu->addSeparator();
  FRecentMenu->addAction(FClearRecent);
  FClearRecent->setEnabled(!recent.isEmpty());
}

void TProjectFiles::OpenRecent(const QString& pair) {
  const QStringList files = pair.split(QLatin1Char('\n'));
  for (const QString& file : files) {
    if (QFileInfo::exists(file)) continue;
    FSettings.RemoveRecentPair(pair);
    FillRecentMenu();
    // The file name goes in as the file system's bytes, as the core reports names.
    std::string message = tr("%1 no longer exists; it is taken off the recent files.").toStdString();
    if (const size_t at = message.find("%1"); at != std::string::npos)
      message.replace(at, 2, FileNameToCore(file));
    throw EFOpenError(message);
  }
  OpenFiles(files.value(0), files.value(1));
}

void TProjectFiles::ClearRecent() {
  FSettings.ClearRecent();
  FillRecentMenu();
}

void TProjectFiles::OpenDropped(const QStringList& files, bool onHistorySide) {
  if (files.size() == 2) {
    if (!ConfirmDiscard(true, true)) return;
    std::string historyError;
    try {
      NamedErrors(files[0], [&] {
        FSession.OpenFiles(
            FileNameToCore(files[0]), [&] { return std::optional<std::string>(FileNameToCore(files[1])); },
            &historyError);
      });
    } catch (const Exception&) {
      // Latest cannot be read: the good History still opens, and then Latest's error is told.
      const std::exception_ptr latestError = std::current_exception();
      try {
        FSession.OpenHistory(FileNameToCore(files[1]));
      } catch (const Exception&) {
        std::rethrow_exception(latestError);
      }
      SaveDialog(false).SetFileName(QFileInfo(files[1]).absoluteFilePath());
      FilesOpened(2);
      std::rethrow_exception(latestError);
    }
    if (!historyError.empty()) {
      SaveDialog(true).SetFileName(QFileInfo(files[0]).absoluteFilePath());
      FilesOpened();
      Exception error(historyError);
      NameError(error, files[1]);
      throw error;
    }
  } else if (onHistorySide) {
    if (!ConfirmDiscard(false, true)) return;
    NamedErrors(files[0], [&] { FSession.OpenHistory(FileNameToCore(files[0])); });
    SaveDialog(false).SetFileName(QFileInfo(files[0]).absoluteFilePath());
  } else {
    if (!ConfirmDiscard(true, false)) return;
    NamedErrors(files[0], [&] { FSession.OpenFiles(FileNameToCore(files[0]), std::nullopt); });
  }
  if (files.size() == 2 || !onHistorySide)
    SaveDialog(true).SetFileName(QFileInfo(files[0]).absoluteFilePath());
  if (files.size() == 2) SaveDialog(false).SetFileName(QFileInfo(files[1]).absoluteFilePath());
  // One file dropped replaces only its side: the other keeps its changes and steps.
  FilesOpened(files.size() == 2 ? 0 : onHistorySide ? 2 : 1);
}

}  // namespace app
