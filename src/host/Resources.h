#pragma once
// Resource names of the code. The resource script includes this file for the icon's number;
// it spells the two picture names itself, since the resource compiler takes them as words.

#define QUENDRAL_ICON 101
#define QUENDRAL_BACKGROUND_NAME "Veltrim_machine"
#define QUENDRAL_TOOLBAR_NAME "Decide"
