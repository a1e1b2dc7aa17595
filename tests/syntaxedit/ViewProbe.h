#pragma once
// Reads and drives a rich-text view for tests that also include the
// document's headers, which cannot sit beside the view's header (their
// alignment enumerators share names).

#include <QColor>
#include <QString>
#include <string>
#include <vector>

class QWidget;
class TRichEdit;

namespace probe {

TRichEdit* NewView(QWidget* parent);
QWidget* Widget(TRichEdit* view);
/// Replaces the content with RTF (or plain text).
void SetContent(TRichEdit& view, const std::string& bytes);
QString Text(const TRichEdit& view);
void Select(TRichEdit& view, int start, int length);
int SelStart(const TRichEdit& view);
int SelLength(const TRichEdit& view);
int LineIndex(const TRichEdit& view, int line);

/// Formats of the character at Position.
QColor ColorAt(const TRichEdit& view, int position);
bool BoldAt(const TRichEdit& view, int position);
QString FamilyAt(const TRichEdit& view, int position);
int PointSizeAt(const TRichEdit& view, int position);
/// Paragraph formats of Line (tab stops and indents in points).
std::vector<int> TabStops(const TRichEdit& view, int line);
bool Bullet(const TRichEdit& view, int line);
bool Centred(const TRichEdit& view, int line);

}  // namespace probe
