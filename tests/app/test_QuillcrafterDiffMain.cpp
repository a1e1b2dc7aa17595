/// Tests for QuillcrafterDiffMain: the whole window, driven as a user drives
/// it (buttons, list clicks, shortcuts), with the file dialogs and the
/// message box played by the test.

#include <QAbstractScrollArea>
#include <QAccessible>
#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QSplitter>
#include <QTest>
#include <QToolButton>

#include "AppTestSupport.h"
#include "app/AppText.h"
#include "app/RichEditBridge.h"
#include "diff/dvDiffEngine.h"
#include "diffview/dvDiffViewer.h"
#include "diffview/dvListControl.h"
#include "document/QuillcrafterDoc.h"

using namespace apptest;
using app::TfrmMain;

namespace {

// With nothing open there is nothing to count.
const QStringList kDesignPanels(6, QString());

// The standard pair leaves 3 History topics unmatched by ID, 2 by title and 1 by ID or title.
QStringList panel_texts(int different, int identical, int identicalText, int fresh, const char* pair,
                        int deleted = 3) {
  return {QStringLiteral("Different Topics: %1").arg(different),
          QStringLiteral("Identical Topics: %1").arg(identical),
          QStringLiteral("Identical Text Topics: %1").arg(identicalText),
          QStringLiteral("New Topics: %1").arg(fresh),
          QStringLiteral("Deleted Topics: %1").arg(deleted),
          QLatin1String(pair)};
}

QStringList kinds_of(const TStringList& result) {
  QStringList kinds;
  for (int i = 0; i < result.Count(); ++i) kinds << QString::number(DiffEntryKind(result[i]));
  return kinds;
}

// "enabled" or "disabled" when all four copy actions agree, as the one
// enabling rule demands; "mixed" otherwise.
QString action_state(const TfrmMain& form) {
  int enabled = 0;
  for (QAction* action :
       {form.Action(app::TCommand::CopyToLatest), form.Action(app::TCommand::CopyTextToLatest),
        form.Action(app::TCommand::CopyToHistory), form.Action(app::TCommand::CopyTextToHistory)})
    enabled += action->isEnabled() ? 1 : 0;
  return enabled == 4   ? QStringLiteral("enabled")
         : enabled == 0 ? QStringLiteral("disabled")
                        : QStringLiteral("mixed");
}

// The ink of a text: of the pixels that differ from the background, the one
// farthest from it. Anti-aliased edges blend towards the background, so the
// farthest pixel is the pen colour itself or close to it.
QColor ink_of(const QImage& image, const QRect& area) {
  const QColor background = image.pixelColor(area.right() - 1, area.center().y());
  QColor ink = background;
  int best = 0;
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      const int d = std::abs(c.red() - background.red()) + std::abs(c.green() - background.green()) +
                    std::abs(c.blue() - background.blue());
      if (d > best) {
        best = d;
        ink = c;
      }
    }
  return ink;
}

bool near_colour(const QColor& a, const QColor& b) {
  return std::abs(a.red() - b.red()) <= 40 && std::abs(a.green() - b.green()) <= 40 &&
         std::abs(a.blue() - b.blue()) <= 40;
}

#define QVERIFY_INK(image, rect, colour)                                                \
  do {                                                                                  \
    const QColor ink_ = ink_of(image, rect);                                            \
    QVERIFY2(near_colour(ink_, colour),                                                 \
             qPrintable(ink_.name() + QStringLiteral(" != ") + QColor(colour).name())); \
  } while (false)

}  // namespace

class TestMainWindow : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void panelTextsBeforeFirstOpen();
  void openBothFiles();
  void openHistoryCancelled();
  void openFirstDialogCancelled();
  void openBrokenLatest();
  void openBrokenHistory();
  void countsPerMatchMode_data();
  void countsPerMatchMode();
  void listColoursAndHighlight();
  void clickDifferentIdenticalNew();
  void clickKeepsPairAcrossModeChangeAndOpen();
  void formattingOnlyDifference();
  void copyActions_data();
  void copyActions();
  void copyIntoHistoryTopicMatchedTwice();
  void saveAsLoadsBackEqual();
  void failedSaveKeepsOldFile();
  void shortcutsFollowEnabling();
  void keyboardStartsInTheListWithAMark();
  void narrowWindowShrinksBothPanes();
  void nextRunRestoresGeometryAndPanes();
  void f8AndF7MoveThroughTheDifferences();
  void classesAreSpokenNotOnlyColoured();
  void topicsOnlyInHistoryAreListedCopiedAndUndone();
  void startFilesOpenTheExamplePair();
};

