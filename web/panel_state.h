// What the page's settings panel shows, as JSON for its script: the
// presets, the main values with their ranges in the settings dialog's
// units, the shape and colour lists, and the address that gives them.
#pragma once

#include <string>

#include "settings/saver_settings.h"
#include "web/address_settings.h"

std::string PanelStateJson(const SaverSettings& settings, const PageOptions& page);

// Sets the value the panel names (its stored name, in the panel's units)
// within the panel's range; false for a name the panel does not show.
bool SetPanelValue(SaverSettings& settings, const std::string& name, int value);
