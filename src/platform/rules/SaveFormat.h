#pragma once
#include <optional>
#include <string>

// The file formats Save writes, in the order of the Save dialog's types.
enum class SaveFormat { Bitmap, Png, Jpeg };

// The format an extension names (".bmp", ".dib", ".png", ".jpg", ".jpeg", ".jpe", ".jfif", in
// any case), or nothing for any other extension or a name without one.
std::optional<SaveFormat> FormatOfFileName(const std::wstring& name);

// The Save dialog's type at a 1-based filter index (what the dialog reports); an index out
// of range is the first type, the bitmap.
SaveFormat FormatOfFilterIndex(unsigned filterIndex);

// The extension each format's files are given: ".bmp", ".png", ".jpg".
const wchar_t* DefaultExtension(SaveFormat format);

struct SaveTarget {
    std::wstring path;
    SaveFormat format;
};

// What Save writes for a chosen path and type: a known picture extension in the name wins
// over the type, so that a file's bytes always match its name; a name without extension
// gets the type's; any other extension is kept and written in the type's format.
SaveTarget ChooseSaveTarget(const std::wstring& path, unsigned filterIndex);

// The save types as the settings store keeps them ("PNG", "JPEG", "Bitmap"); anything else
// reads as PNG.
std::wstring SaveFormatText(SaveFormat format);
SaveFormat SaveFormatSetting(const std::wstring& text);