void TestMainWindow::panelTextsBeforeFirstOpen() {
  THarness h;
  TfrmMain& f = h.form;
  QVERIFY(f.windowTitle().startsWith(QStringLiteral("Quillcrafter Journeyman Diff v1.0.0.1 Copyright")));
  QCOMPARE(h.PanelTexts(), kDesignPanels);
  QCOMPARE(h.GroupBox1->title(), QStringLiteral("File"));
  QCOMPARE(h.GroupBox2->title(), QStringLiteral("File"));
  QCOMPARE(h.cbMatch->count(), 3);
  QCOMPARE(h.cbMatch->itemText(2), QStringLiteral("Match Topics By ID or Title"));
  QCOMPARE(h.cbMatch->currentIndex(), 0);
  QVERIFY(!h.cbMatch->isEditable());
  QCOMPARE(h.lbTopics->Count(), 0);
  QCOMPARE(action_state(f), QStringLiteral("disabled"));
  // The window's initial layout.
  QCOMPARE(f.frameGeometry().size(), QSize(905, 729));
  QCOMPARE(h.StatusBar1->height(), 19);
  QCOMPARE(h.Panel1->width(), 217);
  QCOMPARE(h.Panel4->height(), 320);
  QCOMPARE(h.Panel6->height(), 41);
  QCOMPARE(h.Panel2->height(), 41);
  QCOMPARE(h.GroupBox1->width(), 304);
  QCOMPARE(h.Panel5->width(), 65);
  QCOMPARE(h.Splitter1->handleWidth(), 3);
  QCOMPARE(h.Splitter2->handleWidth(), 3);
  QCOMPARE(h.btnOpenFiles->text(), QStringLiteral("Open..."));
  QCOMPARE(h.btnSaveFile->text(), QStringLiteral("Save As..."));
  QCOMPARE(h.lbTopics->ItemHeight(), 13);
  // A larger window grows the list, the right text and the viewer; the docked parts keep their sizes.
  f.resize(f.width() + 100, f.height() + 80);
  QCoreApplication::processEvents();
  QCOMPARE(h.Panel1->width(), 217);
  QCOMPARE(h.Panel4->height(), 320);
  QCOMPARE(h.GroupBox1->width(), 304);
  // Widening the left pane stretches the match list; Save keeps its distance to the right edge.
  const int matchWidth = h.cbMatch->width();
  const int saveMargin = h.Panel1->width() - h.btnSaveFile->geometry().right();
  const int openX = h.btnOpenFiles->x();
  h.Splitter1->setSizes({317, h.Splitter1->width() - 317 - 3});
  QCoreApplication::processEvents();
  QCOMPARE(h.cbMatch->width(), matchWidth + 100);
  QCOMPARE(h.Panel1->width() - h.btnSaveFile->geometry().right(), saveMargin);
  QCOMPARE(h.btnOpenFiles->x(), openX);
  QVERIFY(app::RichEditReadOnly(*h.RichEdit1) && app::RichEditReadOnly(*h.RichEdit2));
  QCOMPARE(h.dvDiffViewer1->Src1Label(), std::string("Latest"));
  QCOMPARE(h.dvDiffViewer1->Src2Label(), std::string("History"));
  // Actions: hint, shortcut, the button that carries each.
  struct {
    QAction* action;
    QToolButton* button;
    const char* hint;
    QKeySequence keys;
  } const actions[] = {
      {f.Action(app::TCommand::CopyToLatest), h.SpeedButton1, "Copy ENTIRE Topic from History to Latest",
       QKeySequence(Qt::CTRL | Qt::Key_E)},
      {f.Action(app::TCommand::CopyTextToLatest), h.SpeedButton2,
       "Copy Topic TEXT ONLY from History to Latest", QKeySequence(Qt::CTRL | Qt::Key_T)},
      {f.Action(app::TCommand::CopyTextToHistory), h.SpeedButton3,
       "Copy Topic TEXT ONLY from Latest to History", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_T)},
      {f.Action(app::TCommand::CopyToHistory), h.SpeedButton4, "Copy ENTIRE Topic from Latest to History",
       QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_E)},
  };
  for (const auto& a : actions) {
    // The hint, with the shortcut in the usual form.
    QCOMPARE(a.action->toolTip(),
             QStringLiteral("%1 (%2)").arg(QLatin1String(a.hint), a.keys.toString(QKeySequence::NativeText)));
    QCOMPARE(a.action->statusTip(), QLatin1String(a.hint));
    QCOMPARE(a.action->shortcut(), a.keys);
    QCOMPARE(a.button->defaultAction(), a.action);
    QVERIFY(!a.button->isEnabled());
  }
  // Dialogs.
  QCOMPARE(f.OpenDialog1->Title(), QStringLiteral("Open Latest Quillcrafter File"));
  QCOMPARE(f.OpenDialog2->Title(), QStringLiteral("Open Quillcrafter History File"));
  QCOMPARE(f.SaveDialog1->Title(), QStringLiteral("Save Latest File As..."));
  for (app::TFileDialog* d : {f.OpenDialog1, f.OpenDialog2, f.SaveDialog1}) {
    QCOMPARE(d->Filter(), QStringLiteral("Quillcrafter File (*.qcp)|*.qcp"));
    QCOMPARE(d->DefaultExt(), QStringLiteral("qcp"));
  }
  QVERIFY(f.OpenDialog1->HasOption(app::TOpenOption::ofFileMustExist));
  QVERIFY(f.SaveDialog1->HasOption(app::TOpenOption::ofOverwritePrompt));
  // The documents' settings before any file is loaded.
  QCOMPARE(f.Session().Latest().Options().FileVersion(), 13);
  QCOMPARE(f.Session().History().RecentFiles().MaxCount(), 4);
  const int sourceCode = f.Session().Latest().TextMacros().IndexOfDisplayName("*SourceCode");
  QVERIFY(sourceCode >= 0);
  QCOMPARE(f.Session().Latest().TextMacros().Items(sourceCode)->Size(), 10);
  // Once files are open, the owner-drawn panels show their counts in the class colours.
  h.OpenStandardPair();
  const QImage bar = h.StatusBar1->grab().toImage();
  QVERIFY_INK(bar, h.StatusBar1->PanelRect(0), QColor(200, 0, 0));
  QVERIFY_INK(bar, h.StatusBar1->PanelRect(1), QColor(0, 0, 0));
  QVERIFY_INK(bar, h.StatusBar1->PanelRect(2), QColor(128, 128, 128));
  QVERIFY_INK(bar, h.StatusBar1->PanelRect(3), QColor(0, 0, 255));
  QVERIFY_INK(bar, h.StatusBar1->PanelRect(4), QColor(128, 128, 0));
}

void TestMainWindow::openBothFiles() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  QCOMPARE(h.ListTexts(), (QStringList{QStringLiteral("Introduction (1)"), QStringLiteral("Installing (2)"),
                                       QStringLiteral("Licence (3)"), QStringLiteral("New Feature (4)"),
                                       QStringLiteral("Moved (5)"), QStringLiteral("Renamed Latest (6)"),
                                       QStringLiteral("TQCTopic (7)"), QStringLiteral("Installing (12)"),
                                       // then the History topics no Latest topic matches
                                       QStringLiteral("Only in History (8)"), QStringLiteral("Moved (50)"),
                                       QStringLiteral("TQCTopic (70)")}));
  QCOMPARE(h.lbTopics->ItemIndex(), -1);
  QCOMPARE(h.PanelTexts(), panel_texts(1, 1, 2, 4, ""));
  // Captions name the files; the tooltips give their paths.
  QCOMPARE(h.GroupBox1->title(), QStringLiteral("Latest.qcp"));
  QCOMPARE(h.GroupBox2->title(), QStringLiteral("History.qcp"));
  QCOMPARE(h.GroupBox1->toolTip(), h.Path(QStringLiteral("Latest.qcp")));
  QCOMPARE(h.GroupBox2->toolTip(), h.Path(QStringLiteral("History.qcp")));
  QCOMPARE(f.SaveDialog1->FileName(), h.Path(QStringLiteral("Latest.qcp")));
  QVERIFY(f.LatestTopic() == nullptr && f.HistoryTopic() == nullptr);
  QCOMPARE(action_state(f), QStringLiteral("disabled"));
}

