// The framework's house-keeping guarantees: style, state and component flags
// are sets that cannot be mixed, owners of platform handles are move-only,
// hidden message windows are bound by the same trampoline as controls, and
// every kind of escaped exception reaches the application's error handler.
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <type_traits>

#include "framework/Application.h"
#include "framework/Exceptions.h"
#include "framework/Gdi.h"
#include "framework/Graphics.h"
#include "framework/MessageWindow.h"
#include "framework/Panel.h"
#include "framework/WindowBinding.h"
#include "tests/support/TestSupport.h"

using namespace lodo;

namespace {

template <typename TSet, typename TFlag>
concept Includable = requires(TControl& control, TFlag flag) {
  control.IncludeState(flag);
};

template <typename TFlag>
concept Stylable = requires(TControl& control, TFlag flag) {
  control.SetControlStyle(flag);
};

template <typename TA, typename TB>
concept Combinable = requires(TA a, TB b) {
  TControlStyle(a | b);
};

// Flags of the three kinds go only where their kind belongs.
static_assert(Includable<TControlState, TControlStateFlag>);
static_assert(!Includable<TControlState, TComponentStateFlag>);
static_assert(!Includable<TControlState, TControlStyleFlag>);
static_assert(!Includable<TControlState, unsigned>);
static_assert(Stylable<TControlStyleFlag>);
static_assert(!Stylable<TControlStateFlag>);
static_assert(Combinable<TControlStyleFlag, TControlStyleFlag>);
static_assert(!Combinable<TControlStyleFlag, TControlStateFlag>);

// Owners of platform handles move, and never copy.
template <typename T>
constexpr bool kMoveOnly = std::is_move_constructible_v<T>&& std::is_move_assignable_v<T> &&
                           !std::is_copy_constructible_v<T> && !std::is_copy_assignable_v<T>;
static_assert(kMoveOnly<TBitmapHandle>);
static_assert(kMoveOnly<TMemoryDC>);
static_assert(kMoveOnly<TWindowDC>);
static_assert(kMoveOnly<TMenuHandle>);
static_assert(!std::is_copy_constructible_v<TPaintDC>);

struct TNotAStdException {};

}  // namespace

TEST(Ownership, FlagSetsHoldExactlyTheirFlags) {
  TControlStyle style = csCaptureMouse | csDoubleClicks;
  EXPECT_TRUE(style.Contains(csCaptureMouse));
  EXPECT_TRUE(style.Contains(csDoubleClicks));
  EXPECT_FALSE(style.Contains(csClickEvents));
  style -= csCaptureMouse;
  EXPECT_FALSE(style.Contains(csCaptureMouse));
  EXPECT_EQ(style, TControlStyle(csDoubleClicks));
  EXPECT_EQ(style & csDoubleClicks, static_cast<unsigned>(csDoubleClicks));
  EXPECT_EQ(style & csOpaque, 0u);

  TPanel panel(nullptr);
  panel.IncludeState(csPaintCopy | csFocusing);
  panel.ExcludeState(csFocusing);
  EXPECT_TRUE(panel.ControlState().Contains(csPaintCopy));
  EXPECT_FALSE(panel.ControlState().Contains(csFocusing));
  EXPECT_FALSE(panel.ComponentState().Contains(csLoading));
  panel.BeginLoading();
  EXPECT_TRUE(panel.IsLoading());
  panel.EndLoading();
  EXPECT_TRUE(panel.ComponentState().Empty());
}

TEST(Ownership, AWindowDcMovesToItsNewOwnerAndIsReleasedOnce) {
  TWindowDC first(nullptr);
  HDC dc = first.Get();
  ASSERT_NE(dc, nullptr);
  TWindowDC second(std::move(first));
  EXPECT_EQ(first.Get(), nullptr);
  EXPECT_EQ(second.Get(), dc);
  // Still usable after the move: the first owner did not release it.
  EXPECT_GT(GetDeviceCaps(second.Get(), LOGPIXELSY), 0);
  TMenuHandle menu(CreatePopupMenu());
  HMENU raw = menu.Get();
  TMenuHandle other;
  other = std::move(menu);
  EXPECT_FALSE(menu.Valid());
  EXPECT_TRUE(IsMenu(raw));
  other.Reset();
  EXPECT_FALSE(IsMenu(raw));
}

