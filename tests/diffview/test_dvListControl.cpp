/// Tests for diffview/dvScrollableControl.cpp, diffview/dvListControl.cpp and diffview/dvLibrary.cpp

#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>
#include <memory>
#include <vector>

#include "diffview/dvLibrary.h"
#include "diffview/dvListControl.h"

namespace {

/// A list of `count` items "Item n", sized so that exactly `visible` whole
/// rows fit (with half a row to spare below them).
std::unique_ptr<TdvListControl> make_list(int count, int visible) {
  auto list = std::make_unique<TdvListControl>();
  list->Items().BeginUpdate();
  for (int i = 0; i < count; ++i) list->Items().Add("Item " + std::to_string(i));
  list->Items().EndUpdate();
  list->resize(200, visible * list->ItemHeight() + list->ItemHeight() / 2);
  return list;
}

void show_and_focus(TdvListControl& list) {
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  list.activateWindow();
  list.setFocus();
  QTRY_VERIFY(list.hasFocus());
}

void send_wheel(TdvListControl& list, int delta) {
  const QPointF pos(10, 10);
  QWheelEvent event(pos, list.viewport()->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
                    Qt::NoModifier, Qt::NoScrollPhase, false);
  QCoreApplication::sendEvent(list.viewport(), &event);
}

QPoint row_point(const TdvListControl& list, int row) {
  return QPoint(20, row * list.ItemHeight() + list.ItemHeight() / 2);
}

}  // namespace

class TestListControl : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  // Compared lines are UTF-8 (topic texts) or Windows-1252 (files): both show
  // their real characters, never '?' or two glyphs for one letter.
  void linesShowUtf8AndCodePageText() {
    QCOMPARE(dvTextToQString("\xCE\xB1\xCE\xB2 \xD0\x96"), QString::fromUtf8("\u03B1\u03B2 \u0416"));
    QCOMPARE(dvTextToQString("caf\xE9 \x80"), QString::fromUtf8("caf\u00E9 \u20AC"));
    QVERIFY(!dvIsValidUtf8("\xC0\xAF"));         // overlong
    QVERIFY(!dvIsValidUtf8("\xED\xA0\x80"));     // surrogate
    QVERIFY(!dvIsValidUtf8("\xE2\x82"));         // cut short
    QVERIFY(dvIsValidUtf8("\xF0\x9F\x98\x80"));  // beyond the BMP
  }
  void empty_list_has_no_current_item();
  void loading_items_selects_row_zero_and_empty_list_has_none();
  void keys_move_current_item_data();
  void keys_move_current_item();
  void page_down_scrolls_current_item_into_view();
  void ctrl_right_goes_to_content_end_or_clamps_to_zero();
  void wheel_notches_scroll_by_items();
  void shift_extends_and_shrinks_with_multiselect();
  void shift_without_multiselect_moves_single_item();
  void click_selects_row_and_below_last_selects_last();
  void plain_click_notifies_vertical_scroll();
  void drag_extends_selection_and_scrolls();
  void selection_colours_data();
  void selection_colours();
  void scroll_requests_data();
  void scroll_requests();
  void thumb_position_beyond_16_bits();
  void set_sel_length_stays_inside_items();
  void content_width_measured_again_after_items_change();
  void widest_text_matches_measuring_every_line();
  void widest_text_of_many_equal_lines_never_too_narrow();
  void paints_only_whole_rows();
  void ensure_range_rejects_empty_range();
};

void TestListControl::empty_list_has_no_current_item() {
  TdvListControl list;
  QCOMPARE(list.ItemIndex(), -1);
  // An empty list ignores SetItemIndex, keys and clicks.
  list.SetItemIndex(3);
  QCOMPARE(list.ItemIndex(), -1);
  for (Qt::Key key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_PageDown, Qt::Key_End, Qt::Key_Home, Qt::Key_Right}) {
    QTest::keyClick(&list, key);
    QCOMPARE(list.ItemIndex(), -1);
    QCOMPARE(list.SelStart(), -1);
    QCOMPARE(list.TopIndex(), 0);
  }
  QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
  QCOMPARE(list.ItemIndex(), -1);
}