void TestMainWindow::openHistoryCancelled() {
  THarness h;
  // A file name beyond ASCII opens and shows as it is.
  const QString latest = h.Path(QStringLiteral("L \u00E9t\u00E9.qcp"));
  WriteProject(latest, StandardLatest());
  WriteProject(h.Path(QStringLiteral("H.qcp")), StandardHistory());
  // First open, History cancelled: everything is New against the empty History.
  h.Open(latest, QString());
  QCOMPARE(h.historyShown, 1);
  QCOMPARE(h.PanelTexts(), panel_texts(0, 0, 0, 8, "", 0));
  QCOMPARE(h.GroupBox2->title(), QStringLiteral("File"));
  QCOMPARE(h.GroupBox1->toolTip(), latest);
  QCOMPARE(h.GroupBox1->title(), QStringLiteral("L \u00E9t\u00E9.qcp"));
  // With History opened and then cancelled on a later open, the earlier History stays.
  h.Open(latest, h.Path(QStringLiteral("H.qcp")));
  QCOMPARE(h.PanelTexts(), panel_texts(1, 1, 2, 4, ""));
  h.Open(latest, QString());
  QCOMPARE(h.PanelTexts(), panel_texts(1, 1, 2, 4, ""));
  QCOMPARE(h.GroupBox2->toolTip(), h.Path(QStringLiteral("H.qcp")));
  QVERIFY(h.messages.isEmpty());
}

void TestMainWindow::openFirstDialogCancelled() {
  THarness h;
  h.OpenStandardPair();
  h.ClickTopic(1);
  const QStringList panels = h.PanelTexts();
  const QStringList list = h.ListTexts();
  h.latestAnswers = QStringList{QString()};
  h.ClickOpen();
  QCOMPARE(h.historyShown, 1);  // only the first open asked for History
  QCOMPARE(h.ListTexts(), list);
  QCOMPARE(h.PanelTexts(), panels);
  QCOMPARE(h.lbTopics->ItemIndex(), 1);
  QVERIFY(h.form.LatestTopic() != nullptr);
  QCOMPARE(h.form.Session().Latest().Topics().Count(), 8);
}

void TestMainWindow::openBrokenLatest() {
  THarness h;
  h.OpenStandardPair();
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  const QStringList panels = h.PanelTexts();
  const QStringList entries = h.ListTexts();
  const QStringList shown = app::RichEditLines(*h.RichEdit2);
  TQCTopic* orig = h.form.LatestTopic();
  QFile broken(h.Path(QStringLiteral("Broken.qcp")));
  QVERIFY(broken.open(QIODevice::WriteOnly));
  broken.write("This is not a project file.\r\n");
  broken.close();
  h.Open(h.Path(QStringLiteral("Broken.qcp")), h.Path(QStringLiteral("History.qcp")));
  QCOMPARE(h.messages.size(), 1);
  QCOMPARE(h.historyShown, 1);  // the History dialog of the failed open never came
  // Everything is as before: entries, counts, captions, the pair and its texts.
  QCOMPARE(h.ListTexts(), entries);
  QCOMPARE(h.PanelTexts(), panels);
  QCOMPARE(h.GroupBox1->toolTip(), h.Path(QStringLiteral("Latest.qcp")));
  QCOMPARE(h.form.LatestTopic(), orig);
  QCOMPARE(app::RichEditLines(*h.RichEdit2), shown);
  QCOMPARE(action_state(h.form), QStringLiteral("enabled"));
  QCOMPARE(h.form.Session().Latest().Topics().Count(), 8);
  // A file that does not exist fails alike, with the file name in the message.
  h.Open(h.Path(QStringLiteral("Missing \u00E9t\u00E9.qcp")), QString());
  QCOMPARE(h.messages.size(), 2);
  QVERIFY2(h.messages[1].contains(QStringLiteral("Missing \u00E9t\u00E9.qcp")), qPrintable(h.messages[1]));
}

void TestMainWindow::openBrokenHistory() {
  THarness h;
  h.OpenStandardPair();
  const QStringList panels = h.PanelTexts();
  WriteProject(h.Path(QStringLiteral("Other.qcp")), {{9, "Other", {"Other."}, ""}});
  QFile broken(h.Path(QStringLiteral("Broken.qcp")));
  QVERIFY(broken.open(QIODevice::WriteOnly));
  broken.write("Quillcrafter project file.\r\n13\r\n");  // cut short after the header
  broken.close();
  h.Open(h.Path(QStringLiteral("Other.qcp")), h.Path(QStringLiteral("Broken.qcp")));
  // The broken History is named; the good Latest opens beside the History shown before.
  QCOMPARE(h.messages.size(), 1);
  QVERIFY2(h.messages[0].startsWith(QStringLiteral("Broken.qcp: ")), qPrintable(h.messages[0]));
  QCOMPARE(h.GroupBox1->toolTip(), h.Path(QStringLiteral("Other.qcp")));
  QCOMPARE(h.GroupBox2->toolTip(), h.Path(QStringLiteral("History.qcp")));
  QCOMPARE(h.form.Session().Latest().Topics().Count(), 1);
  QCOMPARE(h.form.Session().History().Topics().Count(), 7);
  QVERIFY(h.PanelTexts() != panels);
}

void TestMainWindow::countsPerMatchMode_data() {
  QTest::addColumn<int>("mode");
  QTest::addColumn<QStringList>("panels");
  QTest::newRow("by ID") << 0 << panel_texts(1, 1, 2, 4, "");
  QTest::newRow("by title") << 1 << panel_texts(3, 1, 2, 2, "", 2);
  QTest::newRow("by ID or title") << 2 << panel_texts(3, 1, 3, 1, "", 1);
}

