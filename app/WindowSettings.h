#pragma once
// What the window remembers between runs: every key with its default in one
// table, the window's geometry and pane sizes, and the recent file pairs.

#include <QStringList>
#include <QVariant>

class QSplitter;
class QWidget;

namespace app {

/// One remembered value of the window.
enum class TSetting {
  Geometry,
  Panes,
  Texts,
  MatchMode,
  KeepBackups,
  ScrollTogether,
  ShowDeleted,
  Recent,
  LatestFolder,
  HistoryFolder,
  LockLatest,
  LockHistory,
};

class TWindowSettings {
 public:
  /// The most pairs Open Recent keeps.
  static constexpr int RecentPairCount = 10;

  /// The value stored under Setting's key, or its default.
  static QVariant Value(TSetting setting);
  static void SetValue(TSetting setting, const QVariant& value);

  /// The folder the Latest (or History) dialogs start in; empty when none.
  static QString Folder(bool latest);
  static void SetFolder(bool latest, const QString& fileName);

  /// The geometry and pane sizes of the last run, kept within the screen;
  /// false when none.
  static bool RestoreWindow(QWidget& window, QSplitter& panes, QSplitter& texts);
  static void SaveWindow(const QWidget& window, const QSplitter& panes, const QSplitter& texts);

  // --- Recent pairs: "LATEST" or "LATEST\nHISTORY", newest first ---------------
  /// Reads the pairs the last run left.
  void LoadRecent();
  const QStringList& RecentPairs() const { return FRecent; }
  /// Puts a pair on top (a pair opened again moves there), keeping at most RecentPairCount.
  void AddRecentPair(const QString& latest, const QString& history);
  void RemoveRecentPair(const QString& pair);
  void ClearRecent();

 private:
  void StoreRecent();
  QStringList FRecent;
};

}  // namespace app
