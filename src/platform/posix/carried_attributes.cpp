#include "platform/posix/carried_attributes.h"

#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string>
#include <string_view>
#include <vector>

namespace tallowby {

namespace {

// A listing or a value read whole, however much it grew between asking its size and reading it.
template <class Read>
bool ReadGrowing(std::vector<char>& buffer, Read read) {
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = read(nullptr, 0);
    if (size < 0) return false;
    buffer.resize(static_cast<std::size_t>(size) + 1);
    const ssize_t got = read(buffer.data(), buffer.size());
    if (got >= 0) {
      buffer.resize(static_cast<std::size_t>(got));
      return true;
    }
    if (errno != ERANGE) return false;
  }
  return false;
}

// The names of a listing, each ended by a NUL.
std::vector<std::string> Names(const std::vector<char>& listing) {
  std::vector<std::string> names;
  for (std::size_t at = 0; at < listing.size();) {
    names.emplace_back(listing.data() + at);
    at += names.back().size() + 1;
    if (names.back().empty()) names.pop_back();
  }
  return names;
}

bool CopyExtendedAttributes(int old_fd, int new_fd) {
  std::vector<char> names;
  if (!ReadGrowing(
          names, [&](char* data, std::size_t size) { return ::flistxattr(old_fd, data, size); })) {
    // A file system without extended attributes has none to lose.
    return errno == ENOTSUP;
  }
  std::vector<char> value;
  const std::vector<std::string> kept = Names(names);
  for (const std::string& name : kept) {
    // Capabilities grant privileges to a program; a file of numbers is none, and gains none.
    if (name == "security.capability") continue;
    if (!ReadGrowing(value, [&](char* data, std::size_t size) {
          return ::fgetxattr(old_fd, name.c_str(), data, size);
        })) {
      return false;
    }
    if (::fsetxattr(new_fd, name.c_str(), value.data(), value.size(), 0) != 0) return false;
  }
  // The folder's default access list may have given the new file entries the old one lacked.
  std::vector<char> made;
  if (!ReadGrowing(
          made, [&](char* data, std::size_t size) { return ::flistxattr(new_fd, data, size); })) {
    return false;
  }
  for (const std::string& name : Names(made)) {
    if (std::find(kept.begin(), kept.end(), name) == kept.end() && !name.starts_with("security.") &&
        ::fremovexattr(new_fd, name.c_str()) != 0) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool CarryOver(int old_fd, const struct stat& old, int new_fd) {
  struct stat made {};
  if (::fstat(new_fd, &made) != 0) return false;
  // Only root may give a file away, and a user may only choose a group of their own.
  if ((made.st_uid != old.st_uid || made.st_gid != old.st_gid) &&
      ::fchown(new_fd, old.st_uid, old.st_gid) != 0) {
    return false;
  }
  // After fchown, which may clear the set-id bits; the access list then sets its own mask.
  if (::fchmod(new_fd, old.st_mode & 07777) != 0) return false;
  return CopyExtendedAttributes(old_fd, new_fd);
}

}  // namespace tallowby
