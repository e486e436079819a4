// The skin engine of the Qt window: a skin file is a Qt style sheet in UTF-8.
#pragma once

#include <QColor>
#include <QString>
#include <QWidget>

#include "core/ports/skin_engine.h"

namespace tallowby {

class StyleSheetSkinEngine final : public SkinEngine {
 public:
  explicit StyleSheetSkinEngine(QWidget* window) : window_(window) {}

  void LoadSkin(const std::string& path, const std::string& section) override;
  std::int32_t Options() const override { return options_; }
  void SetOptions(std::int32_t options) override { options_ = options; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetSkinDialogs(bool skin_dialogs) override { skin_dialogs_ = skin_dialogs; }
  void ApplyToWindow() override;

  const QString& StyleSheet() const { return style_sheet_; }

 private:
  QWidget* window_;
  QString style_sheet_;
  std::int32_t options_ = 0;
  bool enabled_ = false;
  bool skin_dialogs_ = false;
};

// The system's button-face colour, which the window, frames and options take with a skin.
QColor ButtonFaceColour();

}  // namespace tallowby
