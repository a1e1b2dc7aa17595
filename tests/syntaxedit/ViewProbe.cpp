#include "ViewProbe.h"

#include <QTextBlock>
#include <QTextDocument>

#include "richtext/RichEdit.h"

namespace probe {
namespace {

QTextCharFormat FormatAt(const TRichEdit& view, int position) {
  QTextCursor c(view.document());
  c.setPosition(position + 1);
  return c.charFormat();
}

}  // namespace

TRichEdit* NewView(QWidget* parent) { return new TRichEdit(parent); }
QWidget* Widget(TRichEdit* view) { return view; }
void SetContent(TRichEdit& view, const std::string& bytes) { view.LoadRtf(bytes); }
QString Text(const TRichEdit& view) { return view.toPlainText(); }

void Select(TRichEdit& view, int start, int length) {
  view.SetSelStart(start);
  view.SetSelLength(length);
}

int SelStart(const TRichEdit& view) { return view.SelStart(); }
int SelLength(const TRichEdit& view) { return view.SelLength(); }
int LineIndex(const TRichEdit& view, int line) { return view.LineIndex(line); }

QColor ColorAt(const TRichEdit& view, int position) {
  const QTextCharFormat f = FormatAt(view, position);
  return f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor();
}

bool BoldAt(const TRichEdit& view, int position) {
  return FormatAt(view, position).fontWeight() >= QFont::Bold;
}

QString FamilyAt(const TRichEdit& view, int position) {
  const QStringList families = FormatAt(view, position).fontFamilies().toStringList();
  return families.isEmpty() ? QString() : families.first();
}

int PointSizeAt(const TRichEdit& view, int position) {
  return static_cast<int>(FormatAt(view, position).fontPointSize());
}

std::vector<int> TabStops(const TRichEdit& view, int line) {
  std::vector<int> stops;
  const QTextBlock block = view.document()->findBlockByNumber(line);
  for (const QTextOption::Tab& tab : block.blockFormat().tabPositions())
    stops.push_back(static_cast<int>(std::lround(tab.position * 72.0 / 96.0)));
  return stops;
}

bool Bullet(const TRichEdit& view, int line) {
  return view.document()->findBlockByNumber(line).textList() != nullptr;
}

bool Centred(const TRichEdit& view, int line) {
  return (view.document()->findBlockByNumber(line).blockFormat().alignment() & Qt::AlignHCenter) != 0;
}

}  // namespace probe
