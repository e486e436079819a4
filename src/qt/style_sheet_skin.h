// The skin engine of the Qt window: a skin file is a Qt style sheet in UTF-8.
#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QWidget>

#include "core/ports/skin_engine.h"

namespace tallowby {

// The skin's fixed colours are the designed light look. In a dark or high-contrast scheme the
// window's own style sheet takes the skin's variant for the scheme (by the window's colourScheme
// property), and nothing of the skin dresses the rest of the program, whose boxes and dialogs
// then follow the user's palette; the engine follows a change of scheme while the program runs.
class StyleSheetSkinEngine final : public QObject, public SkinEngine {
  Q_OBJECT

 public:
  explicit StyleSheetSkinEngine(QWidget* window);

  void LoadSkin(const std::string& path, const std::string& section) override;
  std::int32_t Options() const override { return options_; }
  void SetOptions(std::int32_t options) override { options_ = options; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetSkinDialogs(bool skin_dialogs) override { skin_dialogs_ = skin_dialogs; }
  void ApplyToWindow() override;

  const QString& StyleSheet() const { return style_sheet_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The application-wide sheet, which dresses the message boxes and dialogs: the skin's in a
  // light scheme, none in the others.
  void ApplyToDialogs();

  QWidget* window_;
  QString style_sheet_;
  std::int32_t options_ = 0;
  bool enabled_ = false;
  bool skin_dialogs_ = false;
  bool applied_ = false;
};

// The system's button-face colour, which the window, frames and options take with a skin.
QColor ButtonFaceColour();

}  // namespace tallowby
