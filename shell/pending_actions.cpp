// Placeholders for the actions that are not built yet: each does nothing, so
// every run mode starts, reads its settings and ends with exit code 0.
#include "settings/saver_settings.h"
#include "settings/settings_dialog.h"
#include "shell/actions.h"

void RunSaver(WindowHandle) {}
WindowHandle FindPreviewHost() { return 0; }
