/// Tests for diffview/dvDiffViewer.cpp

#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <string>

#include "diffview/dvDiffViewer.h"
#include "diffview/dvLibrary.h"

namespace {

/// "line 0" ... "line n-1", one per line.
std::string numbered_lines(int count, const std::string& prefix = "line ") {
  std::string text;
  for (int i = 0; i < count; ++i) text += prefix + std::to_string(i) + "\n";
  return text;
}

/// A shown viewer linked to its own engine.
struct Fixture {
  TdvDiffEngine engine;
  std::unique_ptr<TdvDiffViewer> viewer = std::make_unique<TdvDiffViewer>();

  Fixture(int width = 500, int height = 300) {
    engine.SetDiffOptions(kMainWindowDiffOptions);
    viewer->SetDiffEngine(&engine);
    viewer->resize(width, height);
    viewer->show();
  }
  TdvListControl& pane1() const { return *viewer->Pane1(); }
  TdvListControl& pane2() const { return *viewer->Pane2(); }
  /// The centre of a visible row of a pane, in the pane's viewport.
  QPoint row_point(const TdvListControl& pane, int visibleRow) const {
    return QPoint(pane.ClientWidth() / 2, visibleRow * pane.ItemHeight() + pane.ItemHeight() / 2);
  }
};

const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);

}  // namespace

class TestDiffViewer : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void creation_defaults_and_labels();
  void after_run_row_zero_current_in_both_panes();
  void click_in_pane2_selects_and_scrolls_pane1();
  void keys_in_pane1_move_pane2();
  void lock_selected_index_off_leaves_other_selection();
  void independant_horz_control();
  void linked_horizontal_scrolling();
  void pane_widths_for_odd_client_width();
  void row_colours_on_grabbed_pixels();
  void text_colours_by_kind_without_simple_viewer();
  void changed_word_has_its_own_background();
  void viewer_scroll_bars_mirror_pane1();
  void new_run_keeps_horizontal_position_inside_range();
  void map_gets_data_and_click_scrolls_both_panes();
  void engine_and_map_lifetimes();
  void registration_kept_in_one_place();
};

void TestDiffViewer::creation_defaults_and_labels() {
  TdvDiffViewer viewer;
  QCOMPARE(viewer.width(), 250);
  QCOMPARE(viewer.height(), 150);
  QCOMPARE(viewer.EmptyBGColor(), clBtnFace);
  QCOMPARE(viewer.DiffBGColor(), TColor(0x0000FFFF));
  QVERIFY(viewer.SimpleDiffViewer());
  QCOMPARE(viewer.ChangedTextColor(), clBlack);
  QVERIFY(!viewer.IndependantHorzControl());
  QVERIFY(viewer.LockSelectedIndex());
  QCOMPARE(viewer.focusPolicy(), Qt::NoFocus);
  QCOMPARE(viewer.Pane1()->objectName(), QStringLiteral("s1"));
  QCOMPARE(viewer.Pane2()->objectName(), QStringLiteral("s2"));
  QCOMPARE(viewer.Src1Label(), std::string("Source 1"));
  QCOMPARE(viewer.Src2Label(), std::string("Source 2"));
  // Captions are 8-bit text: a Windows-1252 byte survives the round trip.
  viewer.SetSrc1Label("Latest \xE9\x80");
  QCOMPARE(viewer.Caption1()->text(), QStringLiteral("Latest \u00E9\u20AC"));
  QCOMPARE(viewer.Src1Label(), std::string("Latest \xE9\x80"));
  // Without an engine the panes are empty.
  viewer.DiffChanged();
  QCOMPARE(viewer.Pane1()->ItemIndex(), -1);
  QCOMPARE(viewer.MapData(), std::string());
}

void TestDiffViewer::after_run_row_zero_current_in_both_panes() {
  Fixture f;
  f.engine.CompareStrings(numbered_lines(100), numbered_lines(100));
  f.pane1().SetItemIndex(60);
  QVERIFY(f.pane2().TopIndex() > 0);

  // Given a second run, both panes are back at the top with row 0 current.
  f.engine.CompareStrings(numbered_lines(80), numbered_lines(90));
  for (TdvListControl* pane : {&f.pane1(), &f.pane2()}) {
    QCOMPARE(pane->Items().Count(), 90);
    QCOMPARE(pane->ItemIndex(), 0);
    QCOMPARE(pane->SelStart(), 0);
    QCOMPARE(pane->SelEnd(), 0);
    QCOMPARE(pane->TopIndex(), 0);
  }
  // Both panes share one horizontal range.
  QCOMPARE(f.pane1().ContentWidth(), f.pane2().ContentWidth());
}

