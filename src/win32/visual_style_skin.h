// The skin engine of the Windows window: a readable skin file brings the system's visual style
// to the controls, which otherwise keep the plain classic look.
#pragma once

#include "core/ports/skin_engine.h"
#include "win32/window.h"

namespace tallowby::win32 {

class VisualStyleSkin final : public SkinEngine {
 public:
  explicit VisualStyleSkin(MainWindow& window) : window_(window) {}

  // Reads the whole file: one that cannot be read is a failure of the skin.
  void LoadSkin(const std::string& path, const std::string& section) override;
  std::int32_t Options() const override { return options_; }
  void SetOptions(std::int32_t options) override { options_ = options; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  // Message boxes and dialogs are the system's own and take its style anyway.
  void SetSkinDialogs(bool) override {}
  void ApplyToWindow() override;

 private:
  MainWindow& window_;
  std::int32_t options_ = 0;
  bool enabled_ = false;
  bool loaded_ = false;
};

}  // namespace tallowby::win32
