// The settings store over the current user's registry.
#pragma once

#include "settings/settings_store.h"

SettingsStore RegistryStore();
