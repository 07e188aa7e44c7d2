#pragma once
#include <cstdint>
#include <string>

// Where the pictures go. A failed write never leaves a partial file behind.

bool IsFolder(const std::string& path);

// Which file a name stands for, whatever its spelling: a device and an inode
// (on Windows a volume serial number and a file index).
struct FileIdentity {
  uint64_t device = 0;
  uint64_t index = 0;
  bool operator==(const FileIdentity& other) const { return device == other.device && index == other.index; }
};

// False when `path` names no file that can be looked at.
bool IdentifyFile(const std::string& path, FileIdentity& identity);

// Writes `bytes` to a new file beside the file `path` names (through a
// symbolic link, to the file it points at), flushes it to the disk and puts it
// in place in one step, so that file holds either its old content or all of
// the new. A replaced file keeps its mode. False with the system's reason.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason);

bool WriteStandardOutput(const std::string& bytes, std::string& reason);
