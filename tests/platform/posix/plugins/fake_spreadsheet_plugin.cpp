// A stand-in for the spreadsheet plugin, built like it (hidden symbols but the entry points), with
// the ABI number FAKE_PLUGIN_ABI. Its application never starts; the failure it throws must reach
// the program as the program's own Failure.
#include "core/ports/failure.h"
#include "core/ports/spreadsheet.h"

#ifdef FAKE_PLUGIN_NEEDS_ABSENT_LIBRARY
int tallowby_absent_library_function();
#endif

namespace {

class FakeLauncher final : public tallowby::SpreadsheetLauncher {
 public:
  bool IsPresent() override { return true; }
  std::unique_ptr<tallowby::SpreadsheetApplication> StartHidden() override {
    throw tallowby::Failure("The fake spreadsheet never starts.");
  }
};

}  // namespace

extern "C" {

__attribute__((visibility("default"))) int tallowby_spreadsheet_plugin_abi() {
#ifdef FAKE_PLUGIN_NEEDS_ABSENT_LIBRARY
  return tallowby_absent_library_function();
#else
  return FAKE_PLUGIN_ABI;
#endif
}

__attribute__((visibility("default"))) tallowby::SpreadsheetLauncher*
tallowby_create_spreadsheet_launcher() {
  return new FakeLauncher;
}

}  // extern "C"
