// Loading a library from the system folder only, never by a bare name.
#pragma once
#include <windows.h>

namespace lodo {

// The library of that file name from the system folder, or nullptr. A bare
// name would search the program folder first, where anyone who can write
// there could plant a library of that name.
HMODULE LoadSystemLibrary(const char* fileName);

}  // namespace lodo