void TestDiffViewer::click_in_pane2_selects_and_scrolls_pane1() {
  Fixture f;
  f.engine.CompareStrings(numbered_lines(100), numbered_lines(100));
  f.pane2().ScrollTopIndex(10);
  QCOMPARE(f.pane1().TopIndex(), 10);
  QTest::mouseClick(f.pane2().viewport(), Qt::LeftButton, Qt::NoModifier, f.row_point(f.pane2(), 2));
  QCOMPARE(f.pane2().ItemIndex(), 12);
  QCOMPARE(f.pane1().ItemIndex(), 12);
  QCOMPARE(f.pane1().SelStart(), 12);
  QCOMPARE(f.pane1().TopIndex(), f.pane2().TopIndex());
  QVERIFY(f.pane2().hasFocus() || !f.viewer->isActiveWindow());
}

void TestDiffViewer::keys_in_pane1_move_pane2() {
  Fixture f;
  f.engine.CompareStrings(numbered_lines(100), numbered_lines(100));
  QTest::keyClick(f.viewer->Pane1(), Qt::Key_PageDown);
  QTest::keyClick(f.viewer->Pane1(), Qt::Key_PageDown);
  QTest::keyClick(f.viewer->Pane1(), Qt::Key_Down);
  QCOMPARE(f.pane2().ItemIndex(), f.pane1().ItemIndex());
  QCOMPARE(f.pane2().TopIndex(), f.pane1().TopIndex());
  QVERIFY(f.pane1().TopIndex() > 0);
  QTest::keyClick(f.viewer->Pane2(), Qt::Key_End);
  QCOMPARE(f.pane1().ItemIndex(), 99);
  QCOMPARE(f.pane1().TopIndex(), f.pane1().MaxTopIndex());
}

void TestDiffViewer::lock_selected_index_off_leaves_other_selection() {
  Fixture f;
  f.engine.CompareStrings(numbered_lines(100), numbered_lines(100));
  f.viewer->SetLockSelectedIndex(false);
  f.pane2().ScrollTopIndex(10);
  QTest::mouseClick(f.pane2().viewport(), Qt::LeftButton, Qt::NoModifier, f.row_point(f.pane2(), 2));
  QCOMPARE(f.pane2().ItemIndex(), 12);
  QCOMPARE(f.pane1().ItemIndex(), 0);
  QCOMPARE(f.pane1().TopIndex(), 10);

  // Switched back on, pane 2 takes pane 1's top row and current item.
  f.pane1().ScrollTopIndex(20);
  f.viewer->SetLockSelectedIndex(true);
  QCOMPARE(f.pane2().TopIndex(), 20);
  QCOMPARE(f.pane2().ItemIndex(), f.pane1().ItemIndex());
}

void TestDiffViewer::independant_horz_control() {
  Fixture f(300, 200);
  const std::string wide = std::string(150, 'W') + "\n";
  f.engine.CompareStrings(wide + numbered_lines(50), wide + numbered_lines(50));
  QTRY_VERIFY(f.viewer->horizontalScrollBar()->isVisible());
  f.viewer->SetIndependantHorzControl(true);
  QCOMPARE(f.pane1().ScrollBars(), TScrollStyle::ssHorizontal);
  QCOMPARE(f.pane2().ScrollBars(), TScrollStyle::ssHorizontal);
  QTRY_VERIFY(!f.viewer->horizontalScrollBar()->isVisible());

  QTest::keyClick(f.viewer->Pane1(), Qt::Key_Right);
  QTest::keyClick(f.viewer->Pane1(), Qt::Key_Right);
  QCOMPARE(f.pane1().HorzOffset(), 2);
  QCOMPARE(f.pane2().HorzOffset(), 0);
  // Vertical scrolling stays linked.
  QTest::keyClick(f.viewer->Pane1(), Qt::Key_PageDown);
  QCOMPARE(f.pane2().ItemIndex(), f.pane1().ItemIndex());
  QCOMPARE(f.pane2().TopIndex(), f.pane1().TopIndex());

  f.viewer->SetIndependantHorzControl(false);
  QCOMPARE(f.pane1().ScrollBars(), TScrollStyle::ssNone);
  QCOMPARE(f.pane2().HorzOffset(), f.pane1().HorzOffset());
  QTRY_VERIFY(f.viewer->horizontalScrollBar()->isVisible());
}