void TestMainWindow::countsPerMatchMode() {
  QFETCH(int, mode);
  QFETCH(QStringList, panels);
  THarness h;
  h.OpenStandardPair();
  h.cbMatch->setCurrentIndex(mode);
  QCOMPARE(h.PanelTexts(), panels);
  QCOMPARE(QStringLiteral("Deleted Topics: %1").arg(h.form.DeletedCount()), panels[4]);
  // And back to matching by ID gives the counts of the open again.
  h.cbMatch->setCurrentIndex(0);
  QCOMPARE(h.PanelTexts(), panel_texts(1, 1, 2, 4, ""));
}

void TestMainWindow::listColoursAndHighlight() {
  THarness h;
  h.OpenStandardPair();
  const QColor red(200, 0, 0), black(0, 0, 0), gray(128, 128, 128), blue(0, 0, 255);
  auto rowImage = [&](int row) {
    QCoreApplication::processEvents();  // the list lays its items out when idle
    const QImage image = h.lbTopics->viewport()->grab().toImage();
    return std::make_pair(image, h.lbTopics->visualRect(h.lbTopics->model()->index(row, 0)));
  };
  struct {
    int row;
    QColor colour;
  } const byID[] = {{0, black}, {1, red}, {2, gray}, {3, blue}, {4, blue}, {5, gray}};
  for (const auto& expected : byID) {
    const auto [image, rect] = rowImage(expected.row);
    QVERIFY_INK(image, rect, expected.colour);
  }
  // A new match mode recolours the entries: "Moved (5)" turns from New to Identical Text.
  h.cbMatch->setCurrentIndex(1);
  {
    const auto [image, rect] = rowImage(4);
    QVERIFY_INK(image, rect, gray);
  }
  // A selected New topic is drawn in the highlight colours, not in blue.
  h.cbMatch->setCurrentIndex(0);
  h.ClickTopic(3);
  const auto [image, rect] = rowImage(3);
  const QColor highlight = app::ToQColor(clHighlight);
  const QColor highlightText = app::ToQColor(clHighlightText);
  QCOMPARE(image.pixelColor(rect.right() - 3, rect.center().y()), highlight);
  QVERIFY_INK(image, rect, highlightText);
}

void TestMainWindow::clickDifferentIdenticalNew() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;

  // Different: both texts shown, the changed line paired, actions on.
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  QCOMPARE(app::RichEditLines(*h.RichEdit1),
           (QStringList{QStringLiteral("Step one: unpack."), QStringLiteral("Step two: run setup."),
                        QStringLiteral("Step three: enjoy.")}));
  QCOMPARE(app::RichEditLines(*h.RichEdit2).value(1), QStringLiteral("Step two: run the installer."));
  QCOMPARE(h.dvDiffViewer1->Src1Label(), std::string("Installing"));
  QCOMPARE(h.dvDiffViewer1->Src2Label(), std::string("Installing"));
  QCOMPARE(kinds_of(f.Session().DiffEngine().Result1()).mid(0, 3),
           (QStringList{QStringLiteral("1"), QStringLiteral("4"), QStringLiteral("1")}));
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("Different"));
  QCOMPARE(action_state(f), QStringLiteral("enabled"));

  // Identical: same texts, no difference rows, actions off.
  h.ClickTopic(h.RowOf(QStringLiteral("Introduction (1)")));
  QCOMPARE(app::RichEditLines(*h.RichEdit1), app::RichEditLines(*h.RichEdit2));
  QVERIFY(!kinds_of(f.Session().DiffEngine().Result1()).isEmpty());
  for (const QString& kind : kinds_of(f.Session().DiffEngine().Result1()))
    QCOMPARE(kind, QStringLiteral("1"));
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("Identical"));
  QCOMPARE(action_state(f), QStringLiteral("disabled"));

  // New: right side empty and uncaptioned, every line only on the left.
  h.ClickTopic(h.RowOf(QStringLiteral("New Feature (4)")));
  QCOMPARE(app::RichEditLines(*h.RichEdit2).join(QString()), QString());
  QCOMPARE(h.dvDiffViewer1->Src1Label(), std::string("New Feature"));
  QCOMPARE(h.dvDiffViewer1->Src2Label(), std::string());
  for (const QString& kind : kinds_of(f.Session().DiffEngine().Result1()))
    QCOMPARE(kind, QStringLiteral("2"));
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("New"));
  QVERIFY(f.HistoryTopic() == nullptr);
  // Only the entire copy into History applies to a topic History lacks.
  QVERIFY(f.Action(app::TCommand::CopyToHistory)->isEnabled());
  QVERIFY(!f.Action(app::TCommand::CopyToLatest)->isEnabled() &&
          !f.Action(app::TCommand::CopyTextToLatest)->isEnabled() &&
          !f.Action(app::TCommand::CopyTextToHistory)->isEnabled());

  // An empty title gives an empty left caption; the same click twice gives the same result.
  h.ClickTopic(h.RowOf(QStringLiteral("TQCTopic (7)")));
  QCOMPARE(h.dvDiffViewer1->Src1Label(), std::string());
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  const QStringList first = kinds_of(f.Session().DiffEngine().Result2());
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  QCOMPARE(kinds_of(f.Session().DiffEngine().Result2()), first);
  // The strip above the texts says why a pair with the same text is not identical.
  auto* strip = f.findChild<QLabel*>(QStringLiteral("DifferencesStrip"));
  h.ClickTopic(h.RowOf(QStringLiteral("Licence (3)")));
  QVERIFY(strip->isVisible());
  QVERIFY2(strip->toolTip().contains(QStringLiteral("Keywords: +terms")), qPrintable(strip->toolTip()));
  h.ClickTopic(h.RowOf(QStringLiteral("Introduction (1)")));
  QVERIFY(strip->text().isEmpty());
  QVERIFY(h.messages.isEmpty());
}

