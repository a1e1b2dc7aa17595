/// Copies of one change in the window, driven by the keys on the example
/// pair: Alt+Left makes Getting Started identical, Ctrl+Z gives back its
/// bytes, a locked side takes no copy, Ctrl+Alt+Right goes on to the next
/// change, and Ctrl+S writes a file in which only that topic changed.

#include <QAction>
#include <QDir>
#include <QFile>
#include <QTest>
#include <QUndoStack>

#include "AppTestSupport.h"
#include "app/AppText.h"
#include "compare/ChangeCopy.h"
#include "compare/FormatDifferences.h"
#include "diffview/dvListControl.h"
#include "document/QuillcrafterDoc.h"

using namespace apptest;

namespace {

TQCTopic* TopicOf(TQuillcrafterDoc& doc, int32_t id) {
  return doc.Topics().Items(doc.Topics().IndexOfTopicID(id));
}

}  // namespace

class TestSingleChange : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void keysCopyOneChangeUndoLockAndSave();
};

void TestSingleChange::keysCopyOneChangeUndoLockAndSave() {
  THarness h;
  app::TfrmMain& f = h.form;
  const QString latest = h.Path(QStringLiteral("Latest.qcp"));
  const QString history = h.Path(QStringLiteral("History.qcp"));
  QVERIFY(QFile::copy(QStringLiteral(QC_SOURCE_DIR "/examples/Latest.qcp"), latest));
  QVERIFY(QFile::copy(QStringLiteral(QC_SOURCE_DIR "/examples/History.qcp"), history));
  h.Open(latest, history);
  f.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  TComparisonSession& session = f.Session();
  TQuillcrafterDoc saved;
  saved.LoadFromFile(app::FileNameToCore(latest));

  h.ClickTopic(h.RowOf(QStringLiteral("Getting Started (2)")));
  const int entry = session.SelectedIndex();
  QCOMPARE(session.EntryClass(entry), tcDifferent);
  QCOMPARE(ChangeBlocks(session.Selection()).size(), size_t{1});
  const std::string before = session.LatestTopic()->WholeText();
  TdvListControl* pane = h.dvDiffViewer1->Pane1();
  pane->setFocus();
  QTest::keyClick(pane, Qt::Key_F7);
  QVERIFY(pane->ItemIndex() >= 0);

  // Locked, Latest takes no copy; the key does nothing else either.
  f.Action(app::TCommand::LockLatest)->trigger();
  QTest::keyClick(pane, Qt::Key_Left, Qt::AltModifier);
  QCOMPARE(session.LatestTopic()->WholeText(), before);
  QVERIFY(!f.isWindowModified());
  f.Action(app::TCommand::LockLatest)->trigger();

  QTest::keyClick(pane, Qt::Key_Left, Qt::AltModifier);
  QCOMPARE(session.EntryClass(entry), tcIdentical);
  QVERIFY(ChangeBlocks(session.Selection()).empty());
  QVERIFY(f.isWindowModified());
  QCOMPARE(f.Action(app::TCommand::Undo)->text(), QStringLiteral("&Undo Copy Change 1 to Latest"));
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("Identical"));

  QTest::keyClick(pane, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(session.LatestTopic()->WholeText(), before);
  QCOMPARE(session.EntryClass(entry), tcDifferent);
  QVERIFY(!f.isWindowModified());

  // Into History, going on to the next change (there is none: the row stays).
  QTest::keyClick(pane, Qt::Key_F7);
  QTest::keyClick(pane, Qt::Key_Right, Qt::ControlModifier | Qt::AltModifier);
  QCOMPARE(session.PlainTextOf(session.HistoryTopic()), session.PlainTextOf(session.LatestTopic()));
  QVERIFY(session.History().Modified() && !session.Latest().Modified());
  QCOMPARE(f.Action(app::TCommand::Undo)->text(), QStringLiteral("&Undo Copy Change 1 to History"));
  QTest::keyClick(pane, Qt::Key_Z, Qt::ControlModifier);

  // The block's arrows sit in the gutter level with its first row; the
  // picture is left for review. Locked, History shows no arrow toward it.
  const int row = ChangeBlocks(session.Selection()).front().FirstRow;
  QWidget* gutter = h.dvDiffViewer1->findChild<QWidget*>(QStringLiteral("CopyGutter"));
  QVERIFY(gutter != nullptr && gutter->isVisible());
  f.Action(app::TCommand::LockHistory)->trigger();
  QVERIFY(h.dvDiffViewer1->CopyArrowRect(row, false).isEmpty());
  f.Action(app::TCommand::LockHistory)->trigger();
  const QRect arrow = h.dvDiffViewer1->CopyArrowRect(row, true);
  QVERIFY(!arrow.isEmpty() && !h.dvDiffViewer1->CopyArrowRect(row, false).isEmpty());
  const QString folder = QDir::currentPath() + QStringLiteral("/screenshots");
  QDir().mkpath(folder);
  QVERIFY(h.dvDiffViewer1->grab().save(folder + QStringLiteral("/copy-arrows.png")));

  // The arrow toward Latest copies the block there; saved, only Getting
  // Started differs from the file.
  QTest::mouseClick(gutter, Qt::LeftButton, {}, gutter->mapFrom(h.dvDiffViewer1, arrow.center()));
  QCOMPARE(session.EntryClass(entry), tcIdentical);
  QCOMPARE(f.Action(app::TCommand::Undo)->text(), QStringLiteral("&Undo Copy Change 1 to Latest"));
  QTest::keyClick(&f, Qt::Key_S, Qt::ControlModifier);
  QVERIFY(!session.Latest().Modified());
  TQuillcrafterDoc written;
  written.LoadFromFile(app::FileNameToCore(latest));
  QCOMPARE(written.Topics().Count(), saved.Topics().Count());
  for (int i = 0; i < saved.Topics().Count(); ++i) {
    TQCTopic* was = saved.Topics().Items(i);
    TQCTopic* now = TopicOf(written, was->TopicID());
    QCOMPARE(now->WholeText() == was->WholeText(), was->TopicID() != 2);
  }
  QCOMPARE(TopicOf(written, 2)->WholeText(), TopicOf(session.History(), 2)->WholeText());

  // A row that reads the same but looks different takes History's look
  // from the row's context menu, as one step.
  int formatted = 0;
  while (formatted < session.EntryCount() &&
         (session.Select(formatted), session.SelectedFormatChanges().empty()))
    ++formatted;
  QVERIFY(formatted < session.EntryCount());
  const size_t formatRows = session.SelectedFormatChanges().size();
  const std::string plain = session.PlainTextOf(session.LatestTopic());
  pane->SetItemIndex(session.SelectedFormatChanges().front().Row);
  QVERIFY(pane->actions().contains(f.Action(app::TCommand::CopyFormattingToLatest)));
  f.Action(app::TCommand::CopyFormattingToLatest)->trigger();
  QCOMPARE(session.SelectedFormatChanges().size(), formatRows - 1);
  QCOMPARE(session.PlainTextOf(session.LatestTopic()), plain);
  QCOMPARE(f.Action(app::TCommand::Undo)->text(), QStringLiteral("&Undo Copy Formatting to Latest"));
}

QTEST_MAIN(TestSingleChange)
#include "test_SingleChange.moc"
