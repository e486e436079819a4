// Windows C runtimes write "\n" to stdout as CR LF. GoogleTest's test list is read back by
// CMake, which expects bare line feeds, so test programs write their output unchanged.
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

[[maybe_unused]] const int kBinaryStdout = _setmode(_fileno(stdout), _O_BINARY);

}  // namespace
