// Replaces, for its lifetime, this executable's import (plain or delay-loaded)
// of one function of a system library with another function: a test then sees
// every call that the program's code makes to it, in order with everything else.
#pragma once
#include <windows.h>

namespace lodo::test {

class TImportPatch {
 public:
  TImportPatch(const char* library, const char* function, void* replacement);
  ~TImportPatch();
  TImportPatch(const TImportPatch&) = delete;
  TImportPatch& operator=(const TImportPatch&) = delete;

  // False when the executable does not import the function by name.
  bool Active() const { return FSlot != nullptr; }
  // The function the import pointed to before.
  void* Original() const { return FOriginal; }

 private:
  void Write(void* value);

  void** FSlot = nullptr;
  void* FOriginal = nullptr;
};

}  // namespace lodo::test
