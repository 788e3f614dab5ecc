#include "platform/linux/desktop_pointer_settings.h"

#include <gio/gio.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <system_error>
#include <utility>

#include "base/text.h"

namespace tolvar {

namespace {

constexpr const char* kSpeedKey = "speed";
constexpr int kMiddleSpeed = 10;
constexpr std::u16string_view kKdeMouseGroup = u"Mouse";
constexpr std::u16string_view kKdeWheelKey = u"WheelScrollLines";
constexpr int kKdeDefaultWheelLines = 3;
constexpr std::size_t kNumberBuffer = 16;

// The schema's settings object when the schema is installed and its speed
// key is a double; null otherwise (GLib would abort on a missing schema).
GSettings* OpenMouseSettings(const std::string& schemaId) {
  GSettingsSchemaSource* source = g_settings_schema_source_get_default();
  if (source == nullptr) return nullptr;
  GSettingsSchema* schema = g_settings_schema_source_lookup(source, schemaId.c_str(), TRUE);
  if (schema == nullptr) return nullptr;
  GSettings* settings = nullptr;
  if (g_settings_schema_has_key(schema, kSpeedKey)) {
    GSettingsSchemaKey* key = g_settings_schema_get_key(schema, kSpeedKey);
    if (g_variant_type_equal(g_settings_schema_key_get_value_type(key), G_VARIANT_TYPE_DOUBLE)) {
      settings = g_settings_new_full(schema, nullptr, nullptr);
    }
    g_settings_schema_key_unref(key);
  }
  g_settings_schema_unref(schema);
  return settings;
}

}  // namespace

std::string UserConfigDir() {
  const char* xdg = std::getenv("XDG_CONFIG_HOME");
  if (xdg != nullptr && *xdg != '\0') return xdg;
  const char* home = std::getenv("HOME");
  if (home != nullptr && *home != '\0') return std::string(home) + "/.config";
  return {};
}

DesktopPointerSettings::DesktopPointerSettings(IniStore& ini, std::string configDir, const std::string& schemaId)
    : ini_(ini), configDir_(std::move(configDir)), schemaId_(schemaId) {}

// Opened on first use, so a program that never applies settings never
// touches the desktop's settings store.
GSettings* DesktopPointerSettings::Mouse() {
  if (!opened_) {
    mouse_ = OpenMouseSettings(schemaId_);
    opened_ = true;
  }
  return mouse_;
}

DesktopPointerSettings::~DesktopPointerSettings() {
  if (mouse_ != nullptr) g_object_unref(mouse_);
}

std::optional<int> DesktopPointerSettings::PointerSpeed() {
  GSettings* mouse = Mouse();
  if (mouse == nullptr) return std::nullopt;
  const double value = g_settings_get_double(mouse, kSpeedKey);
  const long speed = std::lround(value * kMiddleSpeed + kMiddleSpeed);
  return static_cast<int>(std::clamp<long>(speed, kMinPointerSpeed, kMaxPointerSpeed));
}

void DesktopPointerSettings::SetPointerSpeed(int speed) {
  GSettings* mouse = Mouse();
  if (mouse == nullptr) return;
  const double value = std::clamp((speed - kMiddleSpeed) / static_cast<double>(kMiddleSpeed), -1.0, 1.0);
  g_settings_set_double(mouse, kSpeedKey, value);
  g_settings_sync();
}

std::string DesktopPointerSettings::KdeInputFile() const {
  if (configDir_.empty()) return {};
  const std::string file = configDir_ + "/kcminputrc";
  std::error_code error;
  return std::filesystem::is_regular_file(file, error) ? file : std::string();
}

std::optional<int> DesktopPointerSettings::WheelScrollLines() {
  const std::string file = KdeInputFile();
  if (file.empty()) return std::nullopt;
  const std::u16string text = ini_.Read(file, kKdeMouseGroup, kKdeWheelKey, kNumberBuffer);
  if (text.empty()) return kKdeDefaultWheelLines;
  return ParseDecimal(text);
}

void DesktopPointerSettings::SetWheelScrollLines(int lines) {
  const std::string file = KdeInputFile();
  if (!file.empty()) ini_.Write(file, kKdeMouseGroup, kKdeWheelKey, DecimalText(lines));
}

}  // namespace tolvar
