#pragma once
#include <cstdint>
#include <string>
#include <vector>

// Writes bytes to path. Normally through a temporary file in the same folder that takes the
// target's place only once it is complete (ReplaceFileW over an existing file, so that it
// keeps its attributes, permissions and security; MoveFileExW for a new one): a failed
// write leaves the old file (or none) behind, and no temporary file.
// Where the folder takes no new file but the target may be written (or the target may not
// be replaced, being held open by a program that lets others write), the target is
// rewritten in place; should that fail, its old contents are written back before the
// failure is reported. A read-only target is refused and left as it is.
// Failures are the file errors of RaiseFileError.
void ReplaceFileContents(const std::wstring& path, const std::vector<std::uint8_t>& bytes);
