#pragma once
// Resource names shared by the resource script and the code.

#define QUENDRAL_ICON 101
#define QUENDRAL_BACKGROUND_NAME "Veltrim_machine"
#define QUENDRAL_TOOLBAR_NAME "Decide"
