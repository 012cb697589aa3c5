// The parts of a file path, folders separated by '/'.
#pragma once

#include <cstddef>
#include <string>

// Where the file name begins, after the last separator.
std::size_t FileNameStart(const std::string& FileName);
// The folder part with its trailing separator; empty when FileName names no folder.
std::string ExtractFilePath(const std::string& FileName);
// The first '.' of the file name part, never one in a folder's name; npos when none.
std::size_t ExtensionDot(const std::string& FileName);