void TestDiffViewer::linked_horizontal_scrolling() {
  Fixture f(300, 200);
  f.engine.CompareStrings(std::string(150, 'W') + "\nshort\n", "short\n");
  QTest::keyClick(f.viewer->Pane2(), Qt::Key_Right);
  QTest::keyClick(f.viewer->Pane2(), Qt::Key_Right);
  QCOMPARE(f.pane2().HorzOffset(), 2);
  QCOMPARE(f.pane1().HorzOffset(), 2);
  QCOMPARE(f.viewer->horizontalScrollBar()->value(), 2);
  QCOMPARE(f.viewer->horizontalScrollBar()->maximum(), f.pane1().MaxHorzOffset());
  // The viewer's own bar drives both panes.
  f.viewer->horizontalScrollBar()->triggerAction(QAbstractSlider::SliderToMaximum);
  QCOMPARE(f.pane1().HorzOffset(), f.pane1().MaxHorzOffset());
  QCOMPARE(f.pane2().HorzOffset(), f.pane1().MaxHorzOffset());
}

void TestDiffViewer::pane_widths_for_odd_client_width() {
  TdvDiffViewer viewer;
  viewer.resize(300, 150);
  viewer.show();
  const int frame = viewer.width() - viewer.ClientWidth();
  viewer.resize(101 + frame, 150);
  QTRY_COMPARE(viewer.ClientWidth(), 101);
  QCOMPARE(viewer.Pane1()->width(), 49);
  QCOMPARE(viewer.Pane2()->width(), 50);
  QCOMPARE(viewer.Pane2()->x(), 51);
  QCOMPARE(viewer.Caption1()->width(), 50);
  QCOMPARE(viewer.Caption2()->width(), 51);
  QCOMPARE(viewer.Pane1()->y(), viewer.HeaderHeight());
  QCOMPARE(viewer.HeaderHeight(), QFontMetrics(viewer.font()).height() + 4);
}

void TestDiffViewer::row_colours_on_grabbed_pixels() {
  Fixture f(500, 600);
  const std::string common = numbered_lines(4, "same ");
  // A change on the very first line: the current row must still show it.
  f.engine.CompareStrings("first\n" + common + "gone 1\ngone 2\n" + common + "old\n" + common,
                          "First\n" + common + common + "new\n" + common + "extra\n" + common);
  const TStringList& r1 = f.engine.Result1();
  const TStringList& r2 = f.engine.Result2();
  QVERIFY(r1.Count() <= f.pane1().GetPageItems());
  bool seen[6] = {};
  for (TdvListControl* pane : {&f.pane1(), &f.pane2()}) {
    const TStringList& result = pane == &f.pane1() ? r1 : r2;
    const QImage image = pane->grab().toImage();
    for (int row = 0; row < result.Count(); ++row) {
      const int kind = DiffEntryKind(result.Strings(row));
      seen[kind] = true;
      QColor expected = kind == dkSame ? kWhite : kind == dkFiller ? dvColor(clBtnFace) : kYellow;
      // The current row, focused or not, tints its kind's colour rather than hiding it.
      if (row == 0) {
        QCOMPARE(kind, int(dkChanged));
        expected = dvColor(dvTintedColor(clYellow, clHighlight));
        QVERIFY(expected != dvColor(dvTintedColor(clWindow, clHighlight)));
      }
      const QPoint at(pane->ClientWidth() - 3, row * pane->ItemHeight() + pane->ItemHeight() / 2);
      QVERIFY2(image.pixelColor(at) == expected,
               qPrintable(
                   QStringLiteral("row %1 kind %2: %3").arg(row).arg(kind).arg(image.pixelColor(at).name())));
    }
  }
  QVERIFY(seen[dkSame] && seen[dkDeleted] && seen[dkInserted] && seen[dkChanged] && seen[dkFiller]);
}

void TestDiffViewer::text_colours_by_kind_without_simple_viewer() {
  Fixture f(500, 300);
  const std::string common = numbered_lines(6, "same ");
  f.engine.CompareStrings(common + "MMMMMMMMMMMM\n" + common, common + common);
  int deletedRow = -1;
  for (int row = 0; row < f.engine.Result1().Count(); ++row)
    if (DiffEntryKind(f.engine.Result1().Strings(row)) == dkDeleted) deletedRow = row;
  QVERIFY(deletedRow > 0);
  auto row_has_colour = [&](const QColor& colour) {
    const QImage image = f.pane1().grab().toImage();
    const int top = deletedRow * f.pane1().ItemHeight();
    for (int y = top; y < top + f.pane1().ItemHeight(); ++y)
      for (int x = 0; x < f.pane1().ClientWidth(); ++x)
        if (image.pixelColor(x, y) == colour) return true;
    return false;
  };
  const QColor red(255, 0, 0);
  const QColor blue(0, 0, 255);
  f.viewer->SetDeletedTextColor(clRed);
  f.viewer->SetChangedTextColor(clBlue);
  // Simple: every differing row is written in the changed colour.
  QVERIFY(row_has_colour(blue));
  QVERIFY(!row_has_colour(red));
  f.viewer->SetSimpleDiffViewer(false);
  QVERIFY(row_has_colour(red));
  QVERIFY(!row_has_colour(blue));
}

