// The theme handle cache: one handle per visual-style class, opened without a
// window, closed on every theme switch, plus the availability tests.
#pragma once
#include <windows.h>

#include <uxtheme.h>

#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>

namespace lodo {

enum ThemeClassId : std::uint8_t {
  tciButton,
  tciClock,
  tciComboBox,
  tciEdit,
  tciExplorerBar,
  tciHeader,
  tciListBox,
  tciListView,
  tciMenu,
  tciPage,
  tciProgress,
  tciRebar,
  tciScrollBar,
  tciSpin,
  tciStartPanel,
  tciStatus,
  tciTab,
  tciTaskBand,
  tciTaskBar,
  tciToolBar,
  tciToolTip,
  tciTrackBar,
  tciTrayNotify,
  tciTreeView,
  tciWindow,
};
constexpr int kThemeClassCount = tciWindow + 1;

// The class list a class is opened with when the caller names none.
const wchar_t* DefaultThemeClassList(ThemeClassId id);

// A set of theme classes, one bit per class.
class TThemeClassSet {
 public:
  constexpr TThemeClassSet() = default;
  constexpr TThemeClassSet(std::initializer_list<ThemeClassId> ids) {
    for (ThemeClassId id : ids) FBits |= Bit(id);
  }
  constexpr bool Contains(ThemeClassId id) const { return (FBits & Bit(id)) != 0; }
  constexpr bool Empty() const { return FBits == 0; }

 private:
  static constexpr std::uint32_t Bit(ThemeClassId id) { return std::uint32_t{1} << id; }
  std::uint32_t FBits = 0;
};

// One cache slot. The class list survives a theme switch so that the class
// reopens as it was last opened.
struct TdxThemeData {
  HTHEME Handle = nullptr;
  std::wstring ClassList;
};

// The platform's last answer to IsThemeActive; false while the library is not
// loaded and after the theme module has shut down.
bool ThemesActive();
bool VisualStylesAvailable(ThemeClassId id);
// The empty set asks only whether the library is loaded and a style active.
bool VisualStylesAvailableForAll(TThemeClassSet ids);

// The handle stays owned by the cache. classList null: the slot's last class
// list, else the class's default one.
HTHEME OpenThemeHandle(ThemeClassId id, const wchar_t* classList = nullptr);
// 1 when visual styles are unavailable, else the library's result (0 when
// the slot held nothing).
HRESULT CloseThemeHandle(ThemeClassId id);
void CloseAllThemeHandles();

// Read access to a slot, for the tests.
const TdxThemeData& ThemeData(ThemeClassId id);
// The theme receiver's hidden window, or null when there is none.
HWND ThemeReceiverWindow();

// Tells its owner of each theme switch, after the cache has been closed.
class TdxThemeChangedNotificator {
 public:
  TdxThemeChangedNotificator();
  ~TdxThemeChangedNotificator();
  TdxThemeChangedNotificator(const TdxThemeChangedNotificator&) = delete;
  TdxThemeChangedNotificator& operator=(const TdxThemeChangedNotificator&) = delete;

  std::function<void()> ThemeChangedHandler;
};

// Theme manager start-up (after the binding) and shutdown (before unbinding).
void StartThemeManager();
void StopThemeManager();

}  // namespace lodo
