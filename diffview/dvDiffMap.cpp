#include "diffview/dvDiffMap.h"

#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "diffview/dvLibrary.h"
#include "toolkit/StoreChanged.h"

namespace {

constexpr int kMargin = 5;  // pixel rows left free above and below the bands

double Frac(double x) { return x - std::trunc(x); }

int64_t RoundHalfToEven(double x) {
  const double floor = std::floor(x);
  const double rest = x - floor;
  auto whole = static_cast<int64_t>(floor);
  if (rest > 0.5 || (rest == 0.5 && whole % 2 != 0)) ++whole;
  return whole;
}

/// Modified outranks inserted, inserted outranks deleted; 0 for none of them.
int Rank(uint8_t kind) {
  switch (kind) {
    case mkModified:
      return 3;
    case mkInserted:
      return 2;
    case mkDeleted:
      return 1;
    default:
      return 0;
  }
}

}  // namespace

TdvMapScale dvMapScale(int controlHeight, int rowCount) {
  TdvMapScale scale;
  scale.UsableHeight = std::max(controlHeight - 2 * kMargin, 1);
  scale.RowHeight = static_cast<double>(scale.UsableHeight) / std::max(rowCount, 1);
  return scale;
}

std::vector<TdvMapBand> dvMapBands(const std::string& data, int controlHeight) {
  std::vector<TdvMapBand> bands;
  const int rowCount = static_cast<int>(data.size());
  if (rowCount == 0) return bands;
  const TdvMapScale scale = dvMapScale(controlHeight, rowCount);
  const double s = scale.RowHeight;
  // Every band takes at least one row or is followed by one that does, so
  // the loop ends long before this; the limit only guards against a
  // rounding surprise turning into an endless paint.
  const size_t bandLimit = static_cast<size_t>(rowCount) + static_cast<size_t>(scale.UsableHeight) + 16;
  double carry = 0;
  double a = 0;
  int h = 0;
  int y = kMargin;
  int r = 1;
  uint8_t kind = 0;
  while (r <= rowCount && bands.size() < bandLimit) {
    a = a - h;
    double p = Frac(a);
    if (s < 1) {
      h = 1;
    } else {
      h = static_cast<int>(s + carry);
      carry = Frac(s + carry);
    }
    // A row is taken when its centre lies inside the band; taking ends once
    // the band is full.
    int k = 0;
    do {
      if (p + s / 2 > h) break;
      p = p + s;
      ++k;
    } while (p < h);
    const int last = std::min(r + k - 1, rowCount);
    if (k > 0) {
      kind = 0;
      for (int row = r; row <= last; ++row) {
        const auto rowKind = static_cast<uint8_t>(data[static_cast<size_t>(row - 1)]);
        if (Rank(rowKind) > Rank(kind)) kind = rowKind;
      }
    }
    bands.push_back({y, h, r, k > 0 ? last - r + 1 : 0, kind});
    r = r + k;
    y = y + h;
    a = std::trunc(a) + p;
  }
  return bands;
}

int32_t dvMapRowAt(int y, int controlHeight, int rowCount) {
  if (rowCount <= 0) return -1;
  const double s = dvMapScale(controlHeight, rowCount).RowHeight;
  const double position = ((y - kMargin) + s / 2 + 1) / s;
  int64_t row = RoundHalfToEven(std::clamp(position, -1.0, static_cast<double>(rowCount) + 1));
  // Row 0 is never chosen by a click; a one-row result still gets its row.
  row = std::max<int64_t>(row, 1);
  row = std::min<int64_t>(row, rowCount - 1);
  return static_cast<int32_t>(row);
}

TdvDiffMap::TdvDiffMap(QWidget* parent) : QWidget(parent), FIndicator(IndicatorImage()) { resize(25, 200); }

TdvDiffMap::~TdvDiffMap() { OnMapClick = nullptr; }

QImage TdvDiffMap::IndicatorImage() {
  QImage image(4, 5, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  const QColor black(Qt::black);
  for (int row = 0; row < 5; ++row) image.setPixelColor(1, row, black);
  for (int row = 1; row <= 3; ++row) image.setPixelColor(2, row, black);
  image.setPixelColor(3, 2, black);
  return image;
}

void TdvDiffMap::SetColor(TColor value) {
  if (StoreChanged(FColor, value)) update();
}

void TdvDiffMap::SetColorDeleted(TColor value) {
  if (StoreChanged(FColorDeleted, value)) update();
}

void TdvDiffMap::SetColorInserted(TColor value) {
  if (StoreChanged(FColorInserted, value)) update();
}

void TdvDiffMap::SetColorModified(TColor value) {
  if (StoreChanged(FColorModified, value)) update();
}

void TdvDiffMap::SetShowIndicator(bool value) {
  if (StoreChanged(FShowIndicator, value)) update();
}

void TdvDiffMap::SetMapData(const std::string& data) {
  FMapData = data;
  update();
}

void TdvDiffMap::SetIndicatorPos(int32_t value) {
  FIndicatorPos = value;
  update();
}

void TdvDiffMap::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), dvColor(FColor));
  if (FMapData.empty()) return;
  const int left = FShowIndicator ? FIndicator.width() : 0;
  const int right = FShowIndicator ? width() - FIndicator.width() : width();
  for (const TdvMapBand& band : dvMapBands(FMapData, height())) {
    TColor color = FColor;
    switch (band.Kind) {
      case mkModified:
        color = FColorModified;
        break;
      case mkInserted:
        color = FColorInserted;
        break;
      case mkDeleted:
        color = FColorDeleted;
        break;
      default:
        break;
    }
    if (right > left) painter.fillRect(QRect(left, band.Y, right - left, band.Height), dvColor(color));
  }
  if (FShowIndicator) {
    const TdvMapScale scale = dvMapScale(height(), static_cast<int>(FMapData.size()));
    const auto centre = static_cast<int>(kMargin + static_cast<int64_t>(scale.UsableHeight) * FIndicatorPos /
                                                       static_cast<int64_t>(FMapData.size()));
    painter.drawImage(0, centre - FIndicator.height() / 2, FIndicator);
  }
}

void TdvDiffMap::mousePressEvent(QMouseEvent* event) {
  if (!OnMapClick || FMapData.empty()) return;
  const int32_t row =
      dvMapRowAt(static_cast<int>(event->position().y()), height(), static_cast<int>(FMapData.size()));
  OnMapClick(this, row);
  SetIndicatorPos(row);
}