void TestListControl::loading_items_selects_row_zero_and_empty_list_has_none() {
  auto list = make_list(10, 4);
  list->SetItemIndex(7);
  QCOMPARE(list->ItemIndex(), 7);
  QCOMPARE(list->TopIndex(), 4);

  // Given new items, the current item and the range go back to row 0.
  TStrings lines;
  lines.SetText("a\nb\nc");
  list->SetItems(lines);
  QCOMPARE(list->ItemIndex(), 0);
  QCOMPARE(list->SelStart(), 0);
  QCOMPARE(list->SelEnd(), 0);
  QCOMPARE(list->TopIndex(), 0);

  // Emptied, the list has no current item at all.
  list->Items().Clear();
  QCOMPARE(list->ItemIndex(), -1);
  QCOMPARE(list->SelStart(), -1);
  QCOMPARE(list->TopIndex(), 0);
}

void TestListControl::keys_move_current_item_data() {
  QTest::addColumn<int>("start");
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("expected");
  // 20 items, 5 visible: a page step is 4 items.
  QTest::newRow("Down") << 3 << int(Qt::Key_Down) << 4;
  QTest::newRow("Up") << 3 << int(Qt::Key_Up) << 2;
  QTest::newRow("Up at the top stays") << 0 << int(Qt::Key_Up) << 0;
  QTest::newRow("Down at the end stays") << 19 << int(Qt::Key_Down) << 19;
  QTest::newRow("Page Up") << 10 << int(Qt::Key_PageUp) << 6;
  QTest::newRow("Page Up clamps") << 2 << int(Qt::Key_PageUp) << 0;
  QTest::newRow("Page Down clamps") << 18 << int(Qt::Key_PageDown) << 19;
  QTest::newRow("Home") << 12 << int(Qt::Key_Home) << 0;
  QTest::newRow("End") << 2 << int(Qt::Key_End) << 19;
}

void TestListControl::keys_move_current_item() {
  QFETCH(int, start);
  QFETCH(int, key);
  QFETCH(int, expected);
  auto list = make_list(20, 5);
  list->SetItemIndex(start);
  QTest::keyClick(list.get(), static_cast<Qt::Key>(key));
  QCOMPARE(list->ItemIndex(), expected);
  QCOMPARE(list->SelStart(), expected);
  QCOMPARE(list->SelEnd(), expected);
  // The current item is always in view afterwards.
  QVERIFY(list->TopIndex() <= expected && expected < list->TopIndex() + list->GetPageItems());
}

void TestListControl::page_down_scrolls_current_item_into_view() {
  auto list = make_list(10, 4);
  QCOMPARE(list->GetPageItems(), 4);
  QTest::keyClick(list.get(), Qt::Key_PageDown);
  QCOMPARE(list->ItemIndex(), 3);
  QCOMPARE(list->TopIndex(), 0);
  QTest::keyClick(list.get(), Qt::Key_PageDown);
  QCOMPARE(list->ItemIndex(), 6);
  QCOMPARE(list->TopIndex(), 3);
}

