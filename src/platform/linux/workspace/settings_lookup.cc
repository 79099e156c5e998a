#include "platform/linux/workspace/settings_lookup.h"

namespace hovra::platform::linux_desktop {

GOwned<GSettings> SettingsIfInstalled(const char* schemaId, const char* key) {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return nullptr;  // no schemas installed at all
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId, TRUE);
  if (schema == nullptr) return nullptr;
  GOwned<GSettings> settings;
  if (g_settings_schema_has_key(schema, key))
    settings.reset(g_settings_new_full(schema, nullptr, nullptr));
  g_settings_schema_unref(schema);
  return settings;
}

std::string InstalledSettingString(const char* schemaId, const char* key) {
  GOwned<GSettings> settings = SettingsIfInstalled(schemaId, key);
  if (!settings) return {};
  return TakeText(g_settings_get_string(settings.get(), key));
}

}  // namespace hovra::platform::linux_desktop
