// Looks at an office from a process of its own, for tests that must look while the application
// under test is still connected: within one process UNO would route the look through the
// application's connection and could leave a broken proxy behind when that connection goes.
//
// Usage: tallowby_calc_observe <pipe> count | ranges <document> | open
// Prints the answer on one line; a failure goes to standard error with exit status 1.
#include <cstdio>
#include <exception>
#include <string>

#include "calc/office_fixture.h"
#include "core/ports/failure.h"

int main(int argc, char** argv) {
  using tallowby::calc::testing::Observer;
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s <pipe> count | ranges <document> | open\n", argv[0]);
    return 2;
  }
  const std::string command = argv[2];
  try {
    Observer observer(argv[1]);
    if (command == "count" && argc == 3) {
      std::printf("%d\n", observer.SpreadsheetCount());
    } else if (command == "ranges" && argc == 4) {
      std::string line;
      for (const std::string& range : observer.NumberRanges(std::stoi(argv[3]))) {
        line += (line.empty() ? "" : " ") + range;
      }
      std::printf("%s\n", line.c_str());
    } else if (command == "open" && argc == 3) {
      observer.OpenSpreadsheet();
    } else {
      std::fprintf(stderr, "unknown command %s\n", command.c_str());
      return 2;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "%s\n", error.what());
    return 1;
  }
  return 0;
}
