#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes bytes to path, replacing any file there, through a temporary file in the same
// folder that replaces the target only once it is complete: a failed write leaves the old
// file (or none) behind, and no temporary file. Failures are the file errors of
// RaiseFileError.
void ReplaceFileContents(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
