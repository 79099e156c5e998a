// GSettings opened only when its schema (and key) is installed: g_settings_new on a
// missing schema ends the process.
#pragma once

#include <gio/gio.h>

#include <string>

#include "platform/linux/apps/g_owned.h"

namespace hovra::platform::linux_desktop {

// Null when the schema or the key is not installed.
GOwned<GSettings> SettingsIfInstalled(const char* schemaId, const char* key);

// The string value of `key`, empty when the schema or key is missing.
std::string InstalledSettingString(const char* schemaId, const char* key);

}  // namespace hovra::platform::linux_desktop
