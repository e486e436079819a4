// Whether LibreOffice Calc is installed and can show windows, judged from the files alone.
//
// The check must be quick and must leave nothing running, so it starts nothing: it looks for the
// office's start script and program, Calc's library, and a window-system plugin. Installations
// built without windows (Debian's "-nogui" packages) have no such plugin; an office started from
// them could fill a workbook but never show it.
#pragma once

#include <string>

namespace tallowby::calc {

enum class CalcInstallState { kPresent, kNoOffice, kNoCalc, kNoWindows };

struct CalcInstallation {
  CalcInstallState state = CalcInstallState::kNoOffice;
  std::string soffice;  // the start script found, when an office was found
};

// Inspects the office whose start script is soffice; when soffice is empty, the first of soffice
// on PATH and the usual installation folders that is an office.
CalcInstallation InspectCalcInstallation(const std::string& soffice);

// Why Calc cannot be started, for a state other than kPresent.
std::string DescribeMissingCalc(CalcInstallState state);

}  // namespace tallowby::calc
