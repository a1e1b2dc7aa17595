#pragma once
// Small helpers shared by the difference widgets: the clamping routine every
// position goes through, and the two conversions at the Qt boundary (toolkit
// colours to QColor, Windows-1252 bytes to QString).

#include <QColor>
#include <QString>
#include <string_view>

#include "toolkit/Graphics.h"
#include "toolkit/SysUtils.h"

/// Raised by dvEnsureRange for a range whose minimum exceeds its maximum.
QC_DECLARE_EXCEPTION(EdvRangeError, Exception);

/// Value limited to min ... max. A range with min > max is a caller's bug,
/// refused with "<min> is not less than or equal to <max>".
int dvEnsureRange(int value, int min, int max);

/// The colour as painted: system colours go through the toolkit's fixed table
/// so that every machine shows the same RGB.
QColor dvColor(TColor color);

/// Base with a third of Tint mixed in (system colours resolved first): a
/// marked row that still shows its own colour.
TColor dvTintedColor(TColor base, TColor tint);

/// Windows-1252 bytes as Unicode; every byte maps to a character.
QString dvToQString(std::string_view text);

/// A compared line as Unicode: UTF-8 where the bytes are valid UTF-8 (the
/// plain texts of topics), else Windows-1252 (files in the project's code
/// page), so that no character of either turns into '?' or garbage.
QString dvTextToQString(std::string_view text);

/// True when Text is well-formed UTF-8 (no overlong forms, no surrogates).
bool dvIsValidUtf8(std::string_view text);
