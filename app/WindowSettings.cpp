#include "app/WindowSettings.h"

#include <QFileInfo>
#include <QScreen>
#include <QSettings>
#include <QSplitter>
#include <QWidget>
#include <algorithm>
#include <memory>

#include "app/Application.h"
#include "containers/Structures.h"

namespace app {

namespace {

struct TSettingKey {
  TSetting Setting;
  const char* Key;
  QVariant Default;
};

// The keys and what a first run takes.
const TSettingKey kSettings[] = {
    {TSetting::Geometry, "window/geometry", QVariant()},
    {TSetting::Panes, "window/panes", QVariant()},
    {TSetting::Texts, "window/texts", QVariant()},
    {TSetting::MatchMode, "view/match", 0},
    {TSetting::KeepBackups, "files/keepBackups", true},
    {TSetting::ScrollTogether, "view/scrollTogether", true},
    {TSetting::ShowDeleted, "view/showDeleted", true},
    {TSetting::Recent, "files/recent", QVariant()},
    {TSetting::LatestFolder, "files/latestFolder", QString()},
    {TSetting::HistoryFolder, "files/historyFolder", QString()},
    {TSetting::LockLatest, "view/lockLatest", false},
    {TSetting::LockHistory, "view/lockHistory", false},
};

const TSettingKey& KeyOf(TSetting setting) {
  return *std::find_if(std::begin(kSettings), std::end(kSettings),
                       [setting](const TSettingKey& key) { return key.Setting == setting; });
}

}  // namespace

QVariant TWindowSettings::Value(TSetting setting) {
  const TSettingKey& key = KeyOf(setting);
  return OpenSettings()->value(QLatin1String(key.Key), key.Default);
}

void TWindowSettings::SetValue(TSetting setting, const QVariant& value) {
  OpenSettings()->setValue(QLatin1String(KeyOf(setting).Key), value);
}

QString TWindowSettings::Folder(bool latest) {
  return Value(latest ? TSetting::LatestFolder : TSetting::HistoryFolder).toString();
}

void TWindowSettings::SetFolder(bool latest, const QString& fileName) {
  SetValue(latest ? TSetting::LatestFolder : TSetting::HistoryFolder, QFileInfo(fileName).absolutePath());
}

bool TWindowSettings::RestoreWindow(QWidget& window, QSplitter& panes, QSplitter& texts) {
  const QByteArray saved = Value(TSetting::Geometry).toByteArray();
  if (saved.isEmpty() || !window.restoreGeometry(saved)) return false;
  panes.restoreState(Value(TSetting::Panes).toByteArray());
  texts.restoreState(Value(TSetting::Texts).toByteArray());
  // A screen smaller than the one of the last run still shows the whole window.
  if (const QScreen* where = window.screen()) {
    const QRect free = where->availableGeometry();
    const QRect outer = window.frameGeometry();
    if (!free.contains(outer)) {
      const QSize frame = outer.size() - window.geometry().size();
      window.resize(outer.size().boundedTo(free.size()) - frame);
      const QRect fitted = window.frameGeometry();
      window.move(std::clamp(fitted.x(), free.left(), free.left() + free.width() - fitted.width()),
                  std::clamp(fitted.y(), free.top(), free.top() + free.height() - fitted.height()));
    }
  }
  return true;
}

void TWindowSettings::SaveWindow(const QWidget& window, const QSplitter& panes, const QSplitter& texts) {
  SetValue(TSetting::Geometry, window.saveGeometry());
  SetValue(TSetting::Panes, panes.saveState());
  SetValue(TSetting::Texts, texts.saveState());
}

void TWindowSettings::LoadRecent() {
  FRecent = Value(TSetting::Recent).toStringList().mid(0, RecentPairCount);
}

void TWindowSettings::AddRecentPair(const QString& latest, const QString& history) {
  if (latest.isEmpty()) return;
  QString pair = QFileInfo(latest).absoluteFilePath();
  if (!history.isEmpty()) pair += QLatin1Char('\n') + QFileInfo(history).absoluteFilePath();
  // The bounded list of recent names, newest first; a pair opened again moves to the top.
  TRecentFiles recent;
  recent.SetMaxCount(RecentPairCount);
  for (qsizetype i = FRecent.size() - 1; i >= 0; --i) recent.AddFile(FRecent[i].toStdString());
  recent.AddFile(pair.toStdString());
  FRecent.clear();
  for (int i = 0; i < recent.Count(); ++i) FRecent << QString::fromStdString(recent[i]);
  StoreRecent();
}

void TWindowSettings::RemoveRecentPair(const QString& pair) {
  FRecent.removeAll(pair);
  StoreRecent();
}

void TWindowSettings::ClearRecent() {
  FRecent.clear();
  StoreRecent();
}

void TWindowSettings::StoreRecent() { SetValue(TSetting::Recent, FRecent); }

}  // namespace app