void TestMainWindow::clickKeepsPairAcrossModeChangeAndOpen() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  h.ClickTopic(h.RowOf(QStringLiteral("Moved (5)")));  // New under ID matching
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("New"));
  TQCTopic* orig = f.LatestTopic();
  // A new mode keeps the topic and shows its partner under that mode: by
  // title, Moved (5) is History's topic 50.
  h.cbMatch->setCurrentIndex(1);
  QCOMPARE(f.LatestTopic(), orig);
  QVERIFY(f.HistoryTopic() != nullptr);
  QCOMPARE(f.HistoryTopic()->TopicID(), 50);
  QCOMPARE(h.dvDiffViewer1->Src2Label(), f.HistoryTopic()->Title());
  QVERIFY(!app::RichEditLines(*h.RichEdit2).join(QString()).isEmpty());
  QCOMPARE(h.PanelTexts().mid(0, 5), panel_texts(3, 1, 2, 2, "", 2).mid(0, 5));
  QCOMPARE(h.PanelTexts().last(),
           QString::fromUtf8(ClassInfo(f.Session().EntryClass(f.Session().SelectedIndex())).Label));
  // An open shows the new files: no pair, nothing left of the old one.
  h.Open(h.Path(QStringLiteral("Latest.qcp")), h.Path(QStringLiteral("History.qcp")));
  QVERIFY(f.LatestTopic() == nullptr && f.HistoryTopic() == nullptr);
  QCOMPARE(app::RichEditLines(*h.RichEdit1).join(QString()), QString());
  QCOMPARE(app::RichEditLines(*h.RichEdit2).join(QString()), QString());
  QCOMPARE(h.dvDiffViewer1->Src1Label(), std::string("Latest"));
  QCOMPARE(f.Session().DiffEngine().Result1().Count(), 0);
  QCOMPARE(h.PanelTexts().last(), QString());
  QCOMPARE(h.lbTopics->ItemIndex(), -1);
}

void TestMainWindow::formattingOnlyDifference() {
  THarness h;
  WriteProject(h.Path(QStringLiteral("L.qcp")),
               {{1, "Bold", {"*Important note here.", "  Indented line"}, ""}});
  WriteProject(h.Path(QStringLiteral("H.qcp")),
               {{1, "Bold", {"Important note here.", "Indented line  "}, ""}});
  h.Open(h.Path(QStringLiteral("L.qcp")), h.Path(QStringLiteral("H.qcp")));
  QCOMPARE(h.PanelTexts(), panel_texts(1, 0, 0, 0, "", 0));
  h.ClickTopic(0);
  // Different for the classification, yet every rendered line compares equal
  // (bold alone, and blanks at either end, do not count).
  for (const QString& kind : kinds_of(h.form.Session().DiffEngine().Result1()))
    QCOMPARE(kind, QStringLiteral("1"));
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("Different"));
}

void TestMainWindow::copyActions_data() {
  QTest::addColumn<QString>("action");
  QTest::addColumn<QString>("topic");
  QTest::addColumn<int>("mode");
  QTest::addColumn<QStringList>("panels");
  QTest::addColumn<bool>("enabledAfter");
  // Entire topic, same ID and context string: the pair becomes identical.
  QTest::newRow("entire to Latest, matched by ID")
      << "CopyToLatest"
      << "Installing (2)" << 0 << panel_texts(0, 2, 2, 4, "Identical") << false;
  QTest::newRow("entire to History, matched by ID")
      << "CopyToHistory"
      << "Licence (3)" << 0 << panel_texts(1, 2, 1, 4, "Identical") << false;
  // Entire topic across different IDs: equal texts, still not identical.
  QTest::newRow("entire to Latest, matched by title")
      << "CopyToLatest"
      << "TQCTopic (7)" << 1 << panel_texts(2, 1, 3, 2, "Identical text", 2) << true;
  // Text only: identical when nothing else differed, else identical text.
  QTest::newRow("text to Latest") << "CopyTextToLatest"
                                  << "Installing (2)" << 0 << panel_texts(0, 2, 2, 4, "Identical") << false;
  QTest::newRow("text to History, title differs")
      << "CopyTextToHistory"
      << "Installing (12)" << 1 << panel_texts(1, 2, 3, 2, "Identical text", 2) << true;
}

void TestMainWindow::copyActions() {
  QFETCH(QString, action);
  QFETCH(QString, topic);
  QFETCH(int, mode);
  QFETCH(QStringList, panels);
  QFETCH(bool, enabledAfter);
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  h.cbMatch->setCurrentIndex(mode);
  h.ClickTopic(h.RowOf(topic));
  QCOMPARE(action_state(f), QStringLiteral("enabled"));
  const std::string src1Label = h.dvDiffViewer1->Src1Label();
  const QStringList historyText = app::RichEditLines(*h.RichEdit2);
  const QStringList latestText = app::RichEditLines(*h.RichEdit1);
  QAction* a = f.findChild<QAction*>(action);
  QVERIFY(a != nullptr);
  QToolButton* button = nullptr;
  for (QToolButton* b : {h.SpeedButton1, h.SpeedButton2, h.SpeedButton3, h.SpeedButton4})
    if (b->defaultAction() == a) button = b;
  QVERIFY(button != nullptr);
  QTest::mouseClick(button, Qt::LeftButton);
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  QCOMPARE(h.PanelTexts(), panels);
  QCOMPARE(action_state(f), enabledAfter ? QStringLiteral("enabled") : QStringLiteral("disabled"));
  // Both sides now show the same text at once, without a click; the caption waits for the next click.
  if (action.endsWith(QLatin1String("Latest")))
    QCOMPARE(app::RichEditLines(*h.RichEdit1), historyText);
  else
    QCOMPARE(app::RichEditLines(*h.RichEdit2), latestText);
  QCOMPARE(app::RichEditLines(*h.RichEdit1), app::RichEditLines(*h.RichEdit2));
  for (const QString& kind : kinds_of(f.Session().DiffEngine().Result1()))
    QCOMPARE(kind, QStringLiteral("1"));
  QCOMPARE(h.dvDiffViewer1->Src1Label(), src1Label);
  QVERIFY(f.LatestTopic()->TextEquals(*f.HistoryTopic()));
  // The same counts of the Latest topics as a recount from scratch gives.
  const TTopicCounters fresh =
      RecountTopics(f.Session().Latest().Topics(), f.Session().History().Topics(), f.MatchMode());
  for (int kind = 0; kind < tcDeleted; ++kind) QCOMPARE(f.Counters().Counts[kind], fresh.Counts[kind]);
}

