/// Tests for the window's filter switches, its search box and its marks of
/// changes in formatting alone, driven as a user drives them; the last one
/// leaves pictures of these parts in the build folder for review.

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QToolButton>

#include "AppTestSupport.h"
#include "app/AppText.h"
#include "compare/EntryFilter.h"
#include "diffview/dvDiffViewer.h"
#include "diffview/dvListControl.h"
#include "document/QuillcrafterDoc.h"

using namespace apptest;
using app::TfrmMain;

namespace {

QToolButton* filter_button(TfrmMain& form, TTopicComparison kind) {
  return form.findChild<QToolButton*>(QStringLiteral("FilterButton%1").arg(static_cast<int>(kind)));
}

QString selected_text(const THarness& h) {
  const int row = h.lbTopics->ItemIndex();
  return row >= 0 ? h.ListTexts().value(row) : QString();
}

/// Whether some pixel of Area is within a small distance of Colour.
bool has_colour(const QImage& image, const QRect& area, const QColor& colour) {
  for (int y = area.top(); y <= area.bottom(); ++y)
    for (int x = area.left(); x <= area.right(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (std::abs(c.red() - colour.red()) + std::abs(c.green() - colour.green()) +
              std::abs(c.blue() - colour.blue()) <=
          30)
        return true;
    }
  return false;
}

}  // namespace

class TestFindAndFilter : public QObject {
  Q_OBJECT
 private Q_SLOTS:
  void switchesAndSearchFilterTheListAndKeepTheSelection();
  void theListKeepsItsTopTopicAndFollowsACopy();
  void formattingAloneIsMarkedAndEveryPartIsPictured();
};

void TestFindAndFilter::switchesAndSearchFilterTheListAndKeepTheSelection() {
  THarness h;
  h.OpenStandardPair();
  TfrmMain& f = h.form;
  // Each class has a switch with its count (by ID: 1 different, 1 identical,
  // 2 identical text, 4 new, 3 only in History).
  QCOMPARE(filter_button(f, tcDifferent)->text(), QStringLiteral("\u2260 1"));
  QCOMPARE(filter_button(f, tcNew)->text(), QStringLiteral("+ 4"));
  QCOMPARE(filter_button(f, tcDeleted)->text(), QStringLiteral("\u2212 3"));
  h.ClickTopic(h.RowOf(QStringLiteral("Licence (3)")));

  // Switching the new topics off takes them out; the selection stays on its topic.
  QTest::mouseClick(filter_button(f, tcNew), Qt::LeftButton);
  QVERIFY(!filter_button(f, tcNew)->isChecked());
  QCOMPARE(h.lbTopics->Count(), 11 - 4);
  QVERIFY(!h.ListTexts().contains(QStringLiteral("New Feature (4)")));
  QCOMPARE(selected_text(h), QStringLiteral("Licence (3)"));

  // Ctrl+F leads to the search box; what is typed there filters by title and
  // by either text, whatever the case. The selected topic is not found: the
  // list has no selection, yet its pair stays shown.
  QTest::keyClick(&f, Qt::Key_F, Qt::ControlModifier);
  auto* search = f.findChild<QLineEdit*>(QStringLiteral("SearchBox"));
  QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(search));
  QTest::keyClicks(search, QStringLiteral("INSTALL"));
  QCOMPARE(h.ListTexts(), QStringList{QStringLiteral("Installing (2)")});
  // Found, though switched off.
  QCOMPARE(filter_button(f, tcNew)->text(), QStringLiteral("+ 1"));
  QCOMPARE(h.lbTopics->ItemIndex(), -1);
  QCOMPARE(f.LatestTopic()->Title(), std::string("Licence"));

  // Enter goes to the next topic found and marks the place in its texts
  // (only History's text says "installer"); past the last place it goes round.
  QTest::keyClick(search, Qt::Key_Return);
  QCOMPARE(f.LatestTopic()->Title(), std::string("Installing"));
  QCOMPARE(selected_text(h), QStringLiteral("Installing (2)"));
  QCOMPARE(h.RichEdit1->extraSelections().size(), 0);
  QCOMPARE(h.RichEdit2->extraSelections().size(), 1);
  QCOMPARE(h.RichEdit2->extraSelections()[0].cursor.selectedText(), QStringLiteral("install"));
  QTest::keyClick(search, Qt::Key_Return);
  QVERIFY(h.StatusBar1->Message().contains(QStringLiteral("went on from the first")));
  QCOMPARE(f.LatestTopic()->Title(), std::string("Installing"));

