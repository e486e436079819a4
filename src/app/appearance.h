// The window's look: the skin, the button-face colour that comes with it, and the pointer rules.
#pragma once

#include <QColor>
#include <QCursor>
#include <QString>
#include <cstdint>
#include <optional>

namespace tallowby {

class Form1;

// The skin engine, called in the order a skin is loaded and applied. Every call throws Failure
// when the engine cannot do it.
class SkinEngine {
 public:
  // The option flag that applies the skin to every control at once instead of when each is next
  // drawn, so the window never shows a mix of both looks.
  static constexpr std::int32_t kPolishImmediately = 1;

  virtual ~SkinEngine() = default;
  // Reads and checks the skin file; `section` picks a part of a skin file with several.
  virtual void LoadSkin(const QString& path, const QString& section) = 0;
  virtual std::int32_t Options() const = 0;
  virtual void SetOptions(std::int32_t options) = 0;
  // Until enabled, the engine draws nothing.
  virtual void SetEnabled(bool enabled) = 0;
  // Message boxes and dialogs take the skin too, not only the window.
  virtual void SetSkinDialogs(bool skin_dialogs) = 0;
  virtual void ApplyToWindow(QWidget* window) = 0;
};

// The skin engine of this program: a skin file is a Qt style sheet in UTF-8.
class StyleSheetSkinEngine final : public SkinEngine {
 public:
  void LoadSkin(const QString& path, const QString& section) override;
  std::int32_t Options() const override { return options_; }
  void SetOptions(std::int32_t options) override { options_ = options; }
  void SetEnabled(bool enabled) override { enabled_ = enabled; }
  void SetSkinDialogs(bool skin_dialogs) override { skin_dialogs_ = skin_dialogs; }
  void ApplyToWindow(QWidget* window) override;

  const QString& StyleSheet() const { return style_sheet_; }

 private:
  QString style_sheet_;
  std::int32_t options_ = 0;
  bool enabled_ = false;
  bool skin_dialogs_ = false;
};

// The file names below the program folder.
inline constexpr const char* kSkinFile = "/x/o.cjs";
inline constexpr const char* kHandCursorFile = "/HAND-M.CUR";

// The system's button-face colour, which the window, frames and options take with a skin.
QColor ButtonFaceColour();

// When the skin file is listed in its folder as a normal file: the button-face colour on the
// window, its frames, options, check boxes and labels, then the engine loads the skin, sets its
// options and applies it to the window. Without the file nothing changes. A failure stops at
// that step; what was done stays done.
void ApplySkin(Form1& window, const QString& program_folder, SkinEngine& engine);

// A Windows cursor file (.cur): its image through Qt, its hot spot from the file's own header.
// Throws Failure when the file is not a readable cursor.
QCursor LoadCursorFile(const QString& path);

// The hover rules. Neither replaces the busy pointer of a running generation.
void PointerOverButton(Form1& window);
void PointerOverField(Form1& window);

}  // namespace tallowby
