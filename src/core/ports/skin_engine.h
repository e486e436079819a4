// The skin engine that dresses the window, called in the order a skin is loaded and applied.
#pragma once

#include <cstdint>
#include <string>

namespace tallowby {

// Every call throws Failure when the engine cannot do it.
class SkinEngine {
 public:
  // The option flag that applies the skin to every control at once instead of when each is next
  // drawn, so the window never shows a mix of both looks.
  static constexpr std::int32_t kPolishImmediately = 1;

  virtual ~SkinEngine() = default;
  // Reads and checks the skin file; `section` picks a part of a skin file with several.
  virtual void LoadSkin(const std::string& path, const std::string& section) = 0;
  virtual std::int32_t Options() const = 0;
  virtual void SetOptions(std::int32_t options) = 0;
  // Until enabled, the engine draws nothing.
  virtual void SetEnabled(bool enabled) = 0;
  // Message boxes and dialogs take the skin too, not only the window.
  virtual void SetSkinDialogs(bool skin_dialogs) = 0;
  virtual void ApplyToWindow() = 0;
};

}  // namespace tallowby
