#pragma once
// The overview strip of a comparison: the strip's height stands for every
// row of the result, stretches of differing rows are painted in the colour
// of their kind, and a click reports the row under the mouse.

#include <QImage>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "toolkit/Graphics.h"

class TdvDiffMap;

/// A click on the map: the row the click stands for.
using TdvDiffMapClickEvent = std::function<void(TdvDiffMap* sender, int32_t indicatorPos)>;

/// Bytes of the map data, one per result row.
enum TdvMapKind : uint8_t { mkSame = 1, mkDeleted = 2, mkInserted = 3, mkModified = 4 };

/// One band of whole pixel rows and the result rows it took.
struct TdvMapBand {
  int Y = 0;         // first pixel row
  int Height = 0;    // pixel rows
  int FirstRow = 0;  // first result row taken, counted from 1
  int RowCount = 0;  // rows taken; 0 for a band that continues a tall row
  uint8_t Kind = 0;  // strongest kind in the band; 0 when it took no differing row
};

/// The strip's geometry for a map of the given height and data length.
struct TdvMapScale {
  int UsableHeight = 1;  // H: control height - 10, at least 1
  double RowHeight = 1;  // s = H / N (N taken as 1 without data)
};

TdvMapScale dvMapScale(int controlHeight, int rowCount);
/// Cuts the strip into bands from y = 5 down. Kinds rank modified, then
/// inserted, then deleted; a band that took no row keeps the kind of the
/// band before it.
std::vector<TdvMapBand> dvMapBands(const std::string& data, int controlHeight);
/// The row a click at y stands for: always a row of the data (1 ... N - 1
/// when there are at least two rows), or -1 without data.
int32_t dvMapRowAt(int y, int controlHeight, int rowCount);

/// A narrow vertical strip that shows a whole comparison result at once.
class TdvDiffMap : public QWidget {
  Q_OBJECT

 public:
  explicit TdvDiffMap(QWidget* parent = nullptr);
  ~TdvDiffMap() override;

  TColor Color() const { return FColor; }
  void SetColor(TColor value);
  TColor ColorDeleted() const { return FColorDeleted; }
  void SetColorDeleted(TColor value);
  TColor ColorInserted() const { return FColorInserted; }
  void SetColorInserted(TColor value);
  TColor ColorModified() const { return FColorModified; }
  void SetColorModified(TColor value);
  bool ShowIndicator() const { return FShowIndicator; }
  void SetShowIndicator(bool value);

  const std::string& MapData() const { return FMapData; }
  /// A copy of the data is kept; the indicator stays where it was.
  void SetMapData(const std::string& data);
  int32_t IndicatorPos() const { return FIndicatorPos; }
  void SetIndicatorPos(int32_t value);

  /// The 4 x 5 triangle pointing right, transparent where it is not black.
  static QImage IndicatorImage();

  TdvDiffMapClickEvent OnMapClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  TColor FColorDeleted = clRed;
  TColor FColorInserted = clLime;
  TColor FColorModified = clYellow;
  bool FShowIndicator = true;
  int32_t FIndicatorPos = 0;
  QImage FIndicator;
  std::string FMapData;
  TColor FColor = clWindow;
};
