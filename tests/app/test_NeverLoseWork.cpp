/// The window never loses a change without an explicit Discard: saving both
/// sides, undo and redo of copies, the questions on open, close and reload,
/// recent pairs, dropped files. Saved files are compared byte for byte.

#include <QAction>
#include <QFile>
#include <QMimeData>
#include <QTest>
#include <QUndoStack>
#include <QUrl>

#include "AppTestSupport.h"
#include "app/AppText.h"
#include "document/QuillcrafterDoc.h"
#include "toolkit/SysUtils.h"

using namespace apptest;
using app::TSaveChoice;

namespace {

QByteArray bytes_of(const QString& fileName) {
  QFile file(fileName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void drop_files(app::TfrmMain& form, const QStringList& files, QWidget* onto) {
  QMimeData data;
  QList<QUrl> urls;
  for (const QString& file : files) urls << QUrl::fromLocalFile(file);
  data.setUrls(urls);
  const QPoint at = onto->mapTo(&form, onto->rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&form, &drop);
}

}  // namespace

class TestNeverLoseWork : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void saveBothSidesAndUndoToTheSavedBytes();
  void failedSaveKeepsFileAndMark();
  void closeAndOpenAskAboutChanges();
  void recentPairsNewestFirstAndBounded();
  void droppedFilesOpenTheirSide();
  void changedOnDiskOffersToReadAgain();
  void readingOneSideAgainKeepsTheOther();
  void aBadFileIsNamedAndTheGoodOneOpens();
};

void TestNeverLoseWork::saveBothSidesAndUndoToTheSavedBytes() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  const QString latest = h.Path(QStringLiteral("Latest.qcp"));
  const QString history = h.Path(QStringLiteral("History.qcp"));
  // A resave before any change, so the bytes to come back to are the writer's own.
  f.Session().SaveLatest(app::FileNameToCore(latest));
  f.Session().SaveHistory(app::FileNameToCore(history));
  const QByteArray latestBefore = bytes_of(latest);
  const QByteArray historyBefore = bytes_of(history);
  QVERIFY(!f.Action(app::TCommand::Save)->isEnabled() && !f.Action(app::TCommand::SaveHistory)->isEnabled());
  QVERIFY(!f.isWindowModified());

  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyTextToLatest)->trigger();
  QVERIFY(f.Session().Latest().Modified() && f.Action(app::TCommand::Save)->isEnabled());
  QVERIFY(f.isWindowModified());
  QCOMPARE(h.GroupBox1->Caption(), QStringLiteral("*Latest.qcp"));
  QCOMPARE(f.Action(app::TCommand::Undo)->text(),
           QStringLiteral("&Undo Copy Topic Text 'Installing' to Latest"));
  // Undo brings back the state the file holds: no mark, and the same bytes when saved.
  f.Action(app::TCommand::Undo)->trigger();
  QVERIFY(!f.Session().Latest().Modified() && !f.isWindowModified());
  QCOMPARE(h.GroupBox1->Caption(), QStringLiteral("Latest.qcp"));
  QCOMPARE(h.PanelTexts().first(), QStringLiteral("Different Topics: 1"));
  f.Session().SaveLatest(app::FileNameToCore(latest));
  QCOMPARE(bytes_of(latest), latestBefore);
  // Redo, then Save writes Latest back to its own file with a backup of the old one.
  f.Action(app::TCommand::Redo)->trigger();
  QVERIFY(f.Session().Latest().Modified());
  f.Action(app::TCommand::Save)->trigger();
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  QVERIFY(!f.Session().Latest().Modified());
  QCOMPARE(bytes_of(latest + QStringLiteral(".bak")), latestBefore);
  TQuillcrafterDoc back;
  back.LoadFromFile(app::FileNameToCore(latest));
  QVERIFY(back.Topics().Items(back.Topics().IndexOfTopicID(2))->IsEqual(f.LatestTopic()));
  // Undo past the save marks Latest again; History has its own mark and its own Save.
  f.Action(app::TCommand::Undo)->trigger();
  QVERIFY(f.Session().Latest().Modified());
  f.Action(app::TCommand::Redo)->trigger();
  QVERIFY(!f.Session().Latest().Modified());
  h.ClickTopic(h.RowOf(QStringLiteral("Licence (3)")));
  f.Action(app::TCommand::CopyToHistory)->trigger();
  QVERIFY(f.Session().History().Modified() && !f.Session().Latest().Modified());
  QVERIFY(f.Action(app::TCommand::SaveHistory)->isEnabled() && !f.Action(app::TCommand::Save)->isEnabled());
  f.Action(app::TCommand::SaveHistory)->trigger();
  QVERIFY(!f.Session().History().Modified());
  QVERIFY(bytes_of(history) != historyBefore);
  f.Action(app::TCommand::Undo)->trigger();
  f.Action(app::TCommand::SaveHistory)->trigger();
  QCOMPARE(bytes_of(history), historyBefore);
  QVERIFY(h.messages.isEmpty());
}

