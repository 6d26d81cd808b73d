#pragma once
#include <string>

// The application object: its title and its help file.
namespace App {
const std::wstring& Title();
// Pixelnab.chm beside the executable.
std::wstring HelpFile();
}  // namespace App