void TestDiffViewer::changed_word_has_its_own_background() {
  Fixture f(600, 300);
  f.engine.CompareStrings("same\nalpha beta gamma\nsame\n", "same\nalpha BETA gamma\nsame\n");
  QCOMPARE(DiffEntryKind(f.engine.Result1().Strings(1)), uint8_t(dkChanged));
  auto columns_of = [](TdvListControl& pane, int row, const QColor& colour) {
    const QImage image = pane.grab().toImage();
    int first = -1, last = -1;
    for (int x = 0; x < pane.ClientWidth(); ++x)
      for (int y = row * pane.ItemHeight(); y < (row + 1) * pane.ItemHeight(); ++y)
        if (image.pixelColor(x, y) == colour) {
          if (first < 0) first = x;
          last = x;
        }
    return std::make_pair(first, last);
  };
  for (TdvListControl* pane : {&f.pane1(), &f.pane2()}) {
    const QFontMetrics metrics(pane->font());
    const std::string word = pane == &f.pane1() ? "beta" : "BETA";
    const int from = 2 + metrics.horizontalAdvance(QStringLiteral("alpha "));
    const int to = from + metrics.horizontalAdvance(QString::fromStdString(word));
    // The word's background and only the word's, the rest of the line in the changed colour.
    const auto [first, last] = columns_of(*pane, 1, dvColor(f.viewer->WordBGColor()));
    QVERIFY2(
        first >= from - 1 && first <= from + 1 && last >= to - 2 && last <= to,
        qPrintable(QStringLiteral("word at %1..%2, marked %3..%4").arg(from).arg(to).arg(first).arg(last)));
    QCOMPARE(columns_of(*pane, 1, kYellow).second, pane->ClientWidth() - 1);
    QCOMPARE(columns_of(*pane, 0, dvColor(f.viewer->WordBGColor())).first, -1);
  }
  // The current row tints the word's background as it tints the line's.
  f.pane1().SetItemIndex(1);
  const QColor tinted = dvColor(dvTintedColor(f.viewer->WordBGColor(), clHighlight));
  QVERIFY(columns_of(f.pane2(), 1, tinted).first >= 0);
  QCOMPARE(columns_of(f.pane2(), 1, dvColor(f.viewer->WordBGColor())).first, -1);
}

void TestDiffViewer::viewer_scroll_bars_mirror_pane1() {
  Fixture f;
  f.engine.CompareStrings("a\nb\n", "a\nb\n");
  QTRY_VERIFY(!f.viewer->verticalScrollBar()->isVisible());  // nothing to scroll: hidden
  f.engine.CompareStrings(numbered_lines(200), numbered_lines(200));
  QTRY_VERIFY(f.viewer->verticalScrollBar()->isVisible());
  QScrollBar* bar = f.viewer->verticalScrollBar();
  QCOMPARE(bar->maximum(), f.pane1().MaxTopIndex());
  bar->triggerAction(QAbstractSlider::SliderPageStepAdd);
  QCOMPARE(f.pane1().TopIndex(), f.pane1().GetPageItems());
  QCOMPARE(f.pane2().TopIndex(), f.pane1().TopIndex());
  QCOMPARE(bar->value(), f.pane1().TopIndex());
  bar->triggerAction(QAbstractSlider::SliderToMaximum);
  QCOMPARE(f.pane2().TopIndex(), f.pane1().MaxTopIndex());
  // Scrolling a pane moves the viewer's bar.
  f.pane2().ScrollRequest(1, TScrollCode::scTop, 0);
  QCOMPARE(bar->value(), 0);
}

void TestDiffViewer::new_run_keeps_horizontal_position_inside_range() {
  Fixture f(300, 200);
  f.engine.CompareStrings(std::string(300, 'W') + "\n", std::string(300, 'W') + "\n");
  QTest::keyClick(f.viewer->Pane1(), Qt::Key_Right, Qt::ControlModifier);
  QVERIFY(f.pane1().HorzOffset() > 100);
  f.engine.CompareStrings("short\n", "short\n");
  QCOMPARE(f.pane1().HorzOffset(), 0);
  QCOMPARE(f.pane2().HorzOffset(), 0);
}

