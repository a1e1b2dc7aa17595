/// The merge window driven as a user drives it: open the example triple, F9
/// to the conflict, choose, undo, redo, save, and the exit status; leaves
/// pictures of the merge list and the topic view in screenshots/.

#include <QAction>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QUndoStack>

#include "AppTestSupport.h"
#include "app/MergeWindow.h"
#include "document/QuillcrafterDoc.h"

using app::TfrmMerge;
using app::TMergeCommand;

class TestMergeWindow : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void mergeFlow();
};

void TestMergeWindow::mergeFlow() {
  apptest::TSettingsSandbox sandbox;
  QStringList questions;
  bool saveAnyway = false;
  app::SetYesNoHandler([&](const QString& question) {
    questions << question;
    return saveAnyway;
  });
  QStringList messages;
  app::SetMessageBoxHandler([&](const QString&, const QString& message) { messages << message; });
  QTemporaryDir dir;
  const QString out = dir.filePath(QStringLiteral("Merged.qcp"));

  TfrmMerge w;
  w.show();
  w.OpenMerge(QStringLiteral(QC_SOURCE_DIR "/examples/merge/Base.qcp"),
              QStringLiteral(QC_SOURCE_DIR "/examples/merge/Ours.qcp"),
              QStringLiteral(QC_SOURCE_DIR "/examples/merge/Theirs.qcp"), out);
  QVERIFY(QTest::qWaitForWindowExposed(&w));
  const int conflicts = w.Plan().UnresolvedCount();
  QVERIFY(conflicts > 0);
  QVERIFY(w.StatusText().startsWith(QString::number(conflicts)));
  QCOMPARE(w.Model().rowCount(), static_cast<int>(w.Rows().size()));

  // F9 goes to a row with an unresolved conflict, the change to choose selected.
  QTest::keyClick(&w, Qt::Key_F9);
  const int row = w.SelectedRow();
  QVERIFY(row >= 0);
  QCOMPARE(RowState(w.Plan(), w.Rows()[static_cast<size_t>(row)]), TMergeRowState::Conflict);
  const int decision = w.SelectedDecision();
  QVERIFY(w.Plan().Decisions[static_cast<size_t>(decision)].IsConflict());

  const QString shots = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(shots);
  QCoreApplication::processEvents();
  QVERIFY(w.List().grab().save(QDir(shots).filePath(QStringLiteral("merge-list.png"))));
  w.Action(TMergeCommand::ShowBase)->trigger();
  QCoreApplication::processEvents();
  QVERIFY(w.TopicView().grab().save(QDir(shots).filePath(QStringLiteral("merge-topic-view.png"))));

  // Theirs for the change: one step, one conflict fewer, the result follows.
  const std::string before = RowResult(w.Plan(), w.Rows()[static_cast<size_t>(row)]);
  w.Action(TMergeCommand::ChangeTheirs)->trigger();
  QCOMPARE(w.UndoStack().count(), 1);
  QCOMPARE(w.Plan().UnresolvedCount(), conflicts - 1);
  QCOMPARE(w.Plan().Decisions[static_cast<size_t>(decision)].Resolution, TMergeResolution::Theirs);
  QVERIFY(w.Modified());
  const std::string after = RowResult(w.Plan(), w.Rows()[static_cast<size_t>(row)]);
  QVERIFY(before != after);

  w.Action(TMergeCommand::Undo)->trigger();
  QCOMPARE(w.Plan().UnresolvedCount(), conflicts);
  QCOMPARE(RowResult(w.Plan(), w.Rows()[static_cast<size_t>(row)]), before);
  QVERIFY(!w.Modified());
  w.Action(TMergeCommand::Redo)->trigger();
  QCOMPARE(RowResult(w.Plan(), w.Rows()[static_cast<size_t>(row)]), after);

  // Saving with conflicts left asks first and says how many; declined, nothing is written.
  if (w.Plan().UnresolvedCount() > 0) {
    QVERIFY(!w.Save());
    QCOMPARE(questions.size(), 1);
    QVERIFY(questions.front().contains(QString::number(w.Plan().UnresolvedCount())));
    QVERIFY(!QFileInfo::exists(out));
    QCOMPARE(w.ExitStatus(), 1);
  }
  // Ours for the rest, as one step; then the save writes what the merge decides.
  w.Action(TMergeCommand::AllOurs)->trigger();
  QCOMPARE(w.Plan().UnresolvedCount(), 0);
  QVERIFY(w.Save());
  QCOMPARE(w.ExitStatus(), 0);
  QVERIFY(!w.Modified());
  TQuillcrafterDoc saved, expected;
  saved.LoadFromFile(out.toStdString());
  ApplyMerge(w.Plan(), expected);
  QCOMPARE(saved.Topics().Count(), expected.Topics().Count());
  for (int i = 0; i < saved.Topics().Count(); ++i)
    QVERIFY(saved.Topics().Items(i)->IsEqual(expected.Topics().Items(i)));
  QVERIFY2(messages.isEmpty(), qPrintable(messages.join(QLatin1Char('\n'))));
  app::SetYesNoHandler(nullptr);
  app::SetMessageBoxHandler(nullptr);
}

QTEST_MAIN(TestMergeWindow)
#include "tst_MergeWindow.moc"