void TestNeverLoseWork::failedSaveKeepsFileAndMark() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  const QString latest = h.Path(QStringLiteral("Latest.qcp"));
  const QByteArray before = bytes_of(latest);
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyToLatest)->trigger();
  f.Session().SetBackups(false);
  // A file size limit makes the write fail part-way, as a full disk would.
  WithFileSizeLimit(64, [&] { f.Action(app::TCommand::Save)->trigger(); });
  QCOMPARE(h.messages.size(), 1);
  QCOMPARE(bytes_of(latest), before);
  QVERIFY(f.Session().Latest().Modified() && f.isWindowModified() &&
          f.Action(app::TCommand::Save)->isEnabled());
}

void TestNeverLoseWork::closeAndOpenAskAboutChanges() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyTextToHistory)->trigger();
  const QStringList panels = h.PanelTexts();
  // Cancel keeps the window, the documents and the undo history.
  h.saveChoices = {TSaveChoice::scCancel};
  QVERIFY(!f.close());
  QCOMPARE(h.saveQuestions, QStringList{QStringLiteral("History.qcp")});
  QVERIFY(f.isVisible() && f.Session().History().Modified());
  QCOMPARE(h.PanelTexts(), panels);
  QCOMPARE(f.UndoStack().count(), 1);
  // Opening other files asks too; Cancel there shows no dialog and changes nothing.
  h.saveChoices = {TSaveChoice::scCancel};
  h.ClickOpen();
  QCOMPARE(h.saveQuestions.size(), 2);
  QCOMPARE(h.latestShown, 1);  // only the first open's
  QVERIFY(f.Session().History().Modified());
  // Save writes the change, then the open goes ahead with a fresh history.
  h.saveChoices = {TSaveChoice::scSave};
  h.Open(h.Path(QStringLiteral("Latest.qcp")), h.Path(QStringLiteral("History.qcp")));
  QCOMPARE(f.UndoStack().count(), 0);
  QVERIFY(!f.Session().History().Modified());
  TQuillcrafterDoc back;
  back.LoadFromFile(app::FileNameToCore(h.Path(QStringLiteral("History.qcp"))));
  QCOMPARE(
      back.Topics().Items(back.Topics().IndexOfTopicID(2))->Text().Text(),
      f.Session().Latest().Topics().Items(f.Session().Latest().Topics().IndexOfTopicID(2))->Text().Text());
  // Discard closes without writing.
  h.ClickTopic(h.RowOf(QStringLiteral("Licence (3)")));
  f.Action(app::TCommand::CopyToLatest)->trigger();
  const QByteArray latestBytes = bytes_of(h.Path(QStringLiteral("Latest.qcp")));
  h.saveChoices = {TSaveChoice::scDiscard};
  QVERIFY(f.close());
  QCOMPARE(bytes_of(h.Path(QStringLiteral("Latest.qcp"))), latestBytes);
}