void TestMainWindow::copyIntoHistoryTopicMatchedTwice() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  h.cbMatch->setCurrentIndex(1);  // Installing (2) and Installing (12) both match History 2
  QCOMPARE(h.PanelTexts(), panel_texts(3, 1, 2, 2, "", 2));
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  QTest::mouseClick(h.SpeedButton4, Qt::LeftButton);  // entire topic into History
  // Latest 2 is now identical, and Latest 12 (same text, other ID) identical text.
  QCOMPARE(h.PanelTexts(), panel_texts(1, 2, 3, 2, "Identical", 2));
  QCOMPARE(f.Session().History().Topics().Items(f.Session().History().Topics().IndexOfTopicID(2))->Title(),
           std::string("Installing"));
  QCoreApplication::processEvents();
  const QImage image = h.lbTopics->viewport()->grab().toImage();
  const QRect row12 =
      h.lbTopics->visualRect(h.lbTopics->model()->index(h.RowOf(QStringLiteral("Installing (12)")), 0));
  QVERIFY_INK(image, row12, QColor(128, 128, 128));
}

void TestMainWindow::saveAsLoadsBackEqual() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  QTest::mouseClick(h.SpeedButton2, Qt::LeftButton);  // text into Latest
  const QString saved = h.Path(QStringLiteral("Saved.qcp"));
  h.ClickSave(saved);
  QCOMPARE(h.saveShown, 1);
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  TQuillcrafterDoc back;
  back.LoadFromFile(app::FileNameToCore(saved));
  const TQCTopics& a = f.Session().Latest().Topics();
  QCOMPARE(back.Topics().Count(), a.Count());
  for (int i = 0; i < a.Count(); ++i) QVERIFY(back.Topics().Items(i)->IsEqual(a.Items(i)));
  // Nothing else changes on save; cancelling the dialog writes nothing.
  // The Latest side is the saved file now, and the status bar says where it went.
  QCOMPARE(h.GroupBox1->Caption(), QStringLiteral("Saved.qcp"));
  QCOMPARE(h.GroupBox1->toolTip(), saved);
  QCOMPARE(f.SaveDialog1->FileName(), saved);
  QCOMPARE(f.Session().LatestFileName(), app::FileNameToCore(saved));
  QVERIFY2(h.StatusBar1->Message().contains(saved), qPrintable(h.StatusBar1->Message()));
  QCOMPARE(h.PanelTexts(), panel_texts(0, 2, 2, 4, "Identical"));
  QFile::remove(saved);
  h.ClickSave(QString());
  QVERIFY(!QFile::exists(saved));
}

void TestMainWindow::failedSaveKeepsOldFile() {
  THarness h;
  h.OpenStandardPair();
  const QString target = h.Path(QStringLiteral("Latest.qcp"));
  QFile file(target);
  QVERIFY(file.open(QIODevice::ReadOnly));
  const QByteArray before = file.readAll();
  file.close();
  // A file size limit makes the write fail part-way (even for root).
  WithFileSizeLimit(64, [&] { h.ClickSave(target); });
  QCOMPARE(h.messages.size(), 1);
  QVERIFY(file.open(QIODevice::ReadOnly));
  QCOMPARE(file.readAll(), before);
  // A folder that does not exist fails with a message too.
  h.ClickSave(h.Path(QStringLiteral("no/such/folder/x.qcp")));
  QCOMPARE(h.messages.size(), 2);
  QCOMPARE(h.form.Session().Latest().Topics().Count(), 8);
}

void TestMainWindow::shortcutsFollowEnabling() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  f.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  auto latest2 = [&] {
    return f.Session().Latest().Topics().Items(f.Session().Latest().Topics().IndexOfTopicID(2));
  };
  const std::string text = latest2()->WholeText();
  // No pair: every shortcut does nothing.
  for (auto keys : {Qt::Key_E, Qt::Key_T}) {
    QTest::keyClick(&f, keys, Qt::ControlModifier);
    QTest::keyClick(&f, keys, Qt::ControlModifier | Qt::AltModifier);
  }
  QCOMPARE(latest2()->WholeText(), text);
  QCOMPARE(h.PanelTexts(), panel_texts(1, 1, 2, 4, ""));
  // An identical pair: still nothing.
  h.ClickTopic(h.RowOf(QStringLiteral("Introduction (1)")));
  QTest::keyClick(h.lbTopics, Qt::Key_T, Qt::ControlModifier);
  QCOMPARE(h.PanelTexts(), panel_texts(1, 1, 2, 4, "Identical"));
  // A New topic after a differing one: the copies from History and of text
  // alone are off, buttons and shortcuts alike, and look it.
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  QCOMPARE(action_state(f), QStringLiteral("enabled"));
  QCoreApplication::processEvents();
  const QImage enabledLook = h.SpeedButton1->grab().toImage();
  h.ClickTopic(h.RowOf(QStringLiteral("New Feature (4)")));
  QVERIFY(f.HistoryTopic() == nullptr);
  for (QToolButton* b : {h.SpeedButton1, h.SpeedButton2, h.SpeedButton3}) QVERIFY(!b->isEnabled());
  QVERIFY(h.SpeedButton4->isEnabled());  // the entire topic into History adds it there
  QCoreApplication::processEvents();
  QVERIFY(h.SpeedButton1->grab().toImage() != enabledLook);
  const std::string newText = f.LatestTopic()->WholeText();
  QTest::keyClick(h.lbTopics, Qt::Key_E, Qt::ControlModifier);
  QCOMPARE(f.LatestTopic()->WholeText(), newText);
  // A differing pair: Ctrl+T copies the History text into Latest.
  h.ClickTopic(h.RowOf(QStringLiteral("Installing (2)")));
  QTest::keyClick(h.lbTopics, Qt::Key_T, Qt::ControlModifier);
  QCOMPARE(h.PanelTexts(), panel_texts(0, 2, 2, 4, "Identical"));
  QVERIFY(latest2()->WholeText() != text);
  // Now identical: Ctrl+Alt+E does nothing to the History document.
  const bool modified = f.Session().History().Modified();
  QTest::keyClick(h.lbTopics, Qt::Key_E, Qt::ControlModifier | Qt::AltModifier);
  QCOMPARE(f.Session().History().Modified(), modified);
}

