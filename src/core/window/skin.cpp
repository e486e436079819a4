#include "core/window/skin.h"

#include "core/window/window_texts.h"

namespace tallowby {

void ApplySkin(WindowView& view, FileSystem& files, SkinEngine& engine,
               const std::string& program_folder) {
  const std::string path = program_folder + std::string(kSkinFile);
  if (!files.IsListedNormalFile(path)) return;
  view.UseButtonFaceColours();
  engine.LoadSkin(path, "");
  engine.SetOptions(engine.Options() | SkinEngine::kPolishImmediately);
  engine.SetEnabled(true);
  engine.SetSkinDialogs(true);
  engine.ApplyToWindow();
}

}  // namespace tallowby
