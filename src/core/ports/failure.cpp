#include "core/ports/failure.h"

#include <cctype>
#include <cstring>
#include <new>
#include <system_error>

namespace tallowby {

namespace {

std::string Capitalised(std::string text) {
  if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace

std::string DescribeErrno(int error_number) {
  return Capitalised(std::generic_category().message(error_number));
}

std::string DescribeCurrentException() {
  try {
    throw;
  } catch (const Failure& failure) {
    return failure.Description();
  } catch (const std::bad_alloc&) {
    return kOutOfMemory;
  } catch (const std::system_error& error) {
    return Capitalised(error.code().message());
  } catch (const std::exception& error) {
    // Library exceptions carry readable texts; an empty one still deserves a word.
    std::string text = error.what();
    return text.empty() ? "Unexpected failure" : Capitalised(std::move(text));
  } catch (...) {
    return "Unexpected failure";
  }
}

}  // namespace tallowby