void TestListControl::ctrl_right_goes_to_content_end_or_clamps_to_zero() {
  // Given lines far wider than the control.
  auto wide = std::make_unique<TdvListControl>();
  wide->resize(100, 100);
  wide->Items().Add(std::string(200, 'W'));
  const int maxOffset = wide->ContentWidth() - wide->ClientWidth();
  QVERIFY(maxOffset > 0);
  QTest::keyClick(wide.get(), Qt::Key_Right, Qt::ControlModifier);
  QCOMPARE(wide->HorzOffset(), maxOffset);
  QTest::keyClick(wide.get(), Qt::Key_Left);
  QCOMPARE(wide->HorzOffset(), maxOffset - 1);
  QTest::keyClick(wide.get(), Qt::Key_Right);
  QCOMPARE(wide->HorzOffset(), maxOffset);
  QTest::keyClick(wide.get(), Qt::Key_Right);  // already at the end
  QCOMPARE(wide->HorzOffset(), maxOffset);
  QTest::keyClick(wide.get(), Qt::Key_Left, Qt::AltModifier);  // no effect with other modifiers
  QCOMPARE(wide->HorzOffset(), maxOffset);
  QTest::keyClick(wide.get(), Qt::Key_Left, Qt::ControlModifier);
  QCOMPARE(wide->HorzOffset(), 0);

  // Given content narrower than the control, Ctrl+Right computes a negative
  // position that the horizontal update clamps to 0.
  auto narrow = make_list(3, 3);
  std::vector<int> bars;
  narrow->OnScroll = [&](TdvCustomScrollableControl*, int32_t bar) { bars.push_back(bar); };
  QTest::keyClick(narrow.get(), Qt::Key_Right, Qt::ControlModifier);
  QCOMPARE(narrow->HorzOffset(), 0);
  QVERIFY(std::find(bars.begin(), bars.end(), 0) != bars.end());
}

void TestListControl::wheel_notches_scroll_by_items() {
  auto list = make_list(50, 5);
  list->SetTopIndex(10);
  send_wheel(*list, 120);
  QCOMPARE(list->TopIndex(), 9);
  send_wheel(*list, 360);
  QCOMPARE(list->TopIndex(), 6);
  send_wheel(*list, -240);
  QCOMPARE(list->TopIndex(), 8);
  // Half notches of a fine wheel add up instead of being lost.
  send_wheel(*list, -60);
  QCOMPARE(list->TopIndex(), 8);
  send_wheel(*list, -60);
  QCOMPARE(list->TopIndex(), 9);
  // Clamped at both ends.
  send_wheel(*list, 120 * 100);
  QCOMPARE(list->TopIndex(), 0);
  send_wheel(*list, -120 * 100);
  QCOMPARE(list->TopIndex(), list->MaxTopIndex());
  QCOMPARE(list->MaxTopIndex(), 45);
}

void TestListControl::shift_extends_and_shrinks_with_multiselect() {
  auto list = make_list(20, 5);
  list->SetMultiSelect(true);
  list->SetItemIndex(5);
  for (int i = 0; i < 3; ++i) QTest::keyClick(list.get(), Qt::Key_Down, Qt::ShiftModifier);
  QCOMPARE(list->SelStart(), 5);
  QCOMPARE(list->SelEnd(), 8);
  QCOMPARE(list->SelLength(), 3);
  QCOMPARE(list->ItemIndex(), 8);
  QTest::keyClick(list.get(), Qt::Key_Up, Qt::ShiftModifier);
  QCOMPARE(list->SelStart(), 5);
  QCOMPARE(list->SelEnd(), 7);

  // Past the anchor the range turns around it.
  for (int i = 0; i < 4; ++i) QTest::keyClick(list.get(), Qt::Key_Up, Qt::ShiftModifier);
  QCOMPARE(list->SelStart(), 3);
  QCOMPARE(list->SelEnd(), 5);
  QCOMPARE(list->ItemIndex(), 3);

  // Shift with Ctrl is not Shift alone: the range collapses.
  QTest::keyClick(list.get(), Qt::Key_Down, Qt::ShiftModifier | Qt::ControlModifier);
  QCOMPARE(list->SelStart(), 4);
  QCOMPARE(list->SelEnd(), 4);

  // Turning MultiSelect off collapses the range to the current item.
  QTest::keyClick(list.get(), Qt::Key_Down, Qt::ShiftModifier);
  QCOMPARE(list->SelLength(), 1);
  list->SetMultiSelect(false);
  QCOMPARE(list->SelStart(), list->ItemIndex());
  QCOMPARE(list->SelEnd(), list->ItemIndex());
}

