// The desktop's pointer speed and wheel scroll lines on Linux.
//
// Pointer speed: GSettings key `speed` (a double, -1..1) of schema
// org.gnome.desktop.peripherals.mouse, where that schema is installed; the
// scale 1..20 maps onto it linearly with 10 as 0: (speed − 10) / 10.
// Wheel scroll lines: KDE's `WheelScrollLines` in group [Mouse] of
// kcminputrc in the user's configuration folder, where that file exists
// (3, KDE's default, while the key is absent).
// Where neither exists, the setting reads as nullopt and is left alone.
#pragma once

#include <optional>
#include <string>

#include "ports/ini_store.h"
#include "ports/pointer_settings.h"

typedef struct _GSettings GSettings;

namespace tolvar {

inline constexpr const char* kGnomeMouseSchema = "org.gnome.desktop.peripherals.mouse";

// $XDG_CONFIG_HOME, or ~/.config; empty when neither is known.
std::string UserConfigDir();

class DesktopPointerSettings final : public PointerSettings {
 public:
  // kcminputrc is looked for in configDir and written through `ini`.
  explicit DesktopPointerSettings(IniStore& ini, std::string configDir = UserConfigDir(),
                                  const std::string& schemaId = kGnomeMouseSchema);
  ~DesktopPointerSettings() override;
  DesktopPointerSettings(const DesktopPointerSettings&) = delete;
  DesktopPointerSettings& operator=(const DesktopPointerSettings&) = delete;

  std::optional<int> PointerSpeed() override;
  void SetPointerSpeed(int speed) override;
  std::optional<int> WheelScrollLines() override;
  void SetWheelScrollLines(int lines) override;

 private:
  std::string KdeInputFile() const;
  GSettings* Mouse();

  IniStore& ini_;
  std::string configDir_;
  std::string schemaId_;
  bool opened_ = false;
  GSettings* mouse_ = nullptr;  // null without the schema
};

}  // namespace tolvar
