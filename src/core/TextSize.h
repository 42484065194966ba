#pragma once

#include "core/CommandIds.h"

namespace corvane {

// The text-size commands of the Fonts menu run from cmd::FontsHuge to
// cmd::FontsTiny, biggest first.
static_assert(cmd::FontsTiny - cmd::FontsHuge == 4);

// The stored `Fonts` value: 1 huge, 2 large, 3 normal, 4 small, 5 tiny.
inline constexpr int kFontsNormal = 3;

// The `Fonts` value a text-size command stores (FontsHuge -> 1 ... FontsTiny -> 5);
// 0 for any other command.
int fontsForCommand(int commandId);

// The text-size command whose menu item is checked for a `Fonts` value;
// 0 when the value is outside 1..5.
int commandForFonts(int fonts);

// The `Fonts` value one step larger (toward huge, 1) or smaller (toward
// tiny, 5) than fonts, kept within 1..5; a value outside 1..5 steps from
// normal.
int fontsAfterStep(int fonts, bool larger);

// The engine's zoom argument for a `Fonts` value: 1 -> 4 (huge) ... 5 -> 0
// (tiny). A value outside 1..5 (a hand-edited setting) zooms as normal, 2.
int zoomArgumentForFonts(int fonts);

// The page zoom factor for a zoom argument 0..4, chosen so that the steps read
// as tiny, small, normal, large and huge text: 0.75, 0.9, 1.0, 1.2 and 1.5.
// Each step is a little larger than the last, so neighbouring sizes stay
// distinguishable, and the ends keep a page usable (no text below three
// quarters, and wide layouts do not fall apart). Outside 0..4: 1.0.
double zoomFactorForArgument(int zoomArgument);

} // namespace corvane