void TestNeverLoseWork::recentPairsNewestFirstAndBounded() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  QStringList names;
  for (int i = 0; i < app::TfrmMain::RecentPairCount + 2; ++i) {
    names << h.Path(QStringLiteral("L%1.qcp").arg(i));
    QVERIFY(QFile::copy(h.Path(QStringLiteral("Latest.qcp")), names.last()));
    f.OpenFiles(names.last(), QString());
  }
  // Each pair is its Latest and the History still open with it.
  auto latest_of = [](const QString& pair) { return pair.section(QLatin1Char('\n'), 0, 0); };
  const QStringList recent = f.RecentPairs();
  QCOMPARE(recent.size(), app::TfrmMain::RecentPairCount);
  QCOMPARE(latest_of(recent.first()), names.last());
  QCOMPARE(latest_of(recent.last()), names[2]);
  QCOMPARE(recent.first().section(QLatin1Char('\n'), 1), h.Path(QStringLiteral("History.qcp")));
  // A pair opened again moves to the top; the list survives into the next run.
  f.OpenFiles(names[5], QString());
  QCOMPARE(latest_of(f.RecentPairs().first()), names[5]);
  QCOMPARE(f.RecentPairs().size(), app::TfrmMain::RecentPairCount);
  app::TfrmMain next;
  QCOMPARE(next.RecentPairs(), f.RecentPairs());
  // A pair whose file is gone says so and leaves the list.
  const QString gone = f.RecentPairs()[3];
  QFile::remove(latest_of(gone));
  QVERIFY_THROWS_EXCEPTION(EFOpenError, f.OpenRecent(gone));
  QVERIFY(!f.RecentPairs().contains(gone));
  QCOMPARE(f.RecentPairs().size(), app::TfrmMain::RecentPairCount - 1);
}

void TestNeverLoseWork::droppedFilesOpenTheirSide() {
  THarness h;
  WriteProject(h.Path(QStringLiteral("A.qcp")), StandardLatest());
  WriteProject(h.Path(QStringLiteral("B.qcp")), StandardHistory());
  WriteProject(h.Path(QStringLiteral("C.qcp")), {{9, "Other", {"Other."}, ""}});
  app::TfrmMain& f = h.form;
  drop_files(f, {h.Path(QStringLiteral("A.qcp")), h.Path(QStringLiteral("B.qcp"))}, &f);
  QCOMPARE(QString::fromStdString(f.Session().LatestFileName()), h.Path(QStringLiteral("A.qcp")));
  QCOMPARE(QString::fromStdString(f.Session().HistoryFileName()), h.Path(QStringLiteral("B.qcp")));
  QCOMPARE(f.Session().LatestEntryCount(), 8);
  // One file on the History side replaces History only.
  drop_files(f, {h.Path(QStringLiteral("C.qcp"))}, h.GroupBox2);
  QCOMPARE(QString::fromStdString(f.Session().LatestFileName()), h.Path(QStringLiteral("A.qcp")));
  QCOMPARE(f.Session().History().Topics().Count(), 1);
  QCOMPARE(h.PanelTexts()[3], QStringLiteral("New Topics: 8"));
  // One on the Latest side replaces Latest, asking first about its unsaved changes.
  drop_files(f, {h.Path(QStringLiteral("B.qcp"))}, h.GroupBox2);
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyTextToLatest)->trigger();
  QVERIFY(f.Session().Latest().Modified());
  h.saveChoices = {TSaveChoice::scCancel};
  drop_files(f, {h.Path(QStringLiteral("C.qcp"))}, h.GroupBox1);
  QCOMPARE(h.saveQuestions, QStringList{QStringLiteral("A.qcp")});
  QCOMPARE(QString::fromStdString(f.Session().LatestFileName()), h.Path(QStringLiteral("A.qcp")));
  h.saveChoices = {TSaveChoice::scDiscard};
  drop_files(f, {h.Path(QStringLiteral("C.qcp"))}, h.GroupBox1);
  QCOMPARE(QString::fromStdString(f.Session().LatestFileName()), h.Path(QStringLiteral("C.qcp")));
  QVERIFY(h.messages.isEmpty());
}

