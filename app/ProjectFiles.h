#pragma once
// The two project files the window compares: the dialogs that pick them, the
// opening, saving and reading again, the watch on their changes on disk, the
// recent pairs, and the questions before unsaved changes are given up.

#include <QObject>
#include <array>
#include <functional>
#include <memory>

#include "app/FileDialogs.h"
#include "app/WindowSettings.h"
#include "compare/ComparisonSession.h"
#include "toolkit/SysUtils.h"

class QAction;
class QFileSystemWatcher;
class QMenu;
class QWidget;

namespace app {

class TEditHistory;

class TProjectFiles : public QObject {
  Q_OBJECT
 public:
  /// Handle runs a handler of the window (an error ends it and is shown).
  using THandle = std::function<void(const std::function<void()>& handler)>;
  TProjectFiles(TComparisonSession& session, TEditHistory& history, THandle handle, QWidget* window);
  ~TProjectFiles() override;

  TFileDialog& OpenDialog(bool latest) const { return *FDialogs[latest ? 0 : 1]; }
  TFileDialog& SaveDialog(bool latest) const { return *FDialogs[latest ? 2 : 3]; }

  /// The dialogs start in the folders of the last run; the recent pairs come back.
  void RestoreFolders();
  const QStringList& RecentPairs() const { return FSettings.RecentPairs(); }
  /// The menu that lists the recent pairs, ending with Clear.
  void SetRecentMenu(QMenu* menu, QAction* clear);

  /// Asks for Latest, then for History (which may be cancelled), after asking about unsaved changes.
  void Open();
  /// Opens the given files as if chosen in the two open dialogs (History
  /// may be empty: then its dialog counts as cancelled).
  void OpenFiles(const QString& latestFile, const QString& historyFile);
  /// Opens a recent pair (as Open does, after asking about unsaved changes).
  void OpenRecent(const QString& pair);
  void ClearRecent();
  /// Opens dropped files: two are Latest and History; one replaces the side it was dropped on.
  void OpenDropped(const QStringList& files, bool onHistorySide);
  /// The file open as Latest (or History) changed on disk: offer to read it again.
  void FileChangedOnDisk(const QString& fileName);
  /// Reads one side again from its file, asking first when that loses
  /// unsaved changes to it; the other side stays as it is. False when cancelled.
  bool ReadSideAgain(bool latest, bool changedOnDisk);
  /// Reads both files again (asking first about unsaved changes).
  void Reload();

  /// Saves a side under its own name, or asks for one when it has none (or
  /// AskForName says so); false when cancelled.
  bool SaveSide(bool latest, bool askForName);
  /// Asks about the unsaved changes of the given sides; false when the user cancelled
  /// (or a save they asked for failed, which is then shown).
  bool ConfirmDiscard(bool latest, bool history);

  /// After files were opened, once the history and the watch follow them.
  std::function<void()> OnOpened;
  /// A message for the status bar.
  std::function<void(const QString& message)> OnMessage;

 private:
  /// After opening: a fresh undo history, watched files, the pair remembered.
  /// Side 1 or 2: only Latest or History was opened, the other side's steps stay.
  void FilesOpened(int side = 0);
  void WatchFiles();
  void FillRecentMenu();
  /// An error of reading FileName says which file it was (unless it does already).
  static void NameError(Exception& error, const QString& fileName);
  static void NamedErrors(const QString& fileName, const std::function<void()>& step);
  /// The size and time of a side's file as last read, saved or answered for.
  QString DiskStamp(const QString& fileName) const;
  void RememberStamps();

  TComparisonSession& FSession;
  TEditHistory& FHistory;
  THandle FHandle;
  QWidget* FWindow;
  TWindowSettings FSettings;
  /// Open Latest, open History, save Latest, save History.
  std::array<std::unique_ptr<TFileDialog>, 4> FDialogs;
  QFileSystemWatcher* FWatcher;
  QMenu* FRecentMenu = nullptr;
  QAction* FClearRecent = nullptr;
  bool FSavingOwnFile = false;
  /// A question about a change on disk is open: the watcher's further notices wait for it.
  bool FAskingAboutChange = false;
  std::array<QString, 2> FStamps;  // Latest, History
};

}  // namespace app
