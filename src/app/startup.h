// Start-up: the main window's load sequence, run once before the window is first shown.
#pragma once

#include <QString>
#include <functional>
#include <string>

#include "app/appearance.h"
#include "app/site_visit.h"
#include "gen/guarded_steps.h"
#include "gen/random_source.h"

namespace tallowby {

class Form1;

// What start-up needs besides the window; tests put recording stand-ins here.
struct StartupServices {
  QString program_folder;
  SkinEngine& skin;
  UniformSource& random;
  std::function<float()> clock;
  SiteVisitor& site;
  std::function<std::string()> desktop_folder;
  ErrorReporter& reporter;
};

// Dresses the window (skin, hand cursor), now and then opens the maker's site, sets the caption,
// the icon and the application title, and restores the three fields from the settings store.
// A failing step is reported with its line and the next step runs.
void Form_Load(Form1& window, StartupServices& services);

// The four images of the program icon, 32, 48, 128 and 256 pixels square.
QIcon ProgramIcon();

// The application title from the display name; message boxes without a caption show it.
void SetApplicationTitle();

// Texts crossing into the core and the system are in the platform's narrow encoding.
std::string ToNative(const QString& text);
QString FromNative(const std::string& text);

}  // namespace tallowby
