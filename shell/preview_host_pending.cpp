// Placeholder for the preview-tool lookup of "/p scrprev", not built yet:
// no host found, so that form of Preview ends at once.
#include "shell/actions.h"

WindowHandle FindPreviewHost() { return 0; }
