// Stand-ins for everything outside the window that its behaviour talks to, and the behaviour
// built on them over a recording view: what the window tests of the core and of each front end
// share. The file system is the real one, in a temporary program folder.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/ports/failure.h"
#include "core/ports/folder_chooser.h"
#include "core/ports/settings_store.h"
#include "core/ports/site_visitor.h"
#include "core/ports/skin_engine.h"
#include "core/ports/spreadsheet.h"
#include "core/run/results_path.h"
#include "core/window/main_window_behaviour.h"
#include "support/native_platform.h"
#include "support/recording_view.h"
#include "support/scripted_source.h"
#include "support/temporary_folder.h"

namespace tallowby::testing {

// A settings store in memory that can be made to fail, as a store on a full or locked disk does.
class InMemorySettings final : public SettingsStore {
 public:
  std::string Read(std::string_view key, const std::string& default_value) override {
    if (unreadable) throw Failure("The settings could not be read");
    const auto found = values.find(std::string(key));
    return found == values.end() ? default_value : found->second;
  }
  void Write(std::string_view key, const std::string& value) override {
    writes.push_back(std::string(key) + "=" + value);
    if (unwritable) throw Failure("The settings could not be saved");
    values[std::string(key)] = value;
  }
  std::optional<std::string> Stored(const std::string& key) const {
    const auto found = values.find(key);
    if (found == values.end()) return std::nullopt;
    return found->second;
  }

  std::map<std::string, std::string> values;
  std::vector<std::string> writes;
  bool unreadable = false;
  bool unwritable = false;
};

// A skin engine that notes its calls in order, and can refuse the skin file.
class RecordingSkinEngine final : public SkinEngine {
 public:
  void LoadSkin(const std::string& path, const std::string& section) override {
    calls.push_back("load " + path.substr(path.find_last_of("/\\") + 1) + " [" + section + "]");
    if (refuse) throw Failure("The skin file is damaged");
  }
  std::int32_t Options() const override {
    calls.push_back("read options");
    return 0x40;
  }
  void SetOptions(std::int32_t options) override {
    calls.push_back("options " + std::to_string(options));
  }
  void SetEnabled(bool enabled) override { calls.push_back("enabled " + std::to_string(enabled)); }
  void SetSkinDialogs(bool skin) override { calls.push_back("dialogs " + std::to_string(skin)); }
  void ApplyToWindow() override { calls.push_back("apply"); }

  mutable std::vector<std::string> calls;
  bool refuse = false;
};

class RecordingSiteVisitor final : public SiteVisitor {
 public:
  void Visit(const std::string& address) override { visits.push_back(address); }
  std::vector<std::string> visits;
};

// Answers each use of the dialog with the next of its answers; the empty text is a cancel.
class ScriptedFolderChooser final : public FolderChooser {
 public:
  std::string ChooseFolder(std::uintptr_t, const std::string& title,
                           const std::string& initial_folder) override {
    titles.push_back(title);
    initial_folders.push_back(initial_folder);
    return titles.size() <= answers.size() ? answers[titles.size() - 1] : std::string();
  }
  std::vector<std::string> answers;
  std::vector<std::string> titles;
  std::vector<std::string> initial_folders;
};

class FakeSpreadsheet final : public SpreadsheetLauncher {
 public:
  bool IsPresent() override {
    ++checks;
    return present;
  }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    throw Failure("not in this test");
  }
  bool present = false;
  int checks = 0;
};

// The window's behaviour over a recording view, with every service a stand-in the test can set
// before Make().
class BehaviourOnStandIns {
 public:
  MainWindowBehaviour& Make() {
    behaviour = std::make_unique<MainWindowBehaviour>(
        view, WindowServices{.program_folder = program_folder.Path().string(),
                             .settings = settings,
                             .files = files,
                             .skin = skin,
                             .site = site,
                             .chooser = chooser,
                             .spreadsheet = spreadsheet,
                             .random = random,
                             .clock = [] { return 1000.0F; },
                             .desktop_folder = [this] { return desktop; }});
    // A front end reports every change of a field's text back as an edit.
    view.on_edit = [this](Field field, const std::string& text) {
      behaviour->FieldEdited(field, text);
    };
    return *behaviour;
  }

  TemporaryFolder program_folder;
  std::string desktop = "/home/user/Desktop";
  InMemorySettings settings;
  NativeFileSystem files;
  RecordingSkinEngine skin;
  RecordingSiteVisitor site;
  ScriptedFolderChooser chooser;
  FakeSpreadsheet present_spreadsheet;
  SpreadsheetLauncher* spreadsheet = &present_spreadsheet;
  ScriptedSource random{std::vector<double>(64, 0.5)};
  RecordingView view;
  std::unique_ptr<MainWindowBehaviour> behaviour;
};

}  // namespace tallowby::testing
