#pragma once
// TRichEdit: the rich-text view. A QTextEdit that reads and writes RTF with
// our own reader (RtfReader) and writer (RtfWriter), so that topic bodies,
// converter output and the clipboard all speak RTF.
//
// Positions and lines: a character position is a position in the document,
// where every paragraph end counts as one character. A "line" is a
// paragraph (a text block); the line queries, the first visible line and
// scrolling by lines all count paragraphs, whatever the view's width, so
// that both views of a comparison report the same lines.

#include <QStringList>
#include <QTextEdit>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "toolkit/Controls.h"
#include "toolkit/Graphics.h"

class TStream;
class QAction;
class QKeyEvent;
class QMimeData;

/// Paragraph numbering of the selection's paragraphs.
enum TNumberingStyle { nsNone, nsBullet };

/// Paragraph alignment.
enum class TParaAlignment { taLeftJustify, taRightJustify, taCenter, taJustify };

/// Which scroll bars the view shows.

/// Character attributes of the selection; unset members are left alone.
struct TRichCharAttributes {
  bool HasColor = false;
  TColor Color = clBlack;
  std::string Name;  // typeface, Windows-1252; empty: leave alone
  int Size = 0;      // points; 0: leave alone
  bool HasStyle = false;
  TFontStyles Style;
};

/// Paragraph attributes of the selection's paragraphs (indents and tab stops
/// in points; unset members are left alone).
struct TRichParaAttributes {
  bool HasNumbering = false;
  TNumberingStyle Numbering = nsNone;
  bool HasAlignment = false;
  TParaAlignment Alignment = TParaAlignment::taLeftJustify;
  bool HasFirstIndent = false;
  int FirstIndent = 0;
  bool HasLeftIndent = false;
  int LeftIndent = 0;
  bool HasRightIndent = false;
  int RightIndent = 0;
  bool HasTabs = false;
  std::vector<int> Tabs;  // tab stop positions; the count is Tabs.size()
};

/// The rich-text view.
class TRichEdit : public QTextEdit {
  Q_OBJECT

 public:
  explicit TRichEdit(QWidget* parent = nullptr);
  ~TRichEdit() override;

  // --- Content -----------------------------------------------------------

  /// Replaces all content with the RTF read from Stream (from its position to
  /// its end). Bytes that are not RTF are shown as Windows-1252 plain text
  /// (or as plain text always while PlainText() is set). Malformed RTF shows
  /// what could be read. A stream that cannot be read raises EOutOfResources
  /// "Failed to Load Stream" and leaves the content as it was. The paragraph
  /// end that closes the RTF is the end of the content, not an empty
  /// paragraph after it. Change() follows once.
  void LoadFromStream(TStream& stream);
  /// Replaces only the current selection with the RTF read from Stream; the
  /// caret ends after the inserted text. Here a closing paragraph end is a
  /// paragraph break like any other, as in a paste.
  void LoadSelectionFromStream(TStream& stream);
  /// The same from bytes already in memory.
  void LoadRtf(std::string_view bytes);
  void LoadSelectionRtf(std::string_view bytes);

  /// The whole content, or only the selection, as RTF (Windows-1252 bytes).
  std::string SaveRtf() const;
  std::string SaveSelectionRtf() const;
  /// Writes SaveRtf() into Stream.
  void SaveToStream(TStream& stream) const;

  /// The rendered text without markup, one entry per paragraph (a line break
  /// inside a paragraph also starts an entry). Hidden text is not part of it.
  QStringList PlainTextLines() const;
  /// The same lines as Windows-1252 bytes; a character that code page lacks
  /// becomes '?'.
  std::vector<std::string> PlainTextLinesAnsi() const;
  /// PlainTextLinesAnsi() joined, each line followed by CR LF: what the
  /// comparison reads.
  std::string PlainTextCrLf() const;

  /// Empties the view.
  void Clear();

  // --- Very long texts ------------------------------------------------------

  /// The most characters a whole load shows (0: no limit). A longer text
  /// shows its start, then a notice with a "Show all" link; the view's
  /// content is then that start and the notice. A paragraph with a run of
  /// thousands of characters without a break opportunity is shown unwrapped
  /// in any case: laying out such a run as wrapped lines takes time that
  /// grows with the square of its length.
  int DisplayLimit() const { return FDisplayLimit; }
  void SetDisplayLimit(int value) { FDisplayLimit = value; }
  static constexpr int kDefaultDisplayLimit = 200000;
  /// Whether the content shown is the start of a longer text.
  bool Truncated() const { return !FHeldBytes.empty(); }
  /// Loads the whole of a text that was shown in part (nothing otherwise).
  void ShowAll();
  /// "Show All": in the context menu while Truncated(), and what the notice's link does.
  QAction* ShowAllAction() const { return FShowAllAction; }
  /// Number of characters (paragraph ends count one each, the last excluded).
  int GetTextLen() const;

