// Placeholder implementation; replaced by the settings file format.
#include "core/app/settings_file.h"

#include <cstdlib>

namespace korvane {

std::filesystem::path SettingsDirectory() {
  if (const char* dir = std::getenv("KORVANE_CONFIG_DIR"); dir != nullptr && *dir != '\0') return dir;
  return std::filesystem::path(".");
}
std::filesystem::path DefaultSettingsPath() { return SettingsDirectory() / "korvane.ini"; }
void LoadSettings(CKorvaneDoc&, const std::filesystem::path&) {}
bool SaveSettings(const CKorvaneDoc&, const std::filesystem::path&) { return false; }

}  // namespace korvane
