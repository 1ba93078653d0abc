// The theme handle cache, the availability tests and the hidden window that
// closes the cache when the visual style changes.
#include "theme/ThemeManager.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <exception>
#include <memory>
#include <vector>

#include "framework/Application.h"
#include "framework/MessageWindow.h"
#include "theme/ThemeModule.h"
#include "theme/UxTheme.h"

namespace lodo {

namespace {

constexpr std::array<const wchar_t*, kThemeClassCount> kDefaultClassLists = {
    L"Button",     L"Clock",      L"ComboBox", L"Edit",     L"ExplorerBar", L"Header",    L"ListBox",
    L"ListView",   L"Menu",       L"Page",     L"Progress", L"Rebar",       L"ScrollBar", L"Spin",
    L"StartPanel", L"Status",     L"Tab",      L"TaskBand", L"TaskBar",     L"ToolBar",   L"ToolTip",
    L"TrackBar",   L"TrayNotify", L"TreeView", L"Window",
};

// Receives WM_THEMECHANGED, which the platform sends to every top-level window.
class TdxThemeChangedEventReceiver {
 public:
  TdxThemeChangedEventReceiver();
  ~TdxThemeChangedEventReceiver();
  HWND Handle() const { return FWindow ? FWindow->Handle() : nullptr; }

 private:
  bool WndProc(TMessage& message);
  std::unique_ptr<TMessageWindow> FWindow;
};

bool gThemesActive = false;
std::array<TdxThemeData, kThemeClassCount> gCache;
std::unique_ptr<TdxThemeChangedEventReceiver> gReceiver;
std::unique_ptr<std::vector<TdxThemeChangedNotificator*>> gNotificators;

// Class lists are compared ignoring letter case under the user's locale.
bool SameClassList(const std::wstring& a, const wchar_t* b) {
  return CompareStringW(LOCALE_USER_DEFAULT, NORM_IGNORECASE, a.c_str(), static_cast<int>(a.size()), b, -1) ==
         CSTR_EQUAL;
}

TdxThemeChangedEventReceiver::TdxThemeChangedEventReceiver()
    : FWindow(std::make_unique<TMessageWindow>([this](TMessage& message) { return WndProc(message); })) {}

TdxThemeChangedEventReceiver::~TdxThemeChangedEventReceiver() {
  // Availability ends before the window goes, so nothing reopens a handle.
  gThemesActive = false;
  FWindow.reset();
}

bool TdxThemeChangedEventReceiver::WndProc(TMessage& message) {
  if (message.Msg != WM_THEMECHANGED || !FWindow) return false;
  try {
    CloseAllThemeHandles();
    DefWindowProcW(FWindow->Handle(), message.Msg, message.WParam, message.LParam);
    gThemesActive = lodo::IsThemeActive() != FALSE;
    message.Result = 0;
    // A handler may destroy notificators (its own too): the bound is the
    // length when the round began, but never past the list as it is now.
    const size_t count = gNotificators ? gNotificators->size() : 0;
    for (size_t i = 0; i < count && gNotificators && i < gNotificators->size(); ++i) {
      TdxThemeChangedNotificator* notificator = (*gNotificators)[i];
      if (notificator->ThemeChangedHandler) notificator->ThemeChangedHandler();
    }
  } catch (const std::exception& error) {
    if (Application) Application->HandleException(error);
    message.Result = 0;
  }
  return true;
}

}  // namespace

const wchar_t* DefaultThemeClassList(ThemeClassId id) { return kDefaultClassLists[id]; }

bool ThemesActive() { return gThemesActive; }

bool VisualStylesAvailable(ThemeClassId id) {
  return gThemesActive && ThemeLibraryLoaded() && OpenThemeHandle(id) != nullptr;
}

bool VisualStylesAvailableForAll(TThemeClassSet ids) {
  if (!gThemesActive || !ThemeLibraryLoaded()) return false;
  for (int i = 0; i < kThemeClassCount; ++i) {
    const auto id = static_cast<ThemeClassId>(i);
    if (ids.Contains(id) && OpenThemeHandle(id) == nullptr) return false;
  }
  return true;
}

HTHEME OpenThemeHandle(ThemeClassId id, const wchar_t* classList) {
  if (!VisualStylesAvailableForAll({})) return nullptr;
  TdxThemeData& slot = gCache[id];
  if (slot.Handle) {
    if (!classList || SameClassList(slot.ClassList, classList)) return slot.Handle;
    CloseThemeHandle(id);
  }
  std::wstring list;
  if (classList)
    list = classList;
  else
    list = slot.ClassList.empty() ? std::wstring(kDefaultClassLists[id]) : slot.ClassList;
  HTHEME handle = lodo::OpenThemeData(nullptr, list.c_str());
  if (handle) {
    slot.Handle = handle;
    slot.ClassList = std::move(list);
  } else {
    slot.ClassList.clear();
  }
  return handle;
}

HRESULT CloseThemeHandle(ThemeClassId id) {
  if (!VisualStylesAvailableForAll({})) return 1;
  TdxThemeData& slot = gCache[id];
  if (!slot.Handle) return 0;
  const HRESULT result = lodo::CloseThemeData(slot.Handle);
  slot.Handle = nullptr;
  slot.ClassList.clear();
  return result;
}

void CloseAllThemeHandles() {
  for (TdxThemeData& slot : gCache) {
    if (!slot.Handle) continue;
    lodo::CloseThemeData(slot.Handle);
    slot.Handle = nullptr;
  }
}

const TdxThemeData& ThemeData(ThemeClassId id) { return gCache[id]; }

HWND ThemeReceiverWindow() { return gReceiver ? gReceiver->Handle() : nullptr; }

TdxThemeChangedNotificator::TdxThemeChangedNotificator() {
  if (ThemeLibraryLoaded() && gNotificators) gNotificators->push_back(this);
}

TdxThemeChangedNotificator::~TdxThemeChangedNotificator() {
  if (!ThemeLibraryLoaded() || !gNotificators) return;
  auto& list = *gNotificators;
  list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void StartThemeManager() {
  if (!ThemeLibraryLoaded() || gReceiver) return;
  gThemesActive = lodo::IsThemeActive() != FALSE;
  gReceiver = std::make_unique<TdxThemeChangedEventReceiver>();
  gNotificators = std::make_unique<std::vector<TdxThemeChangedNotificator*>>();
}

void StopThemeManager() {
  if (!ThemeLibraryLoaded()) return;
  gReceiver.reset();
  gThemesActive = false;
  CloseAllThemeHandles();
  gNotificators.reset();
  for (TdxThemeData& slot : gCache) slot.ClassList.clear();
}

namespace {
bool gModuleStarted = false;
}

void InitializeThemeModule() {
  if (gModuleStarted) return;
  InitCommonControls();
  BindThemeLibrary();
  try {
    StartThemeManager();
  } catch (...) {
    // Without its receiver the cache could go stale at a switch: run unbound,
    // with the program's own drawing. Like a missing library, that is no error.
    StopThemeManager();
    UnbindThemeLibrary();
  }
  gModuleStarted = true;
}

void FinalizeThemeModule() {
  if (!gModuleStarted) return;
  StopThemeManager();
  UnbindThemeLibrary();
  gModuleStarted = false;
}

}  // namespace lodo
