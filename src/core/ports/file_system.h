// The few file-system questions and operations the program needs; each platform answers them.
//
// Paths are UTF-8 texts on every platform; Windows takes them through its wide functions.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace tallowby {

// A new file written beside the one it replaces, then put in its place in one step. Until it is
// committed, nothing at the target changes; dropped uncommitted, it leaves nothing behind.
class FileReplacement {
 public:
  virtual ~FileReplacement() = default;
  // Appends the bytes to the new file. Throws Failure with the system's reason (a full disk, a
  // file-size limit, a folder removed); the caller then drops the replacement.
  virtual void Write(std::string_view bytes) = 0;
  // Flushes the new file to the disk, renames it over the target (also a read-only one) and
  // flushes the folder, so the new file survives a power cut once this returns. Throws Failure,
  // and then the old file is still exactly as it was.
  virtual void Commit() = 0;
};

// Asked about ten times a second while an output that is no file (a pipe, a FIFO) takes no bytes
// because nothing reads them: true waits on, false gives up, and the write then throws Failure.
// An empty one waits as long as it takes, as command-line tools do.
using KeepWaiting = std::function<bool()>;

class FileSystem {
 public:
  virtual ~FileSystem() = default;

  // True exactly when the path's attributes can be read and they mark a folder. A file, an empty
  // text, a missing or malformed path all give false.
  virtual bool FolderExists(const std::string& path) = 0;

  // True when the path is known to name no folder: nothing is there, or something that is not a
  // folder. A path that cannot be looked at (a name too long, a folder that may not be searched)
  // is not known to be missing: writing to it tells why.
  virtual bool FolderIsMissing(const std::string& path) { return !FolderExists(path); }

  // True when the modification time of the file at path can be read.
  virtual bool FileExists(const std::string& path) = 0;

  // True when a listing of the file's folder shows it as a normal file: not a folder, and not
  // hidden or a system file.
  virtual bool IsListedNormalFile(const std::string& path) = 0;

  // Starts replacing the file at path: a new file in the same folder, which the replacement
  // renames over path when committed, keeping the old file's owner, mode and access list. A
  // symbolic link is written through to its target. An output that exists and is no regular file
  // (a device such as /dev/null or NUL, a pipe, a terminal) is written in place instead, and is
  // never renamed over or removed; so is a regular file that cannot be replaced without losing
  // something (other hard links, a folder that takes no new file). Throws Failure, with the
  // system's reason and error number, when the output cannot be opened: a folder in the way, a
  // missing folder, no permission, another user's file the process may not write. With keep_waiting
  // given, an output that would block (a FIFO nobody reads) never holds the caller up: a FIFO
  // without a reader is refused at once, and a reader that stops reading is waited for only while
  // keep_waiting says so.
  virtual std::unique_ptr<FileReplacement> BeginReplacement(const std::string& path,
                                                            const KeepWaiting& keep_waiting) = 0;

  // Replaces the file at path with exactly these bytes, atomically. On any failure the old file
  // stays exactly as it was, no temporary file remains, and Failure carries the system's reason.
  void ReplaceFileAtomically(const std::string& path, std::string_view bytes) {
    const std::unique_ptr<FileReplacement> replacement = BeginReplacement(path, {});
    replacement->Write(bytes);
    replacement->Commit();
  }

  // The machine's physical memory in bytes, or 0 when the system does not tell.
  virtual std::uint64_t PhysicalMemoryBytes() = 0;
};

}  // namespace tallowby
