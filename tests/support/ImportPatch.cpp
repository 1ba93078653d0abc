// Finding and rewriting one entry of the executable's import address table.
#include "tests/support/ImportPatch.h"

#include <cstring>

namespace lodo::test {

TImportPatch::TImportPatch(const char* library, const char* function, void* replacement) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  // The slot of the function in one library's table of names and addresses.
  auto find = [&](DWORD name, DWORD namesAt, DWORD addressesAt) {
    if (_stricmp(reinterpret_cast<const char*>(base + name), library) != 0 || !namesAt) return;
    const auto* names = reinterpret_cast<const IMAGE_THUNK_DATA*>(base + namesAt);
    auto* addresses = reinterpret_cast<IMAGE_THUNK_DATA*>(base + addressesAt);
    for (; names->u1.AddressOfData && !FSlot; ++names, ++addresses) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
        FSlot = reinterpret_cast<void**>(&addresses->u1.Function);
    }
  };
  const auto& directories = nt->OptionalHeader.DataDirectory;
  if (const DWORD at = directories[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress)
    for (auto* entry = reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(base + at); entry->Name && !FSlot; ++entry)
      find(entry->Name, entry->OriginalFirstThunk, entry->FirstThunk);
  // A delay-loaded library's slot holds the loader's stub until the first call.
  if (const DWORD at = directories[IMAGE_DIRECTORY_ENTRY_DELAY_IMPORT].VirtualAddress)
    for (auto* entry = reinterpret_cast<const IMAGE_DELAYLOAD_DESCRIPTOR*>(base + at); entry->DllNameRVA && !FSlot;
         ++entry)
      find(entry->DllNameRVA, entry->ImportNameTableRVA, entry->ImportAddressTableRVA);
  if (!FSlot) return;
  FOriginal = *FSlot;
  Write(replacement);
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
