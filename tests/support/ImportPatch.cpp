// Finding and rewriting one entry of the executable's import address table.
#include "tests/support/ImportPatch.h"

#include <cstring>

namespace lodo::test {

TImportPatch::TImportPatch(const char* library, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (imports.VirtualAddress == 0) return;
  for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); entry->Name;
       ++entry) {
    if (_stricmp(reinterpret_cast<const char*>(base + entry->Name), library) != 0 || !entry->OriginalFirstThunk)
      continue;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) != 0) continue;
      FSlot = reinterpret_cast<void**>(&addresses->u1.Function);
      FOriginal = *FSlot;
      Write(replacement);
      return;
    }
  }
}

TImportPatch::~TImportPatch() {
  if (FSlot) Write(FOriginal);
}

void TImportPatch::Write(void* value) {
  DWORD protection = 0;
  VirtualProtect(FSlot, sizeof(void*), PAGE_READWRITE, &protection);
  *FSlot = value;
  VirtualProtect(FSlot, sizeof(void*), protection, &protection);
}

}  // namespace lodo::test
