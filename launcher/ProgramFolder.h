// The program folder (the executable's folder, ending in its separator) and
// the paths of the two files looked for there.
#pragma once
#include <string>

namespace lodo {

// The running executable's full path cut after its last backslash or colon.
std::string ProgramFolder();
// Cuts a full path after its last backslash or colon.
std::string FolderOf(const std::string& path);
std::string SettingsPath();
std::string ServerPath();
// Makes the program folder the working directory; the result is not checked.
void EnterProgramFolder();

}  // namespace lodo
