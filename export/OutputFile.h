#pragma once
#include <string>

// Where the pictures go. A failed write never leaves a partial file behind.

bool IsFolder(const std::string& path);

// Writes `bytes` to a new file beside `path` and then puts it in place of
// `path` in one step, so `path` holds either its old content or all of the
// new. False with the reason (the C runtime's words) on failure.
bool WriteWholeFile(const std::string& path, const std::string& bytes, std::string& reason);

bool WriteStandardOutput(const std::string& bytes, std::string& reason);
