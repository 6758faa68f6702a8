// The windows ask for the classic families (MS Sans Serif, Comic Sans MS,
// Courier New, Arial Narrow). The set-up installs fonts of the same metrics
// (fonts-liberation, fonts-comic-neue), which fontconfig picks for all but
// MS Sans Serif: that one is named here. The program and its tests install
// the same substitutions, so the tests measure what the user sees.
#pragma once

namespace shell {

void install_font_substitutions();

}  // namespace shell