  // With the new topics back, Shift+Enter goes back round to the last one found.
  QTest::mouseClick(filter_button(f, tcNew), Qt::LeftButton);
  QCOMPARE(h.ListTexts(), (QStringList{QStringLiteral("Installing (2)"), QStringLiteral("Installing (12)")}));
  QTest::keyClick(search, Qt::Key_Return, Qt::ShiftModifier);
  QCOMPARE(selected_text(h), QStringLiteral("Installing (12)"));
  QCOMPARE(f.Session().LatestTopic()->TopicID(), 12);

  // Escape empties the search: everything is listed again, the selection kept.
  QTest::keyClick(search, Qt::Key_Escape);
  QCOMPARE(search->text(), QString());
  QCOMPARE(h.lbTopics->Count(), 11);
  QCOMPARE(selected_text(h), QStringLiteral("Installing (12)"));
  QCOMPARE(h.RichEdit2->extraSelections().size(), 0);
}

void TestFindAndFilter::theListKeepsItsTopTopicAndFollowsACopy() {
  THarness h;
  // 400 topics: the even ones identical, the odd ones different.
  std::vector<TTopicData> latest, history;
  for (int32_t id = 1; id <= 400; ++id) {
    const std::string title = "T" + std::to_string(id);
    latest.push_back({id, title, {"Text of " + title + "."}, ""});
    history.push_back({id, title, {(id % 2 ? "Older text of " : "Text of ") + title + "."}, ""});
  }
  WriteProject(h.Path(QStringLiteral("L.qcp")), latest);
  WriteProject(h.Path(QStringLiteral("H.qcp")), history);
  h.Open(h.Path(QStringLiteral("L.qcp")), h.Path(QStringLiteral("H.qcp")));
  TfrmMain& f = h.form;
  auto top_text = [&] { return h.ListTexts().value(h.lbTopics->indexAt(QPoint(0, 0)).row()); };
  h.lbTopics->scrollTo(h.lbTopics->model()->index(h.RowOf(QStringLiteral("T40 (40)")), 0),
                       QAbstractItemView::PositionAtTop);
  QCOMPARE(top_text(), QStringLiteral("T40 (40)"));
  h.ClickTopic(h.RowOf(QStringLiteral("T43 (43)")));

  // Hiding the identical topics keeps the place: the first one listed at or
  // after the old top stands at the top, the selected one stays selected.
  QTest::mouseClick(filter_button(f, tcIdentical), Qt::LeftButton);
  QCOMPARE(h.lbTopics->Count(), 200);
  QCOMPARE(top_text(), QStringLiteral("T41 (41)"));
  QCOMPARE(selected_text(h), QStringLiteral("T43 (43)"));

  // A copy makes the selected topic identical: it leaves the list, its pair
  // stays shown; undone, it is back in the list and selected again.
  f.Action(app::TCommand::CopyToLatest)->trigger();
  QCOMPARE(h.lbTopics->Count(), 199);
  QCOMPARE(h.lbTopics->ItemIndex(), -1);
  QCOMPARE(f.LatestTopic()->TopicID(), 43);
  QCOMPARE(top_text(), QStringLiteral("T41 (41)"));
  f.Action(app::TCommand::Undo)->trigger();
  QCOMPARE(h.lbTopics->Count(), 200);
  QCOMPARE(selected_text(h), QStringLiteral("T43 (43)"));
  QCOMPARE(top_text(), QStringLiteral("T41 (41)"));
  // F8 goes on from the selected topic among those listed.
  f.Action(app::TCommand::NextDifference)->trigger();
  QCOMPARE(selected_text(h), QStringLiteral("T45 (45)"));
}

