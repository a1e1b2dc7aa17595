/// Tests for diffview/dvDiffMap.cpp

#include <QTest>
#include <numeric>
#include <string>
#include <vector>

#include "diffview/dvDiffMap.h"

namespace {

QByteArray kinds_of(std::initializer_list<int> kinds) {
  QByteArray data;
  for (int kind : kinds) data.push_back(static_cast<char>(kind));
  return data;
}

std::string rows(std::initializer_list<int> kinds) { return kinds_of(kinds).toStdString(); }

QColor pixel(TdvDiffMap& map, int x, int y) { return map.grab().toImage().pixelColor(x, y); }

const QColor kWhite(255, 255, 255);
const QColor kYellow(255, 255, 0);
const QColor kBlack(0, 0, 0);

}  // namespace

class TestDiffMap : public QObject {
  Q_OBJECT

 private Q_SLOTS:
  void four_rows_give_four_equal_bands();
  void bands_paint_pixels_and_a_click_picks_the_row();
  void more_rows_than_pixels();
  void band_colour_precedence_data();
  void band_colour_precedence();
  void band_without_row_keeps_previous_colour();
  void every_row_is_taken_once_data();
  void every_row_is_taken_once();
  void click_limits();
  void empty_map_ignores_clicks();
  void indicator_margin_and_triangle();
};

void TestDiffMap::four_rows_give_four_equal_bands() {
  // A map 50 pixels high (H = 40) showing 4 rows 1, 4, 1, 1: s = 10.
  const auto bands = dvMapBands(rows({1, 4, 1, 1}), 50);
  QCOMPARE(bands.size(), size_t(4));
  const int ys[] = {5, 15, 25, 35};
  for (size_t i = 0; i < 4; ++i) {
    QCOMPARE(bands[i].Y, ys[i]);
    QCOMPARE(bands[i].Height, 10);
    QCOMPARE(bands[i].RowCount, 1);
    QCOMPARE(int(bands[i].Kind), i == 1 ? int(mkModified) : 0);
  }
}

void TestDiffMap::bands_paint_pixels_and_a_click_picks_the_row() {
  TdvDiffMap map;
  map.resize(25, 50);
  map.SetShowIndicator(false);
  map.SetMapData(rows({1, 4, 1, 1}));
  QCOMPARE(pixel(map, 12, 14), kWhite);
  QCOMPARE(pixel(map, 12, 15), kYellow);
  QCOMPARE(pixel(map, 12, 24), kYellow);
  QCOMPARE(pixel(map, 12, 25), kWhite);

  std::vector<int> clicked;
  map.OnMapClick = [&](TdvDiffMap* sender, int32_t row) {
    QCOMPARE(sender, &map);
    clicked.push_back(row);
  };
  // (15 + 5 + 1) / 10 = 2.1: row 2.
  QTest::mouseClick(&map, Qt::LeftButton, Qt::NoModifier, QPoint(12, 20));
  QCOMPARE(clicked, std::vector<int>{2});
  QCOMPARE(map.IndicatorPos(), 2);
  // Any button counts.
  QTest::mouseClick(&map, Qt::RightButton, Qt::NoModifier, QPoint(12, 30));
  QCOMPARE(clicked.size(), size_t(2));
}

void TestDiffMap::more_rows_than_pixels() {
  // H = 20 pixel rows for 100 rows: every band is one pixel row.
  std::string data(100, static_cast<char>(mkSame));
  data[49] = static_cast<char>(mkModified);
  const auto bands = dvMapBands(data, 30);
  QCOMPARE(bands.size(), size_t(20));
  int modified = 0;
  for (const auto& band : bands) {
    QCOMPARE(band.Height, 1);
    if (band.Kind == mkModified) {
      ++modified;
      QVERIFY(band.FirstRow <= 50 && 50 < band.FirstRow + band.RowCount);
    }
  }
  QCOMPARE(modified, 1);

  TdvDiffMap map;
  map.resize(25, 30);
  map.SetShowIndicator(false);
  map.SetMapData(data);
  const QImage image = map.grab().toImage();
  int yellowRows = 0;
  for (int y = 0; y < 30; ++y)
    if (image.pixelColor(12, y) == kYellow) ++yellowRows;
  QCOMPARE(yellowRows, 1);
}

void TestDiffMap::band_colour_precedence_data() {
  QTest::addColumn<QByteArray>("firstThree");
  QTest::addColumn<int>("kind");
  // H = 10 for 30 rows: the first band takes rows 1 to 3.
  QTest::newRow("same only") << kinds_of({1, 1, 1}) << 0;
  QTest::newRow("deleted") << kinds_of({1, 2, 1}) << int(mkDeleted);
  QTest::newRow("deleted and inserted") << kinds_of({2, 3, 1}) << int(mkInserted);
  QTest::newRow("inserted before deleted") << kinds_of({3, 2, 1}) << int(mkInserted);
  QTest::newRow("deleted, inserted, modified") << kinds_of({2, 3, 4}) << int(mkModified);
  QTest::newRow("modified first") << kinds_of({4, 3, 2}) << int(mkModified);
}

void TestDiffMap::band_colour_precedence() {
  QFETCH(QByteArray, firstThree);
  QFETCH(int, kind);
  const std::string data = firstThree.toStdString() + std::string(27, static_cast<char>(mkSame));
  const auto bands = dvMapBands(data, 20);
  QCOMPARE(bands[0].RowCount, 3);
  QCOMPARE(int(bands[0].Kind), kind);
}

