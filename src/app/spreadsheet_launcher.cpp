#include "app/application.h"
#include "gen/failure.h"

namespace tallowby {

namespace {

class MissingSpreadsheet final : public SpreadsheetLauncher {
 public:
  bool IsPresent() override { return false; }
  std::unique_ptr<SpreadsheetApplication> StartHidden() override {
    throw Failure("LibreOffice Calc could not be started: it is not installed");
  }
};

}  // namespace

std::unique_ptr<SpreadsheetLauncher> LoadSpreadsheetLauncher(const QString&) {
  return std::make_unique<MissingSpreadsheet>();
}

}  // namespace tallowby
