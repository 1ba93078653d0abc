// The resource ledger: counting wrappers in front of the executable's own
// imports of the GDI, USER and image-list functions that make or free an
// object. Objects that system libraries make for themselves are not seen.
#include "tests/endurance/ResourceLedger.h"

#include <commctrl.h>

#include <array>
#include <cstdio>
#include <map>
#include <mutex>
#include <tuple>

namespace lodo::test {

namespace {

// A handle, or a timer as its window and id.
using TKey = std::tuple<bool, UINT_PTR, UINT_PTR>;

struct TLedgerState {
  std::mutex Lock;
  // Each live object's kind and the function that made it.
  std::map<TKey, std::pair<TLedgerKind, const char*>> Live;
  long Made[lkKindCount] = {};
  long ForeignFrees = 0;
  bool Open = false;
};

TLedgerState& State() {
  static TLedgerState state;
  return state;
}

void Add(TLedgerKind kind, TKey key, const char* maker) {
  auto& s = State();
  std::lock_guard<std::mutex> hold(s.Lock);
  if (!s.Open) return;
  s.Live[key] = {kind, maker};
  ++s.Made[kind];
}

void Remove(TKey key) {
  auto& s = State();
  std::lock_guard<std::mutex> hold(s.Lock);
  if (!s.Open) return;
  if (s.Live.erase(key) == 0) ++s.ForeignFrees;
}

TKey HandleKey(const void* handle) { return {false, reinterpret_cast<UINT_PTR>(handle), 0}; }

// The wrapped functions in import-table order are found by name; each
// wrapper calls the original it replaced, kept here by its slot number.
constexpr int kMaxHooks = 40;
std::array<void*, kMaxHooks> gOriginal{};
std::array<TLedgerKind, kMaxHooks> gKind{};
std::array<const char*, kMaxHooks> gMaker{};

template <int Id, typename F>
struct TMake;

template <int Id, typename R, typename... A>
struct TMake<Id, R(WINAPI*)(A...)> {
  static R Real(A... args) { return reinterpret_cast<R(WINAPI*)(A...)>(gOriginal[Id])(args...); }
  // Whatever non-null handle it returns is live from now on.
  static R WINAPI Wrapper(A... args) {
    R made = Real(args...);
    if (made) Add(gKind[Id], HandleKey(reinterpret_cast<const void*>(made)), gMaker[Id]);
    return made;
  }
};

// A freer whose first argument is the handle and which succeeds with a
// non-zero result.
template <int Id, typename F>
struct TFree;

template <int Id, typename R, typename H, typename... Rest>
struct TFree<Id, R(WINAPI*)(H, Rest...)> {
  static R WINAPI Wrapper(H handle, Rest... rest) {
    R freed = reinterpret_cast<R(WINAPI*)(H, Rest...)>(gOriginal[Id])(handle, rest...);
    if (freed) Remove(HandleKey(reinterpret_cast<const void*>(handle)));
    return freed;
  }
};

template <int Id>
int WINAPI WrapReleaseDC(HWND window, HDC dc) {
  const int released = TMake<Id, decltype(&ReleaseDC)>::Real(window, dc);
  if (released) Remove(HandleKey(dc));
  return released;
}

template <int Id>
UINT_PTR WINAPI WrapSetTimer(HWND window, UINT_PTR id, UINT elapse, TIMERPROC proc) {
  const UINT_PTR set = TMake<Id, decltype(&SetTimer)>::Real(window, id, elapse, proc);
  if (set) Add(lkTimer, {true, reinterpret_cast<UINT_PTR>(window), window ? id : set}, "SetTimer");
  return set;
}

template <int Id>
BOOL WINAPI WrapKillTimer(HWND window, UINT_PTR id) {
  const BOOL killed = TMake<Id, decltype(&KillTimer)>::Real(window, id);
  if (killed) Remove({true, reinterpret_cast<UINT_PTR>(window), id});
  return killed;
}

// Shared images belong to the system and are never freed.
template <int Id>
HANDLE WINAPI WrapLoadImageW(HINSTANCE instance, LPCWSTR name, UINT type, int cx, int cy, UINT flags) {
  HANDLE image = TMake<Id, decltype(&LoadImageW)>::Real(instance, name, type, cx, cy, flags);
  if (image && !(flags & LR_SHARED)) Add(type == IMAGE_BITMAP ? lkGdiObject : lkIcon, HandleKey(image), "LoadImageW");
  return image;
}

struct THook {
  const char* Dll;
  const char* Name;
  void* Wrapper;
  TLedgerKind Kind;
};

template <typename F>
void* Address(F function) {
  return reinterpret_cast<void*>(function);
}

#define LODO_MAKER(id, dll, function, kind) \
  { dll, #function, Address(&TMake<id, decltype(&function)>::Wrapper), kind }
#define LODO_FREER(id, dll, function) \
  { dll, #function, Address(&TFree<id, decltype(&function)>::Wrapper), lkGdiObject }

const THook kHooks[] = {
    LODO_MAKER(0, "gdi32.dll", CreateSolidBrush, lkGdiObject),
    LODO_MAKER(1, "gdi32.dll", CreateBrushIndirect, lkGdiObject),
    LODO_MAKER(2, "gdi32.dll", CreatePatternBrush, lkGdiObject),
    LODO_MAKER(3, "gdi32.dll", CreateHatchBrush, lkGdiObject),
    LODO_MAKER(4, "gdi32.dll", CreatePen, lkGdiObject),
    LODO_MAKER(5, "gdi32.dll", ExtCreatePen, lkGdiObject),
    LODO_MAKER(6, "gdi32.dll", CreatePenIndirect, lkGdiObject),
    LODO_MAKER(7, "gdi32.dll", CreateFontIndirectW, lkGdiObject),
    LODO_MAKER(8, "gdi32.dll", CreateFontIndirectA, lkGdiObject),
    LODO_MAKER(9, "gdi32.dll", CreateFontW, lkGdiObject),
    LODO_MAKER(10, "gdi32.dll", CreateBitmap, lkGdiObject),
    LODO_MAKER(11, "gdi32.dll", CreateCompatibleBitmap, lkGdiObject),
    LODO_MAKER(12, "gdi32.dll", CreateDIBSection, lkGdiObject),
    LODO_MAKER(13, "gdi32.dll", CreateDIBitmap, lkGdiObject),
    LODO_MAKER(14, "gdi32.dll", CreateRectRgn, lkGdiObject),
    LODO_MAKER(15, "gdi32.dll", CreateRectRgnIndirect, lkGdiObject),
    LODO_MAKER(16, "gdi32.dll", CreateEllipticRgn, lkGdiObject),
    LODO_MAKER(17, "gdi32.dll", CreateCompatibleDC, lkDeviceContext),
    LODO_FREER(18, "gdi32.dll", DeleteObject),
    LODO_FREER(19, "gdi32.dll", DeleteDC),
    LODO_MAKER(20, "user32.dll", GetDC, lkDeviceContext),
    LODO_MAKER(21, "user32.dll", GetWindowDC, lkDeviceContext),
    LODO_MAKER(22, "user32.dll", GetDCEx, lkDeviceContext),
    {"user32.dll", "ReleaseDC", Address(&WrapReleaseDC<23>), lkDeviceContext},
    LODO_MAKER(24, "user32.dll", CreatePopupMenu, lkMenu),
    LODO_MAKER(25, "user32.dll", CreateMenu, lkMenu),
    LODO_FREER(26, "user32.dll", DestroyMenu),
    {"user32.dll", "SetTimer", Address(&WrapSetTimer<27>), lkTimer},
    {"user32.dll", "KillTimer", Address(&WrapKillTimer<28>), lkTimer},
    {"user32.dll", "LoadImageW", Address(&WrapLoadImageW<29>), lkIcon},
    LODO_MAKER(30, "user32.dll", LoadBitmapW, lkGdiObject),
    LODO_MAKER(31, "user32.dll", CreateIconIndirect, lkIcon),
    LODO_FREER(32, "user32.dll", DestroyIcon),
    LODO_FREER(33, "user32.dll", DestroyCursor),
    LODO_MAKER(34, "comctl32.dll", ImageList_Create, lkImageList),
    LODO_MAKER(35, "comctl32.dll", ImageList_Duplicate, lkImageList),
    LODO_FREER(36, "comctl32.dll", ImageList_Destroy),
};
static_assert(std::size(kHooks) <= kMaxHooks);

#undef LODO_MAKER
#undef LODO_FREER

// Points each import slot named in the table at its wrapper (install) or
// back at the original; returns how many slots were changed.
int PatchImports(bool install) {
  auto* base = reinterpret_cast<BYTE*>(GetModuleHandleW(nullptr));
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& directory = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (!directory.VirtualAddress) return 0;
  int changed = 0;
  for (auto* import = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress); import->Name;
       ++import) {
    const char* dll = reinterpret_cast<const char*>(base + import->Name);
    const DWORD namesAt = import->OriginalFirstThunk ? import->OriginalFirstThunk : import->FirstThunk;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + import->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      const auto* byName = reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      for (size_t i = 0; i < std::size(kHooks); ++i) {
        const THook& hook = kHooks[i];
        if (lstrcmpiA(dll, hook.Dll) != 0 || lstrcmpA(reinterpret_cast<const char*>(byName->Name), hook.Name) != 0)
          continue;
        void* target = install ? hook.Wrapper : gOriginal[i];
        if (install) {
          gOriginal[i] = reinterpret_cast<void*>(slots->u1.Function);
          gKind[i] = hook.Kind;
          gMaker[i] = hook.Name;
        }
        if (!target) continue;
        DWORD old = 0;
        VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
        slots->u1.Function = reinterpret_cast<ULONG_PTR>(target);
        VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
        ++changed;
      }
    }
  }
  return changed;
}

}  // namespace

const char* LedgerKindName(TLedgerKind kind) {
  static const char* const names[lkKindCount] = {"GDI objects",       "device contexts", "menus",
                                                 "icons and cursors", "timers",          "image lists"};
  return names[kind];
}

TResourceLedger::TResourceLedger() {
  auto& s = State();
  {
    std::lock_guard<std::mutex> hold(s.Lock);
    s.Live.clear();
    for (long& made : s.Made) made = 0;
    s.ForeignFrees = 0;
    s.Open = true;
  }
  FRedirected = PatchImports(true);
}

TResourceLedger::~TResourceLedger() {
  PatchImports(false);
  auto& s = State();
  std::lock_guard<std::mutex> hold(s.Lock);
  s.Open = false;
}

TLedgerCounts TResourceLedger::Counts() const {
  auto& s = State();
  std::lock_guard<std::mutex> hold(s.Lock);
  TLedgerCounts counts;
  for (const auto& [key, entry] : s.Live) {
    ++counts.Live[entry.first];
    ++counts.LiveByMaker[entry.second];
    counts.LiveHandles[std::get<1>(key)] = entry.second;
  }
  for (int k = 0; k < lkKindCount; ++k) counts.Made[k] = s.Made[k];
  counts.ForeignFrees = s.ForeignFrees;
  return counts;
}

std::string NewObjects(const TLedgerCounts& before, const TLedgerCounts& after) {
  std::string text;
  for (const auto& [handle, maker] : after.LiveHandles) {
    if (before.LiveHandles.count(handle)) continue;
    char line[128];
    std::snprintf(line, sizeof(line), "%s %p", maker.c_str(), reinterpret_cast<void*>(handle));
    text += line;
    LOGBRUSH brush{};
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(handle)) == OBJ_BRUSH &&
        GetObjectW(reinterpret_cast<HGDIOBJ>(handle), sizeof(brush), &brush)) {
      std::snprintf(line, sizeof(line), " colour %06lx", static_cast<unsigned long>(brush.lbColor));
      text += line;
    }
    text += "\n";
  }
  return text;
}

SIZE_T CommittedPrivateBytes() {
  SIZE_T total = 0;
  MEMORY_BASIC_INFORMATION region{};
  for (auto* at = static_cast<BYTE*>(nullptr); VirtualQuery(at, &region, sizeof(region)) == sizeof(region);) {
    if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
    BYTE* next = static_cast<BYTE*>(region.BaseAddress) + region.RegionSize;
    if (next <= at) break;
    at = next;
  }
  return total;
}

}  // namespace lodo::test