void TestMainWindow::keyboardStartsInTheListWithAMark() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  f.activateWindow();
  QVERIFY(QTest::qWaitForWindowActive(&f));
  // The first key goes to the list, not to the match mode.
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(h.lbTopics));
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QCOMPARE(h.cbMatch->currentIndex(), 0);
  QCOMPARE(h.lbTopics->ItemIndex(), 0);
  QVERIFY(f.LatestTopic() != nullptr);
  // The focused control carries a visible mark, and the mark follows the focus.
  auto marked = [&](QWidget* control) {
    QCoreApplication::processEvents();
    return h.FocusMark->Target() == control && h.FocusMark->isVisible() &&
           h.FocusMark->geometry() == QRect(control->mapTo(&f, QPoint(0, 0)), control->size());
  };
  QVERIFY(marked(h.lbTopics));
  h.cbMatch->setFocus(Qt::TabFocusReason);
  QVERIFY(marked(h.cbMatch));
  const QImage shot = f.grab().toImage();
  const QPoint edge = h.cbMatch->mapTo(&f, QPoint(h.cbMatch->width() / 2, 0));
  QCOMPARE(shot.pixelColor(edge), app::ToQColor(clHighlight));
  h.btnOpenFiles->setFocus(Qt::TabFocusReason);
  QVERIFY(marked(h.btnOpenFiles));
  // Moving the splitter moves the mark with the control.
  app::RichEditWidget(h.RichEdit2)->setFocus(Qt::TabFocusReason);
  QWidget* edit = QApplication::focusWidget();
  h.Splitter1->setSizes({300, h.Splitter1->width() - 303});
  QVERIFY(marked(edit));
}

void TestMainWindow::narrowWindowShrinksBothPanes() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  // Long file names do not widen the panes: the captions are cut instead.
  const QString longName = QString(QLatin1Char('x')).repeated(200) + QStringLiteral(".qcp");
  h.GroupBox2->SetCaption(longName);
  f.resize(520, f.height());
  QCoreApplication::processEvents();
  QVERIFY2(f.width() <= 520, qPrintable(QString::number(f.width())));
  QVERIFY(std::abs(h.GroupBox1->width() - h.GroupBox2->width()) <= 1);
  QVERIFY(h.GroupBox2->title() != longName && h.GroupBox2->title().contains(QChar(0x2026)));
  QCOMPARE(h.GroupBox2->Caption(), longName);
  // The status panels fit the bar.
  const int panels = h.StatusBar1->PanelCount();
  QVERIFY(h.StatusBar1->PanelRect(panels - 1).right() < h.StatusBar1->width());
  QVERIFY(h.StatusBar1->PanelRect(panels - 2).left() < h.StatusBar1->width());
}

void TestMainWindow::startFilesOpenTheExamplePair() {
  THarness h;
  TfrmMain& f = h.form;
  const QString latest = QStringLiteral(QC_SOURCE_DIR "/examples/Latest.qcp");
  const QString history = QStringLiteral(QC_SOURCE_DIR "/examples/History.qcp");
  // As if chosen in the two dialogs: the test's own dialog players are not asked.
  f.OpenFiles(latest, history);
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  QCOMPARE(h.latestShown + h.historyShown, 0);
  QVERIFY(h.lbTopics->Count() > 0);
  // The same captions as from the dialogs, however the names were given.
  QCOMPARE(h.GroupBox1->title(), QStringLiteral("Latest.qcp"));
  QCOMPARE(h.GroupBox2->title(), QStringLiteral("History.qcp"));
  QCOMPARE(h.GroupBox2->toolTip(), QFileInfo(history).absoluteFilePath());
  QVERIFY(f.DifferentCount() > 0 && f.IdenticalCount() > 0 && f.NewCount() > 0);
  // The players are back afterwards.
  h.latestAnswers = QStringList{QString()};
  h.ClickOpen();
  QCOMPARE(h.latestShown, 1);

  // With QC_SCREENSHOT_DIR set, the window is saved after the open and after a click on a Different topic.
  const QString shots = qEnvironmentVariable("QC_SCREENSHOT_DIR");
  if (shots.isEmpty()) return;
  QCoreApplication::processEvents();
  f.grab().save(shots + QStringLiteral("/window-open.png"));
  for (int row = 0; row < h.lbTopics->Count(); ++row) {
    if (f.Session().EntryClass(row) == tcDifferent) {
      h.ClickTopic(row);
      break;
    }
  }
  QCoreApplication::processEvents();
  f.grab().save(shots + QStringLiteral("/window-different.png"));
}

void TestMainWindow::nextRunRestoresGeometryAndPanes() {
  THarness h;
  h.form.setGeometry(300, 200, 1000, 800);
  h.Splitter1->setSizes({350, h.Splitter1->width() - 353});
  QCoreApplication::processEvents();
  const QRect geometry = h.form.geometry();
  const QList<int> panes = h.Splitter1->sizes();
  h.cbMatch->setCurrentIndex(2);
  h.form.close();
  // The next run, in the same settings, opens where this one closed.
  TfrmMain next;
  next.show();
  QVERIFY(QTest::qWaitForWindowExposed(&next));
  QCOMPARE(next.geometry(), geometry);
  QCOMPARE(next.findChild<QSplitter*>(QStringLiteral("Splitter1"))->sizes(), panes);
  QCOMPARE(next.MatchMode(), MatchModeFromIndex(2));
}

