// What a replaced file carries over to the file that takes its place.
#pragma once

#include <sys/stat.h>

namespace tallowby {

// Gives the new file (open for writing) the old file's owner and group, permission bits, access
// control list and other extended attributes, read from the old file as it was opened (old_fd is
// open for reading or writing: one opened only as a place takes no attribute calls). False when
// any of them cannot be carried over: a replacement without them could let someone read the
// numbers who could not before, so the caller then writes the old file in place instead.
bool CarryOver(int old_fd, const struct stat& old, int new_fd);

}  // namespace tallowby