  // --- Flags --------------------------------------------------------------

  bool ReadOnly() const { return isReadOnly(); }
  void SetReadOnly(bool value) { setReadOnly(value); }
  bool WordWrap() const;
  void SetWordWrap(bool value);
  TScrollStyle ScrollBars() const { return FScrollBars; }
  void SetScrollBars(TScrollStyle value);
  /// While set, loading takes every stream as plain text.
  bool PlainText() const { return FPlainText; }
  void SetPlainText(bool value) { FPlainText = value; }
  /// When set (the default), the selection is not shown while the view does
  /// not have the focus.
  bool HideSelection() const { return FHideSelection; }
  void SetHideSelection(bool value);
  /// Hides (false) or shows again (true) the selection whatever the focus,
  /// e.g. while a bulk change moves it around.
  void ShowSelection(bool visible);

  // --- Selection ----------------------------------------------------------

  int SelStart() const;
  /// Moves the caret to Value, collapsing the selection.
  void SetSelStart(int value);
  int SelLength() const;
  /// Extends the selection from SelStart() by Value characters.
  void SetSelLength(int value);
  /// The selected text (paragraph ends as CR LF), Windows-1252.
  std::string SelText() const;
  /// Replaces the selection with plain text (Windows-1252).
  void SetSelText(std::string_view text);
  void SelectAll() { selectAll(); }

  /// Applies character attributes to the selection (or to the typing format
  /// when nothing is selected).
  void SetSelAttributes(const TRichCharAttributes& attributes);
  /// The character attributes at the selection start.
  TRichCharAttributes SelAttributes() const;
  /// Applies paragraph attributes to every paragraph the selection touches.
  void SetParagraph(const TRichParaAttributes& attributes);
  TRichParaAttributes Paragraph() const;

  // --- Clipboard (rich text travels as RTF, HTML and plain text) ----------

  void CopyToClipboard() { copy(); }
  void CutToClipboard() { cut(); }
  void PasteFromClipboard() { paste(); }
  /// The selection as a copy would put it on the clipboard, and the paste of
  /// such data, both without the clipboard: text moves between views while
  /// what the user copied stays where it is. Empty for an empty selection.
  std::unique_ptr<QMimeData> SelectionMimeData() const;
  /// Replaces the selection as a paste of Data would (caret after it).
  void InsertMimeData(const QMimeData& data);

  // --- Line queries (a line is a paragraph) -------------------------------

  int LineCount() const;
  /// Line that holds character position CharIndex (-1: the caret's line).
  int LineFromChar(int charIndex) const;
  /// First character position of Line (-1: the caret's line); -1 when there
  /// is no such line.
  int LineIndex(int line) const;
  /// Length of Line without its paragraph end; -1 when there is no such line.
  int LineLength(int line) const;
  /// Topmost line that is at least partly visible.
  int FirstVisibleLine() const;
  /// Scrolls the view by Lines lines (negative: up).
  void ScrollLines(int lines);

  // --- Redraw and notifications ------------------------------------------

  /// Redraw suspension nests; the last resume repaints everything.
  void SuspendRedraw();
  void ResumeRedraw();
  bool RedrawSuspended() const { return FRedrawLock > 0; }
  /// While suspended, Change() is not called for text changes.
  void SuspendNotifications();
  void ResumeNotifications();
  bool NotificationsSuspended() const { return FNotifyLock > 0; }

  /// Called after every change of the text while notifications are not
  /// suspended; fires OnChange. A subclass overrides it to react first.
  virtual void Change();

  /// Fired by Change().
  std::function<void(TRichEdit* sender)> OnChange;
  /// Fired when the selection or the caret moves (not while suspended).
  std::function<void(TRichEdit* sender)> OnSelectionChange;
  /// Fired for every key press before the view handles it; setting Handled
  /// keeps the view from handling the key.
  std::function<void(TRichEdit* sender, QKeyEvent* event, bool& handled)> OnKeyDown;

 protected:
  bool canInsertFromMimeData(const QMimeData* source) const override;
  QMimeData* createMimeDataFromSelection() const override;
  void insertFromMimeData(const QMimeData* source) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void TextChangedSlot();
  void SelectionChangedSlot();
  void ReplaceSelection(std::string_view bytes, bool whole);
  void UpdateSelectionVisibility();

  TScrollStyle FScrollBars = TScrollStyle::ssBoth;
  bool FPlainText = false;
  bool FHideSelection = true;
  bool FHasFocus = false;
  bool FSelectionShown = true;
  int FRedrawLock = 0;
  int FNotifyLock = 0;
  int FDisplayLimit = kDefaultDisplayLimit;
  /// The whole text while only its start is shown.
  std::string FHeldBytes;
  QAction* FShowAllAction = nullptr;
};