void TestNeverLoseWork::changedOnDiskOffersToReadAgain() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  // Our own save is no change to report.
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyTextToLatest)->trigger();
  f.Action(app::TCommand::Save)->trigger();
  QTest::qWait(200);
  QVERIFY(h.yesNoQuestions.isEmpty());
  // Another program writes History: the window offers to read it again.
  h.yesNoAnswers = {true};
  WriteProject(h.Path(QStringLiteral("History.qcp")), {{9, "Other", {"Other."}, ""}});
  QTRY_COMPARE(h.yesNoQuestions.size(), 1);
  QVERIFY(h.yesNoQuestions[0].contains(QStringLiteral("History.qcp")));
  QTRY_COMPARE(f.Session().History().Topics().Count(), 1);
  QVERIFY(h.messages.isEmpty());
}

void TestNeverLoseWork::readingOneSideAgainKeepsTheOther() {
  THarness h;
  h.OpenStandardPair();
  app::TfrmMain& f = h.form;
  // One change to Latest, two to History, the last one selected.
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  f.Action(app::TCommand::CopyTextToLatest)->trigger();
  h.ClickTopic(h.RowOf(QStringLiteral("Licence (3)")));
  f.Action(app::TCommand::CopyToHistory)->trigger();
  h.ClickTopic(h.RowOf(QStringLiteral("Renamed Latest (6)")));
  f.Action(app::TCommand::CopyToHistory)->trigger();
  QCOMPARE(f.UndoStack().count(), 3);
  // Another program writes Latest: one question, however many notices the write gives.
  h.yesNoAnswers = {true};
  std::vector<TTopicData> latest = StandardLatest();
  latest[0].paragraphs = {"Welcome, reader."};
  WriteProject(h.Path(QStringLiteral("Latest.qcp")), latest);
  QTRY_VERIFY(!f.Session().Latest().Modified());
  QTest::qWait(200);
  QCOMPARE(h.yesNoQuestions,
           QStringList{QStringLiteral("Read Latest.qcp again? Your unsaved change to it will be lost.")});
  // History keeps its changes, its mark, its steps; the selection stays.
  QVERIFY(f.Session().History().Modified() && f.isWindowModified());
  QCOMPARE(f.UndoStack().count(), 2);
  QCOMPARE(f.UndoStack().index(), 2);
  QVERIFY(f.LatestTopic() != nullptr && f.LatestTopic()->TopicID() == 6);
  f.Action(app::TCommand::Undo)->trigger();
  f.Action(app::TCommand::Undo)->trigger();
  QVERIFY(!f.Session().History().Modified());
  f.Action(app::TCommand::Redo)->trigger();
  QVERIFY(f.Session().History().Modified());
  // Reading History again now names the one change it would lose, and Quit still asks about nothing else.
  h.yesNoAnswers = {true};
  WriteProject(h.Path(QStringLiteral("History.qcp")), StandardHistory());
  QTRY_COMPARE(h.yesNoQuestions.size(), 2);
  QCOMPARE(h.yesNoQuestions[1],
           QStringLiteral("Read History.qcp again? Your unsaved change to it will be lost."));
  QTRY_VERIFY(!f.Session().History().Modified());
  QCOMPARE(f.UndoStack().count(), 0);
  QVERIFY(h.messages.isEmpty());
}

void TestNeverLoseWork::aBadFileIsNamedAndTheGoodOneOpens() {
  THarness h;
  WriteProject(h.Path(QStringLiteral("Latest.qcp")), StandardLatest());
  QFile bad(h.Path(QStringLiteral("History.qcp")));
  QVERIFY(bad.open(QIODevice::WriteOnly));
  bad.write("not a project at all");
  bad.close();
  h.Open(h.Path(QStringLiteral("Latest.qcp")), h.Path(QStringLiteral("History.qcp")));
  QCOMPARE(h.messages.size(), 1);
  QVERIFY2(h.messages[0].startsWith(QStringLiteral("History.qcp: ")), qPrintable(h.messages[0]));
  QCOMPARE(QString::fromStdString(h.form.Session().LatestFileName()), h.Path(QStringLiteral("Latest.qcp")));
  QCOMPARE(h.form.Session().LatestEntryCount(), 8);
  QVERIFY(h.form.Session().HistoryFileName().empty());
}

QTEST_MAIN(TestNeverLoseWork)
#include "test_NeverLoseWork.moc"
