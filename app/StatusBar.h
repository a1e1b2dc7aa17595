#pragma once
// A status bar of panels; a panel either shows its text itself or leaves the
// drawing to its owner through OnDrawPanel. Panels keep their widths while
// the bar is wide enough and shrink alike when it is not; a passing message
// covers them for a few seconds.

#include <QString>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <vector>

class QFontMetrics;
class QPainter;

namespace app {

enum class TStatusPanelStyle { psText, psOwnerDraw };

struct TStatusPanel {
  QString Text;
  int Width = 50;
  TStatusPanelStyle Style = TStatusPanelStyle::psText;
};

class TStatusBar : public QWidget {
  Q_OBJECT
 public:
  explicit TStatusBar(QWidget* parent = nullptr);

  /// Appends a panel; panels are laid out left to right, the last one reaching the right edge.
  void AddPanel(const QString& text, int width, TStatusPanelStyle style);
  int PanelCount() const { return static_cast<int>(FPanels.size()); }
  const TStatusPanel& Panel(int index) const { return FPanels.at(static_cast<size_t>(index)); }
  /// Sets a panel's text and repaints the panel when the text changed.
  void SetPanelText(int index, const QString& text);
  /// The area inside a panel's bevel, where its text goes.
  QRect PanelRect(int index) const;

  /// Shows Text across the whole bar instead of the panels for Milliseconds.
  void ShowMessage(const QString& text, int milliseconds = 5000);
  /// The message shown now, or an empty string once it has passed.
  QString Message() const { return FMessage; }
  void ClearMessage();

  /// Draws an owner-drawn panel; the painter already carries the bar's font,
  /// text colour and background.
  std::function<void(TStatusBar* bar, int panel, QPainter& canvas, const QRect& rect)> OnDrawPanel;

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<TStatusPanel> FPanels;
  QString FMessage;
  QTimer FMessageTimer;
};

/// Text cut with an ellipsis to fit Width pixels of Metrics.
QString ElidedText(const QString& text, const QFontMetrics& metrics, int width);

}  // namespace app