void TestListControl::shift_without_multiselect_moves_single_item() {
  auto list = make_list(20, 5);
  list->SetItemIndex(5);
  QTest::keyClick(list.get(), Qt::Key_Down, Qt::ShiftModifier);
  QCOMPARE(list->SelStart(), 6);
  QCOMPARE(list->SelEnd(), 6);
}

void TestListControl::click_selects_row_and_below_last_selects_last() {
  auto list = make_list(3, 6);
  show_and_focus(*list);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*list, 1));
  QCOMPARE(list->ItemIndex(), 1);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*list, 5));
  QCOMPARE(list->ItemIndex(), 2);
  QCOMPARE(list->SelStart(), 2);

  // Shift+click with MultiSelect extends from the current item.
  auto longer = make_list(30, 6);
  show_and_focus(*longer);
  longer->SetMultiSelect(true);
  longer->SetTopIndex(10);
  QTest::mouseClick(longer->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*longer, 1));
  QCOMPARE(longer->ItemIndex(), 11);
  QTest::mouseClick(longer->viewport(), Qt::LeftButton, Qt::ShiftModifier, row_point(*longer, 4));
  QCOMPARE(longer->SelStart(), 11);
  QCOMPARE(longer->SelEnd(), 14);
  // A click on the bottom edge below the client area steps one item further.
  QTest::mouseClick(longer->viewport(), Qt::LeftButton, Qt::NoModifier,
                    QPoint(20, longer->ClientHeight() + 3));
  QCOMPARE(longer->ItemIndex(), 10 + longer->GetPageItems() + 1);
}

void TestListControl::plain_click_notifies_vertical_scroll() {
  auto list = make_list(10, 5);
  show_and_focus(*list);
  std::vector<int> bars;
  list->OnScroll = [&](TdvCustomScrollableControl* sender, int32_t bar) {
    QCOMPARE(sender, list.get());
    bars.push_back(bar);
  };
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*list, 3));
  QCOMPARE(list->ItemIndex(), 3);
  QVERIFY(std::find(bars.begin(), bars.end(), 1) != bars.end());
  // A quick second click on another row counts as a click too.
  QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*list, 1));
  QCOMPARE(list->ItemIndex(), 1);
}