void TestDiffViewer::map_gets_data_and_click_scrolls_both_panes() {
  Fixture f;
  TdvDiffMap map;
  map.resize(25, 210);  // H = 200
  f.engine.CompareStrings("x\n" + numbered_lines(99), "y\n" + numbered_lines(99) + "added\n");
  f.viewer->SetDiffMap(&map);
  QVERIFY(!map.ShowIndicator());
  QCOMPARE(map.MapData().size(), size_t(101));
  QCOMPARE(int(map.MapData()[0]), int(mkModified));
  QCOMPARE(int(map.MapData()[1]), int(mkSame));
  QCOMPARE(int(map.MapData()[100]), int(mkInserted));  // a filler faces the added line
  QCOMPARE(map.MapData(), f.viewer->MapData());

  // s = 200 / 101; y = 104 gives (99 + 0.99 + 1) / 1.98 = 50.5..., row 51.
  QTest::mouseClick(&map, Qt::LeftButton, Qt::NoModifier, QPoint(12, 104));
  const int row = map.IndicatorPos();
  QCOMPARE(row, dvMapRowAt(104, 210, 101));
  for (TdvListControl* pane : {&f.pane1(), &f.pane2()}) {
    QCOMPARE(pane->ItemIndex(), row);
    QCOMPARE(pane->TopIndex(), std::min(row, pane->MaxTopIndex()));
  }
  QCOMPARE(f.viewer->verticalScrollBar()->value(), f.pane1().TopIndex());

  // A new run hands the map new data.
  f.engine.CompareStrings("a\n", "b\n");
  QCOMPARE(map.MapData(), std::string(1, char(mkModified)));
}

void TestDiffViewer::engine_and_map_lifetimes() {
  // An engine destroyed first clears the viewer's reference.
  TdvDiffViewer viewer;
  {
    TdvDiffEngine engine;
    viewer.SetDiffEngine(&engine);
    QCOMPARE(engine.ViewerCount(), 1);
    viewer.SetDiffEngine(&engine);  // the same engine again: still registered once
    QCOMPARE(engine.ViewerCount(), 1);
  }
  QCOMPARE(viewer.DiffEngine(), nullptr);

  // A viewer destroyed first is dropped by the engine and no longer called
  // by the map.
  TdvDiffEngine engine;
  TdvDiffMap map;
  {
    TdvDiffViewer shortLived;
    shortLived.SetDiffEngine(&engine);
    shortLived.SetDiffMap(&map);
    QVERIFY(map.OnMapClick != nullptr);
  }
  QCOMPARE(engine.ViewerCount(), 0);
  QVERIFY(map.OnMapClick == nullptr);
  engine.CompareStrings("a\n", "b\n");

  // Switching engines moves the registration.
  TdvDiffEngine other;
  viewer.SetDiffEngine(&engine);
  viewer.SetDiffEngine(&other);
  QCOMPARE(engine.ViewerCount(), 0);
  QCOMPARE(other.ViewerCount(), 1);

  // A map destroyed first clears the viewer's reference.
  {
    TdvDiffMap shortMap;
    viewer.SetDiffMap(&shortMap);
    QCOMPARE(viewer.DiffMap(), &shortMap);
  }
  QCOMPARE(viewer.DiffMap(), nullptr);
  other.CompareStrings("a\n", "b\n");  // must not touch the dead map
  QCOMPARE(viewer.Pane1()->Items().Count(), 1);
}

void TestDiffViewer::registration_kept_in_one_place() {
  // Registered from the engine's side, the viewer still knows its engine
  // and shows its result; unregistered there, it no longer claims it.
  TdvDiffEngine engine;
  TdvDiffViewer viewer;
  engine.RegisterViewer(&viewer);
  QCOMPARE(viewer.DiffEngine(), &engine);
  engine.CompareStrings("a\nb\n", "a\nc\n");
  QCOMPARE(viewer.Pane2()->Items().Count(), 2);
  QCOMPARE(viewer.MapData(), std::string("\x01\x04"));
  engine.UnregisterViewer(&viewer);
  QCOMPARE(viewer.DiffEngine(), nullptr);
  // A viewer directly registered with two engines is moved to one by SetDiffEngine.
  TdvDiffEngine other;
  engine.RegisterViewer(&viewer);
  other.RegisterViewer(&viewer);
  viewer.SetDiffEngine(&engine);
  QCOMPARE(engine.ViewerCount(), 1);
  QCOMPARE(other.ViewerCount(), 0);
}

QTEST_MAIN(TestDiffViewer)
#include "test_dvDiffViewer.moc"
