// Raw file helpers shared by the tests: write, read, test and remove files
// and folder trees through the Win32 file functions.
#pragma once
#include <windows.h>

#include <string>

namespace lodo::test {

// Writes the bytes and makes the platform drop any cached profile copy.
void WriteText(const std::string& path, const std::string& text);
// The file's bytes, or "<missing>" when it cannot be opened.
std::string ReadText(const std::string& path);
bool IsFile(const std::string& path);
// A file or a folder.
bool Exists(const std::string& path);
// Makes the platform drop its cached copy of a profile file.
void DropCache(const std::string& path);
// A key's value as the platform reads it, after making it drop any cached
// copy; "<none>" when there is none.
std::string ProfileString(const std::string& path, const std::string& section, const std::string& key);
// Removes a file or a folder tree, read-only attributes included.
void RemovePath(const std::string& path);

}  // namespace lodo::test