void TestListControl::drag_extends_selection_and_scrolls() {
  auto list = make_list(30, 6);
  show_and_focus(*list);
  list->SetMultiSelect(true);
  auto drag_to = [&](QPoint to) {
    QMouseEvent move(QEvent::MouseMove, to, list->viewport()->mapToGlobal(to), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(list->viewport(), &move);
  };
  QTest::mousePress(list->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*list, 1));
  drag_to(row_point(*list, 4));
  QCOMPARE(list->SelStart(), 1);
  QCOMPARE(list->SelEnd(), 4);
  // Dragging below the list moves the current item past the page, which
  // scrolls the list.
  drag_to(QPoint(20, list->ClientHeight() + 2 * list->ItemHeight()));
  QVERIFY(list->ItemIndex() > 5);
  QCOMPARE(list->TopIndex(), list->ItemIndex() - (list->GetPageItems() - 1));
  QCOMPARE(list->SelStart(), 1);
  QTest::mouseRelease(list->viewport(), Qt::LeftButton, Qt::NoModifier, row_point(*list, 4));
  // Moving without the button changes nothing.
  const int current = list->ItemIndex();
  QMouseEvent hover(QEvent::MouseMove, QPointF(20, 2), list->viewport()->mapToGlobal(QPointF(20, 2)),
                    Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(list->viewport(), &hover);
  QCOMPARE(list->ItemIndex(), current);
}

void TestListControl::selection_colours_data() {
  QTest::addColumn<bool>("focused");
  QTest::addColumn<bool>("hideSelection");
  QTest::addColumn<bool>("highlighted");
  QTest::addColumn<bool>("selectedFlag");
  QTest::newRow("focused") << true << false << true << true;
  QTest::newRow("not focused") << false << false << false << true;
  QTest::newRow("focused, HideSelection") << true << true << false << false;
  QTest::newRow("not focused, HideSelection") << false << true << false << false;
}

void TestListControl::selection_colours() {
  QFETCH(bool, focused);
  QFETCH(bool, hideSelection);
  QFETCH(bool, highlighted);
  QFETCH(bool, selectedFlag);
  auto list = make_list(10, 5);
  list->SetHideSelection(hideSelection);
  list->SetItemIndex(2);
  if (focused) show_and_focus(*list);
  std::vector<bool> flags;
  list->OnFormatDrawing = [&](TdvListControl*, TdvCanvas&, bool selected, std::string&) {
    flags.push_back(selected);
  };
  const QImage image = list->grab().toImage();
  const QColor expected = highlighted ? dvColor(clHighlight) : QColor(255, 255, 255);
  QCOMPARE(image.pixelColor(list->ClientWidth() - 4, row_point(*list, 2).y()), expected);
  QCOMPARE(image.pixelColor(list->ClientWidth() - 4, row_point(*list, 1).y()), QColor(255, 255, 255));
  QCOMPARE(flags.size(), size_t(5));
  QCOMPARE(bool(flags[2]), selectedFlag);
  QCOMPARE(bool(flags[1]), false);
}

void TestListControl::scroll_requests_data() {
  QTest::addColumn<int>("code");
  QTest::addColumn<int>("position");
  QTest::addColumn<int>("expected");
  // 40 items, 5 visible, starting at TopIndex 10.
  QTest::newRow("line down") << int(TScrollCode::scLineDown) << 0 << 11;
  QTest::newRow("line up") << int(TScrollCode::scLineUp) << 0 << 9;
  QTest::newRow("page down") << int(TScrollCode::scPageDown) << 0 << 15;
  QTest::newRow("page up") << int(TScrollCode::scPageUp) << 0 << 5;
  QTest::newRow("thumb track") << int(TScrollCode::scTrack) << 22 << 22;
  QTest::newRow("thumb position past the end") << int(TScrollCode::scPosition) << 99 << 35;
  QTest::newRow("top") << int(TScrollCode::scTop) << 0 << 0;
  QTest::newRow("bottom") << int(TScrollCode::scBottom) << 0 << 35;
  QTest::newRow("end scroll") << int(TScrollCode::scEndScroll) << 0 << 10;
}

void TestListControl::scroll_requests() {
  QFETCH(int, code);
  QFETCH(int, position);
  QFETCH(int, expected);
  auto list = make_list(40, 5);
  list->SetTopIndex(10);
  list->ScrollRequest(1, static_cast<TScrollCode>(code), position);
  QCOMPARE(list->TopIndex(), expected);
}

void TestListControl::thumb_position_beyond_16_bits() {
  auto list = make_list(100000, 5);
  list->SetScrollBars(TScrollStyle::ssVertical);
  list->ScrollRequest(1, TScrollCode::scTrack, 70000);
  QCOMPARE(list->TopIndex(), 70000);
  // With a bar, the scrolling setter goes through it and reads it back.
  list->ScrollTopIndex(1000000);
  QCOMPARE(list->TopIndex(), list->MaxTopIndex());
}

void TestListControl::set_sel_length_stays_inside_items() {
  auto list = make_list(10, 5);
  list->SetMultiSelect(true);
  list->SetItemIndex(6);
  list->SetSelLength(2);
  QCOMPARE(list->SelEnd(), 8);
  QCOMPARE(list->ItemIndex(), 8);
  list->SetItemIndex(6);
  list->SetSelLength(10);
  QCOMPARE(list->SelEnd(), 9);
  list->SetItemIndex(6);
  list->SetSelLength(-3);
  QCOMPARE(list->SelStart(), 6);
  QCOMPARE(list->SelEnd(), 6);
  list->SetMultiSelect(false);
  list->SetSelLength(2);
  QCOMPARE(list->SelEnd(), list->SelStart());
}

void TestListControl::content_width_measured_again_after_items_change() {
  auto list = make_list(3, 3);
  const int narrow = list->ContentWidth();
  list->Items().Add(std::string(60, 'M'));
  QVERIFY(list->ContentWidth() > narrow);
  list->SetMaxWidth(5000);
  QCOMPARE(list->ContentWidth(), 5000);
  QCOMPARE(list->MaxHorzOffset(), 5000 - list->ClientWidth());
  list->Items().Delete(3);
  QCOMPARE(list->ContentWidth(), narrow);
}

void TestListControl::widest_text_matches_measuring_every_line() {
  // Kerning pairs, ligatures, tabs, kind bytes and Windows-1252 letters: the
  // shortcut must give what shaping every line gives.
  const std::vector<std::string> samples = {"AVAVAVAVAVAVAVAVAVAV",
                                            "WWWWWWWWWWWWWWWWWW",
                                            "iiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiiii",
                                            "office affluent ffi ffl",
                                            "\x01same line\twith a tab",
                                            "\x04"
                                            "caf\xE9 \x80 \x93quoted\x94",
                                            "To Ty Yo LT",
                                            "abc\t\tdef",
                                            "a rather long prefix of text\tx\ty",
                                            "",
                                            "mmmmmmmmmmmmmmmm"};
  for (const QFont& font :
       {QFont(), QFont(QStringLiteral("DejaVu Serif"), 13), QFont(QStringLiteral("DejaVu Sans Mono"), 9)}) {
    const QFontMetrics metrics(font);
    for (size_t first = 0; first < samples.size(); ++first) {
      TStrings lines;
      int expected = 0;
      for (size_t i = first; i < samples.size(); ++i) {
        lines.Add(samples[i]);
        expected = std::max(expected, metrics.horizontalAdvance(dvToQString(samples[i])));
      }
      QCOMPARE(dvWidestText(lines, font), expected);
    }
  }
}

void TestListControl::widest_text_of_many_equal_lines_never_too_narrow() {
  // Thousands of lines of about one width: the width may come out a few
  // pixels wide, never narrower than the widest line.
  TStrings lines;
  for (int i = 0; i < 5000; ++i) lines.Add("line " + std::to_string(100000 + i) + " of about one width");
  const QFont font;
  int exact = 0;
  for (int i = 0; i < lines.Count(); ++i)
    exact = std::max(exact, QFontMetrics(font).horizontalAdvance(dvToQString(lines.Strings(i))));
  const int width = dvWidestText(lines, font);
  QVERIFY2(width >= exact && width <= exact + exact / 16 + 8,
           qPrintable(QStringLiteral("%1 vs %2").arg(width).arg(exact)));
}

void TestListControl::paints_only_whole_rows() {
  // Every row painted red by the handler; the half row below the last
  // whole row must stay in the background colour.
  auto list = make_list(10, 3);
  list->OnFormatDrawing = [](TdvListControl*, TdvCanvas& canvas, bool, std::string& str) {
    canvas.BrushColor = clRed;
    str = "";
  };
  const QImage image = list->grab().toImage();
  const int itemHeight = list->ItemHeight();
  QCOMPARE(image.pixelColor(50, 1), QColor(255, 0, 0));
  QCOMPARE(image.pixelColor(50, 3 * itemHeight - 1), QColor(255, 0, 0));
  QCOMPARE(image.pixelColor(50, 3 * itemHeight + 1), QColor(255, 255, 255));
}

void TestListControl::ensure_range_rejects_empty_range() {
  QCOMPARE(dvEnsureRange(5, 0, 3), 3);
  QCOMPARE(dvEnsureRange(-5, 0, 3), 0);
  QCOMPARE(dvEnsureRange(2, 0, 3), 2);
  try {
    dvEnsureRange(1, 5, 3);
    QFAIL("no error");
  } catch (const EdvRangeError& error) {
    QCOMPARE(QString::fromStdString(error.Message()), QStringLiteral("5 is not less than or equal to 3"));
  }
}

QTEST_MAIN(TestListControl)
#include "test_dvListControl.moc"
