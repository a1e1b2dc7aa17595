#pragma once
// Plain types shared by the controls of the Qt layer, kept here so that
// several controls' headers can be included side by side.

/// Which scroll bars a control shows.
enum class TScrollStyle { ssNone, ssHorizontal, ssVertical, ssBoth };