void TestMainWindow::f8AndF7MoveThroughTheDifferences() {
  THarness h;
  // A long topic changed near its start and near its end, between identical ones.
  std::vector<std::string> lines;
  for (int i = 0; i < 80; ++i) lines.push_back("Line " + std::to_string(i) + ".");
  std::vector<std::string> changed = lines;
  changed[10] = "Line ten, changed.";
  changed[70] = "Line seventy, changed.";
  WriteProject(h.Path(QStringLiteral("L.qcp")), {{1, "Same", {"Same."}, ""},
                                                 {2, "Long", changed, ""},
                                                 {3, "Also same", {"Same."}, ""},
                                                 {4, "New", {"New."}, ""}});
  WriteProject(h.Path(QStringLiteral("H.qcp")),
               {{1, "Same", {"Same."}, ""}, {2, "Long", lines, ""}, {3, "Also same", {"Same."}, ""}});
  h.Open(h.Path(QStringLiteral("L.qcp")), h.Path(QStringLiteral("H.qcp")));
  TfrmMain& f = h.form;
  f.resize(905, 729);
  QCoreApplication::processEvents();
  // F8 goes to the topics that are not identical, round at the end; Shift+F8 back.
  f.Action(app::TCommand::NextDifference)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 1);
  QCOMPARE(f.LatestTopic()->Title(), std::string("Long"));
  f.Action(app::TCommand::NextDifference)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 3);
  f.Action(app::TCommand::NextDifference)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 1);
  QVERIFY(!h.StatusBar1->Message().isEmpty());
  f.Action(app::TCommand::PreviousDifference)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 3);
  f.Action(app::TCommand::PreviousDifference)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 1);
  // F7 steps through the pair's change blocks; the texts scroll along.
  const TStringList& rows = f.Session().DiffEngine().Result1();
  auto kind_at = [&](int row) { return DiffEntryKind(rows[row]); };
  f.Action(app::TCommand::NextChange)->trigger();
  const int first = h.dvDiffViewer1->Pane1()->ItemIndex();
  QVERIFY(first > 0 && kind_at(first) != dkSame && kind_at(first - 1) == dkSame);
  f.Action(app::TCommand::NextChange)->trigger();
  const int second = h.dvDiffViewer1->Pane1()->ItemIndex();
  QVERIFY(second > first + 20 && kind_at(second) != dkSame);
  QCOMPARE(h.dvDiffViewer1->Pane2()->ItemIndex(), second);
  QCoreApplication::processEvents();
  QVERIFY(app::RichEditFirstVisibleLine(*h.RichEdit1) > 20);
  QCOMPARE(app::RichEditFirstVisibleLine(*h.RichEdit2), app::RichEditFirstVisibleLine(*h.RichEdit1));
  // None further: on into the next topic that differs, at its first change, and back again.
  f.Action(app::TCommand::NextChange)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 3);
  QCOMPARE(h.dvDiffViewer1->Pane1()->ItemIndex(), f.Session().NextChangeRow(-1, true));
  f.Action(app::TCommand::PreviousChange)->trigger();
  QCOMPARE(h.lbTopics->ItemIndex(), 1);
  QCOMPARE(h.dvDiffViewer1->Pane1()->ItemIndex(), second);
  f.Action(app::TCommand::PreviousChange)->trigger();
  QCOMPARE(h.dvDiffViewer1->Pane1()->ItemIndex(), first);
  QVERIFY(h.messages.isEmpty());
}

void TestMainWindow::classesAreSpokenNotOnlyColoured() {
  THarness h;
  h.OpenStandardPair();
  // Every control has a name for assistive technology.
  for (QWidget* w : h.form.findChildren<QWidget*>()) {
    if (w->focusPolicy() == Qt::NoFocus || !w->isVisibleTo(&h.form) || w->parentWidget() == nullptr) continue;
    if (qobject_cast<QAbstractScrollArea*>(w->parentWidget()) != nullptr) continue;  // a viewport or bar
    QAccessibleInterface* spoken = QAccessible::queryAccessibleInterface(w);
    QVERIFY2(spoken && !spoken->text(QAccessible::Name).isEmpty(), qPrintable(w->objectName()));
  }
  // The list's entries say their class in words.
  QAccessibleInterface* list = QAccessible::queryAccessibleInterface(h.lbTopics);
  QVERIFY(list != nullptr);
  QStringList entries;
  for (int i = 0; i < list->childCount(); ++i) entries << list->child(i)->text(QAccessible::Name);
  QVERIFY2(entries.contains(QStringLiteral("Installing (2), different")),
           qPrintable(entries.join(QLatin1Char('|'))));
  QVERIFY(entries.contains(QStringLiteral("Introduction (1), identical")));
  QVERIFY(entries.contains(QStringLiteral("New Feature (4), new")));
}

void TestMainWindow::topicsOnlyInHistoryAreListedCopiedAndUndone() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  // A History topic no Latest topic matches: History's text against nothing.
  h.ClickTopic(h.RowOf(QStringLiteral("Only in History (8)")));
  QVERIFY(f.LatestTopic() == nullptr && f.HistoryTopic() != nullptr);
  QCOMPARE(app::RichEditLines(*h.RichEdit1).join(QString()), QString());
  QVERIFY(app::RichEditLines(*h.RichEdit2).contains(QStringLiteral("Gone from Latest.")));
  QVERIFY(f.Action(app::TCommand::CopyToLatest)->isEnabled());
  QVERIFY(!f.Action(app::TCommand::CopyTextToLatest)->isEnabled() &&
          !f.Action(app::TCommand::CopyToHistory)->isEnabled() &&
          !f.Action(app::TCommand::CopyTextToHistory)->isEnabled());
  // Copied into Latest it is a Latest topic, identical; undo takes it out again.
  f.Action(app::TCommand::CopyToLatest)->trigger();
  QCOMPARE(f.Session().Latest().Topics().Count(), 9);
  QCOMPARE(h.PanelTexts()[4], QStringLiteral("Deleted Topics: 2"));
  QCOMPARE(f.Session().EntryClass(f.Session().SelectedIndex()), tcIdentical);
  QCOMPARE(h.lbTopics->Count(), f.Session().EntryCount());
  QVERIFY(f.Session().Latest().Modified());
  f.Action(app::TCommand::Undo)->trigger();
  QCOMPARE(f.Session().Latest().Topics().Count(), 8);
  QCOMPARE(h.PanelTexts()[4], QStringLiteral("Deleted Topics: 3"));
  QVERIFY(!f.Session().Latest().Modified());
  f.Action(app::TCommand::Redo)->trigger();
  QCOMPARE(f.Session().Latest().Topics().Count(), 9);
  // The View option hides them; they are still counted, on the panel and the class switch.
  f.Action(app::TCommand::ShowDeleted)->trigger();
  QCOMPARE(h.lbTopics->Count(), 9);
  QCOMPARE(h.PanelTexts()[4], QStringLiteral("Deleted Topics: 2"));
  QVERIFY(f.findChild<QToolButton*>(QStringLiteral("FilterButton4"))->text().endsWith(QStringLiteral(" 2")));
  QVERIFY(h.messages.isEmpty());
}

QTEST_MAIN(TestMainWindow)
#include "test_QuillcrafterDiffMain.moc"