void TestFindAndFilter::formattingAloneIsMarkedAndEveryPartIsPictured() {
  THarness h;
  TfrmMain& f = h.form;
  f.OpenFiles(QStringLiteral(QC_SOURCE_DIR "/examples/Latest.qcp"),
              QStringLiteral(QC_SOURCE_DIR "/examples/History.qcp"));
  QVERIFY2(h.messages.isEmpty(), qPrintable(h.messages.join(QLatin1Char('\n'))));
  const QString shots = QDir::current().filePath(QStringLiteral("screenshots"));
  QDir().mkpath(shots);
  auto save = [&](QWidget* part, const char* name) {
    QCoreApplication::processEvents();
    QVERIFY(part->grab().save(QDir(shots).filePath(QLatin1String(name))));
  };

  // Printing reads the same in both files: its row in the viewer is marked
  // and names the change, the strip says formatting only, the list marks it.
  const int printing = h.RowOf(QStringLiteral("Printing (7)"));
  h.ClickTopic(printing);
  QCOMPARE(h.PanelTexts().last(), QStringLiteral("Different"));
  const std::vector<TdvRowNote>& notes = h.dvDiffViewer1->RowNotes();
  QCOMPARE(notes.size(), size_t(1));
  const QString tip = h.dvDiffViewer1->Pane1()->OnItemToolTip(notes[0].Row);
  QVERIFY2(tip.contains(QStringLiteral("bold added: 'File > Print'")) &&
               tip.contains(QStringLiteral("italic removed: 'notebook order'")),
           qPrintable(tip));
  auto* strip = f.findChild<QLabel*>(QStringLiteral("DifferencesStrip"));
  QVERIFY2(strip->toolTip().contains(QStringLiteral("Text: formatting only (bold added")),
           qPrintable(strip->toolTip()));
  const QColor violet = app::ToQColor(h.dvDiffViewer1->FormatMarkColor());
  h.dvDiffViewer1->Pane1()->setFocus();
  QCoreApplication::processEvents();
  const int rowHeight = h.dvDiffViewer1->Pane1()->ItemHeight();
  const QImage pane = h.dvDiffViewer1->Pane1()->viewport()->grab().toImage();
  QVERIFY(has_colour(pane, QRect(0, notes[0].Row * rowHeight + 1, 2, rowHeight - 2), violet));
  const QModelIndex other = h.lbTopics->model()->index(h.RowOf(QStringLiteral("Welcome (1)")), 0);
  const QRect printingRow = h.lbTopics->visualRect(h.lbTopics->model()->index(printing, 0));
  const QImage list = h.lbTopics->viewport()->grab().toImage();
  h.ClickTopic(other.row());  // the mark shows on an unselected row too
  const QImage listAfter = h.lbTopics->viewport()->grab().toImage();
  QVERIFY(has_colour(listAfter, printingRow.adjusted(printingRow.width() - 24, 0, 0, 0), violet));
  QVERIFY(!has_colour(listAfter, h.lbTopics->visualRect(other).adjusted(120, 0, 0, 0), violet));
  h.ClickTopic(printing);
  save(h.dvDiffViewer1, "formatting-marker.png");
  Q_UNUSED(list);

  // A word changed between Greek, Cyrillic and Georgian text.
  h.ClickTopic(h.RowOf(QStringLiteral("Languages (14)")));
  save(h.dvDiffViewer1, "non-latin-words.png");

  // The switches and the search, with the places marked in the texts.
  QTest::mouseClick(filter_button(f, tcIdentical), Qt::LeftButton);
  auto* search = f.findChild<QLineEdit*>(QStringLiteral("SearchBox"));
  QTest::keyClicks(search, QStringLiteral("notebook"));
  h.ClickTopic(h.RowOf(QStringLiteral("Getting Started (2)")));
  QCOMPARE(h.RichEdit1->extraSelections().size(), 2);  // "New Notebook", "Each notebook"
  QTest::keyClick(search, Qt::Key_Return);
  save(h.Panel1, "filters-and-search.png");
  save(h.Panel4, "search-in-texts.png");
  save(&f, "window-find-and-filter.png");
}

QTEST_MAIN(TestFindAndFilter)
#include "test_FindAndFilter.moc"
