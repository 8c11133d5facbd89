#pragma once
// Whole-file reading and all-or-nothing writing of small files (the settings file, kinds lists).

#include <string>
#include <string_view>

// Reads the whole regular file into bytes. False when it cannot be opened or read, or is no regular
// file (a folder, a pipe, a device); bytes is then unspecified.
bool ReadFileBytes(const std::string& path, std::string& bytes);

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it over
// path, so path holds either its old content or all of bytes, never a part. False on any failure;
// the temporary file is then removed.
bool WriteFileAtomically(const std::string& path, std::string_view bytes);
