#pragma once
// TRichEditSyntax: a rich-text view whose plain text is coloured as source
// code. Colouring converts plain text to RTF with the language's converter
// and loads that RTF back into the view: every change of the text re-colours
// the caret's line, HighlightAll the whole text.
//
// Re-entrancy: loading the coloured RTF changes the text, which would
// re-colour again; FLoading and suspended notifications stop that, and the
// OnChange, OnKeyDown and OnSelectionChange handlers are held back for the
// duration of a re-colouring. Whatever happens, they are all restored.

#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "richtext/RichEdit.h"
#include "syntax/hltRichSyntax.h"
#include "syntax/hltSyntaxType.h"

class TStream;

/// Raised (as EOutOfResources) when the view rejects the coloured RTF.
inline constexpr const char* SCannotLoadRtfText = "Cannot load RTF text";

// The colour properties, in a fixed order (their index is ci<Name>), with their initial values.
#define QC_SYNTAX_COLORS(X)              \
  X(AsmColor, clGreen)                   \
  X(CommentColor, clBlue)                \
  X(IdentifierColor, clBlack)            \
  X(KeyColor, clNavy)                    \
  X(NullColor, clBlack)                  \
  X(NumberColor, clBlack)                \
  X(SpaceColor, clNavy)                  \
  X(StringColor, clBlack)                \
  X(SymbolColor, clBlack)                \
  X(UnknownColor, clBlack)               \
  X(DirectiveColor, clBlack)             \
  X(CharColor, clBlack)                  \
  X(HexColor, clBlack)                   \
  X(OctalColor, clBlack)                 \
  X(FloatColor, clBlack)                 \
  X(InvalidSymbolColor, clRed)           \
  X(VariableColor, clBlack)              \
  X(ElementColor, clGreen)               \
  X(AttributeColor, clMaroon)            \
  X(TextColor, clBlack)                  \
  X(CDATAColor, clBlue)                  \
  X(EntityRefColor, clBlack)             \
  X(ProcessingInstructionColor, clGreen) \
  X(QuoteAttrValueColor, clBlue)         \
  X(AposAttrValueColor, clBlack)         \
  X(QuoteEntityRefColor, clRed)          \
  X(AposEntityRefColor, clBlack)         \
  X(EqualColor, clBlack)                 \
  X(nsAttributeColor, clGreen)           \
  X(nsQuoteAttrValueColor, clMaroon)     \
  X(nsAposAttrValueColor, clBlack)       \
  X(nsQuoteEntityRefColor, clBlack)      \
  X(nsAposEntityRefColor, clGreen)       \
  X(nsEqualColor, clGreen)

/// The rich edit with syntax colouring.
class TRichEditSyntax : public TRichEdit {
  Q_OBJECT

 public:
  /// Index of each colour property in the colour fields.
  enum TColorIndex : uint8_t {
#define QC_SYNTAX_COLOR_INDEX(name, initial) ci##name,
    QC_SYNTAX_COLORS(QC_SYNTAX_COLOR_INDEX)
#undef QC_SYNTAX_COLOR_INDEX
        ColorCount
  };

  /// A Pascal view in plain-text mode, the converter's own colours in effect.
  explicit TRichEditSyntax(QWidget* parent = nullptr);
  ~TRichEditSyntax() override;

  TSyntaxType SyntaxType() const { return FSyntaxType; }
  /// Replaces the converter with a new one for Value, with that converter's
  /// own colours whatever UseDefaultColors says, and calls Change().
  void SetSyntaxType(TSyntaxType value);
  bool UseDefaultColors() const { return FUseDefaultColors; }
  /// True: the converter's own colours. False: the colour properties.
  void SetUseDefaultColors(bool value);

  // Writing a colour alone changes nothing until the colours are applied
  // (UseDefaultColors set to False) and the text is re-coloured.
#define QC_SYNTAX_COLOR_PROPERTY(name, initial)     \
  TColor name() const { return FColors[ci##name]; } \
  void Set##name(TColor value) { FColors[ci##name] = value; }
  QC_SYNTAX_COLORS(QC_SYNTAX_COLOR_PROPERTY)
#undef QC_SYNTAX_COLOR_PROPERTY

  /// Re-colours the whole text, keeping the first visible line and the caret
  /// (a selection collapses to its start). Empty text is left alone. The
  /// view then holds a new document (the old one and its undo history are
  /// gone), as after any whole-content load.
  void HighlightAll();
  /// Re-colours the caret's line without its line end. A text shorter than
  /// three characters, or a line of two characters or less, is left alone.
  void HighlightCurrentLine();
  /// Re-colours the caret's line, then fires OnChange.
  void Change() override;

  /// The converter of the current language (owned).
  ThltRTFSyntax& Converter() const { return *FConverter; }
  /// The colour list ApplyColors hands to the converter for the current language.
  std::vector<TColor> ColorList() const;

 protected:
  /// Hands the colour properties to the converter, in its colour-index order.
  void ApplyColors();
  /// Colours the whole of Source (read from its start) and replaces all content with it.
  void LoadHighlighted(TStream& source);
  /// The same, replacing only the selection.
  void LoadHighlightedSelection(TStream& source);
  /// Selects Line with its line end; false for a line that does not exist.
  bool SelectLine(int line);

  /// In plain-text mode a paste inserts the plain text only, as typing would.
  void insertFromMimeData(const QMimeData* source) override;
  /// A keystroke and the re-colouring of its line form one document edit,
  /// so that the view lays its text out once per keystroke, not twice.
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void LoadConverted(TStream& source, bool whole);
  void ReplaceDocument(std::string_view rtf, bool endsWithLineEnd);
  void RestoreUnicode(int firstLine, const QStringList& originals);

  bool FLoading = false;
  // Set while a keystroke's own line has been re-coloured inside its edit
  // (or the key was undo or redo), so the change notice does not re-colour.
  bool FKeyRecoloured = false;
  std::unique_ptr<ThltRTFSyntax> FConverter;
  bool FUseDefaultColors = false;
  std::array<TColor, ColorCount> FColors{};
  TSyntaxType FSyntaxType = stDelphi;
  // Lines whose text the code page cannot hold, put back after the next load.
  QStringList FUnicodeLines;
  int FUnicodeFirstLine = 0;
};