TEST(Ownership, MessageWindowsAreBoundByTheOneTrampoline) {
  int handled = 0;
  HWND window = nullptr;
  {
    TMessageWindow messages([&handled](TMessage& m) {
      if (m.Msg == WM_APP + 1) throw std::runtime_error("message window failed");
      if (m.Msg == WM_APP + 2) throw TNotAStdException{};
      if (m.Msg != WM_APP) return false;
      ++handled;
      m.Result = 42;
      return true;
    });
    window = messages.Handle();
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(BoundTarget(window), &messages);
    // It is no control.
    EXPECT_EQ(TWinControl::FindControl(window), nullptr);
    EXPECT_EQ(SendMessageW(window, WM_APP, 0, 0), 42);
    EXPECT_EQ(handled, 1);

    test::ErrorsSeen().clear();
    EXPECT_EQ(SendMessageW(window, WM_APP + 1, 0, 0), 0);
    EXPECT_EQ(SendMessageW(window, WM_APP + 2, 0, 0), 0);
    ASSERT_EQ(test::ErrorsSeen().size(), 2u);
    EXPECT_EQ(test::ErrorsSeen()[0], "message window failed");
    EXPECT_EQ(test::ErrorsSeen()[1], "Unknown error");
  }
  EXPECT_FALSE(IsWindow(window));
}

TEST(Ownership, EveryKindOfExceptionIsReportedByOneHelper) {
  test::ErrorsSeen().clear();
  try {
    throw EInvalidOperation("invalid");
  } catch (...) {
    ReportCurrentException();
  }
  try {
    throw 42;
  } catch (...) {
    ReportCurrentException();
  }
  try {
    throw TNotAStdException{};
  } catch (...) {
    ReportCurrentException("Unknown error in a test");
  }
  EXPECT_EQ(test::ErrorsSeen(), (std::vector<std::string>{"invalid", "Unknown error", "Unknown error in a test"}));

  // A handler that fails itself is not the caller's problem.
  auto keep = Application->OnException;
  Application->OnException = [](const std::string&) { throw std::runtime_error("handler failed"); };
  try {
    throw std::runtime_error("first");
  } catch (...) {
    EXPECT_NO_THROW(ReportCurrentException());
  }
  Application->OnException = keep;
}

// Fonts alike share one GDI font; it goes with the last of them, and a font
// that changes leaves the others theirs.
TEST(Ownership, FontsAlikeShareOneGdiFontThatGoesWithTheLastOfThem) {
  auto first = std::make_unique<TFont>();
  first->SetName(L"Tahoma");
  first->SetHeight(13);
  auto second = std::make_unique<TFont>();
  second->SetHeight(13);
  const HFONT shared = first->Handle();
  ASSERT_NE(shared, nullptr);
  EXPECT_EQ(second->Handle(), shared);
  TFont bold(*first);
  bold.SetStyle(fsBold);
  EXPECT_NE(bold.Handle(), shared);
  TFont copy(*first);
  EXPECT_EQ(copy.Handle(), shared);

  // One font changes: the others keep theirs, and it takes the one its new
  // properties share.
  second->SetHeight(15);
  EXPECT_NE(second->Handle(), shared);
  EXPECT_EQ(first->Handle(), shared);
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
  second->Assign(bold);
  EXPECT_EQ(second->Handle(), bold.Handle());

  first.reset();
  EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_FONT));
  copy.SetHeight(11);
  (void)copy.Handle();
  // The last user of the 13-pixel font is gone: the font is deleted, and a
  // font asked for again is made anew.
  EXPECT_EQ(GetObjectType(shared), 0u);
  TFont again;
  again.SetHeight(13);
  const HFONT made = again.Handle();
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(GetObjectType(made), static_cast<DWORD>(OBJ_FONT));
  LOGFONTW lf{};
  ASSERT_TRUE(GetObjectW(made, sizeof(lf), &lf));
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
}
