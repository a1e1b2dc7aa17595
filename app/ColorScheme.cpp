#include "app/ColorScheme.h"

#include <QApplication>
#include <QEvent>
#include <QStyle>
#include <QWidget>

#include "qtbridge/QtGraphics.h"

namespace app {

QPalette LightPalette() {
  // The style's own palette is a light one for every style Qt ships.
  QPalette palette = QApplication::style()->standardPalette();
  if (qtbridge::IsDarkPalette(palette)) palette = QPalette(QColor(0xEF, 0xEF, 0xEF));
  return palette;
}

QPalette DarkPalette() {
  const QColor window(0x2B, 0x2B, 0x2B);
  const QColor base(0x1E, 0x1E, 0x1E);
  const QColor text(0xE8, 0xE8, 0xE8);
  const QColor disabledText(0x80, 0x80, 0x80);
  QPalette palette(text, window, QColor(0x4A, 0x4A, 0x4A), QColor(0x14, 0x14, 0x14), QColor(0x24, 0x24, 0x24),
                   text, QColor(0xFF, 0xFF, 0xFF), base, window);
  palette.setColor(QPalette::AlternateBase, QColor(0x26, 0x26, 0x26));
  palette.setColor(QPalette::Midlight, QColor(0x3A, 0x3A, 0x3A));
  palette.setColor(QPalette::Shadow, QColor(0x00, 0x00, 0x00));
  palette.setColor(QPalette::Button, QColor(0x33, 0x33, 0x33));
  palette.setColor(QPalette::ButtonText, text);
  palette.setColor(QPalette::Highlight, QColor(0x2F, 0x65, 0xCA));
  palette.setColor(QPalette::HighlightedText, QColor(0xFF, 0xFF, 0xFF));
  palette.setColor(QPalette::ToolTipBase, QColor(0x3A, 0x3A, 0x3A));
  palette.setColor(QPalette::ToolTipText, text);
  palette.setColor(QPalette::PlaceholderText, QColor(0xA0, 0xA0, 0xA0));
  palette.setColor(QPalette::Link, QColor(0x7A, 0xA7, 0xFF));
  palette.setColor(QPalette::LinkVisited, QColor(0xC0, 0x9A, 0xFF));
  for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
    palette.setColor(QPalette::Disabled, role, disabledText);
  return palette;
}

void ApplyColorScheme(TColorScheme scheme) {
  switch (scheme) {
    case TColorScheme::Light:
      QApplication::setPalette(LightPalette());
      break;
    case TColorScheme::Dark:
      QApplication::setPalette(DarkPalette());
      break;
    case TColorScheme::FollowDesktop:
    default:
      // A palette that sets nothing is filled in from the platform's.
      QApplication::setPalette(QPalette());
      break;
  }
  // Qt tells the widgets of a new palette only once the event loop runs;
  // a scheme chosen before that (at start) must reach them too.
  QEvent changed(QEvent::ApplicationPaletteChange);
  for (QWidget* widget : QApplication::topLevelWidgets()) QApplication::sendEvent(widget, &changed);
}

QColor ClassColor(TTopicComparison kind, const QColor& background) {
  // A background is dark when white text stands out on it more than black.
  const bool dark =
      qtbridge::ContrastRatio(background, Qt::white) > qtbridge::ContrastRatio(background, Qt::black);
  const TTopicClassInfo& info = ClassInfo(kind);
  const QColor wanted(static_cast<QRgb>(dark ? info.Dark : info.Light));
  return qtbridge::ReadableOn(wanted, background);
}

TDifferenceColors DifferenceColors(const QPalette& palette) {
  if (!qtbridge::IsDarkPalette(palette))
    return {clWindowText,          clYellow,
            RGB(0xF0, 0xB0, 0x00), clBtnFace,
            RGB(0xEC, 0xE4, 0xFA), RGB(0xC9, 0xB4, 0xF0),
            RGB(0x7A, 0x4E, 0xC8)};
  // The light scheme's yellow, amber and violets, dimmed until light text
  // reads on them; the violet mark lightened to stand out on dark.
  return {clWindowText,          RGB(0x4D, 0x43, 0x00), RGB(0x6E, 0x56, 0x00), clBtnFace,
          RGB(0x3A, 0x2F, 0x55), RGB(0x5B, 0x47, 0x90), RGB(0xB4, 0x9A, 0xF0)};
}

}  // namespace app