void TestDiffMap::band_without_row_keeps_previous_colour() {
  // s = 1.2: the fourth band (one pixel row at y = 8) takes no row; row 3 is
  // deleted and still being drawn there.
  const auto bands = dvMapBands(rows({1, 1, 2, 1, 1, 1, 1, 1, 1, 1}), 22);
  QVERIFY(bands.size() > 4);
  QCOMPARE(bands[2].FirstRow, 3);
  QCOMPARE(bands[3].RowCount, 0);
  QCOMPARE(bands[3].Y, 8);
  QCOMPARE(int(bands[3].Kind), int(mkDeleted));
  QCOMPARE(int(bands[4].Kind), 0);
}

void TestDiffMap::every_row_is_taken_once_data() {
  QTest::addColumn<int>("rowCount");
  QTest::addColumn<int>("height");
  for (int rowCount : {1, 2, 3, 7, 10, 33, 99, 250, 1000, 200000})
    for (int height : {1, 11, 22, 50, 97, 200, 613})
      QTest::addRow("%d rows in %d pixels", rowCount, height) << rowCount << height;
}

void TestDiffMap::every_row_is_taken_once() {
  QFETCH(int, rowCount);
  QFETCH(int, height);
  const auto bands = dvMapBands(std::string(static_cast<size_t>(rowCount), 1), height);
  int next = 1;
  int y = 5;
  for (const auto& band : bands) {
    QCOMPARE(band.Y, y);
    if (band.RowCount > 0) QCOMPARE(band.FirstRow, next);
    next += band.RowCount;
    y += band.Height;
  }
  QCOMPARE(next, rowCount + 1);
  // The bands stay within the usable height (one pixel row of rounding).
  QVERIFY2(y <= 5 + std::max(height - 10, 1) + 1, qPrintable(QString::number(y)));
}

void TestDiffMap::click_limits() {
  // Top of the strip: row 1, never row 0; bottom: row N - 1.
  QCOMPARE(dvMapRowAt(0, 50, 4), 1);
  QCOMPARE(dvMapRowAt(5, 50, 4), 1);
  QCOMPARE(dvMapRowAt(49, 50, 4), 3);
  QCOMPARE(dvMapRowAt(5000, 50, 4), 3);
  QCOMPARE(dvMapRowAt(-5000, 50, 4), 1);
  // Halves go to the even neighbour: s = 10, y = 19 gives 2.0, y = 24 gives 2.5.
  QCOMPARE(dvMapRowAt(24, 50, 40 / 10), 2);
  QCOMPARE(dvMapRowAt(34, 50, 4), 3);  // 3.5 -> 4, limited to 3
  QCOMPARE(dvMapRowAt(24, 90, 8), 2);  // s = 10 again: 2.5 -> 2
  QCOMPARE(dvMapRowAt(34, 90, 8), 4);  // 3.5 -> 4
  // A one-row result still reports a row that exists.
  QCOMPARE(dvMapRowAt(30, 50, 1), 0);
  QCOMPARE(dvMapRowAt(30, 50, 0), -1);
}

void TestDiffMap::empty_map_ignores_clicks() {
  TdvDiffMap map;
  int calls = 0;
  map.OnMapClick = [&](TdvDiffMap*, int32_t) { ++calls; };
  QTest::mouseClick(&map, Qt::LeftButton, Qt::NoModifier, QPoint(10, 50));
  QCOMPARE(calls, 0);
  QCOMPARE(map.IndicatorPos(), 0);
}

void TestDiffMap::indicator_margin_and_triangle() {
  TdvDiffMap map;
  map.resize(25, 50);
  map.SetMapData(rows({4, 4, 4, 4}));
  // With the indicator the bands leave 4 pixels on both sides.
  QImage image = map.grab().toImage();
  QCOMPARE(image.pixelColor(4, 30), kYellow);
  QCOMPARE(image.pixelColor(20, 30), kYellow);
  QCOMPARE(image.pixelColor(3, 30), kWhite);
  QCOMPARE(image.pixelColor(21, 30), kWhite);
  // The triangle at row 0: centred on y = 5, top at y = 3.
  for (int y = 3; y <= 7; ++y) QCOMPARE(image.pixelColor(1, y), kBlack);
  QCOMPARE(image.pixelColor(1, 2), kWhite);
  QCOMPARE(image.pixelColor(1, 8), kWhite);
  QCOMPARE(image.pixelColor(2, 3), kWhite);
  QCOMPARE(image.pixelColor(2, 4), kBlack);
  QCOMPARE(image.pixelColor(3, 5), kBlack);
  QCOMPARE(image.pixelColor(3, 4), kWhite);
  QCOMPARE(image.pixelColor(0, 5), kWhite);  // column 0 is transparent

  // The indicator follows its row: row 2 of 4 is centred on 5 + 40 * 2 / 4 = 25.
  map.SetIndicatorPos(2);
  image = map.grab().toImage();
  QCOMPARE(image.pixelColor(3, 25), kBlack);
  QCOMPARE(image.pixelColor(3, 5), kWhite);

  // Without it the bands run the full width.
  map.SetShowIndicator(false);
  image = map.grab().toImage();
  QCOMPARE(image.pixelColor(0, 30), kYellow);
  QCOMPARE(image.pixelColor(24, 30), kYellow);
}

QTEST_MAIN(TestDiffMap)
#include "test_dvDiffMap.moc"
