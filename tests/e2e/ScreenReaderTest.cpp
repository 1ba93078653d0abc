// The real lodo.exe read and driven from this second process as a screen
// reader does it: the accessibility layer's objects of its windows, their
// default actions, the WinEvents it sends, and references kept after it ended.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <vector>

#include "tests/e2e/LauncherProcess.h"
#include "tests/support/Accessibility.h"
#include "tests/support/TestSupport.h"

using namespace lodo::e2e;
using lodo::test::ComPtr;
using lodo::test::ReadFacts;
using lodo::test::StateText;
using lodo::test::TAccessibleFacts;

namespace {

const std::string kSettings =
    "[Spajanja]\r\n"
    "Sp1_naziv=Ured\r\nSp1_adresa=ured.example\r\n"
    "Sp2_naziv=Helpdesk &Split\r\nSp2_adresa=split.example::5500\r\n"
    "Sp3_naziv=R&&D\r\nSp3_adresa=rd.example\r\n"
    "Sp9_naziv=Desni stupac\r\nSp9_adresa=10.0.0.9\r\n";

struct TSlotReading {
  int Slot;
  std::wstring Name;
  std::wstring Address;
};
const TSlotReading kSlots[] = {{1, L"Ured", L"ured.example"},
                               {2, L"Helpdesk Split", L"split.example::5500"},
                               {3, L"R&D", L"rd.example"},
                               {9, L"Desni stupac", L"10.0.0.9"}};

// The window that has the keyboard focus in the launcher's thread.
HWND FocusOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info.hwndFocus;
}

// The windows of a window's accessible children, in the order a screen
// reader meets them.
std::vector<HWND> ChildWindowsRead(HWND window) {
  std::vector<HWND> windows;
  ComPtr<IAccessible> object = lodo::test::ClientObject(window);
  LONG count = 0;
  if (!object || FAILED(object->get_accChildCount(&count)) || count <= 0) return windows;
  std::vector<VARIANT> children(static_cast<size_t>(count));
  LONG got = 0;
  if (FAILED(AccessibleChildren(object.Get(), 0, count, children.data(), &got))) return windows;
  for (LONG i = 0; i < got; ++i) {
    VARIANT& child = children[static_cast<size_t>(i)];
    ComPtr<IAccessible> childObject;
    HWND childWindow = nullptr;
    if (child.vt == VT_DISPATCH && child.pdispVal &&
        SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible),
                                                 reinterpret_cast<void**>(childObject.GetAddressOf()))) &&
        SUCCEEDED(WindowFromAccessibleObject(childObject.Get(), &childWindow)) && childWindow != window)
      windows.push_back(childWindow);
    VariantClear(&child);
  }
  return windows;
}

// Every (role, name) met walking down from a window's client object, as a
// screen reader reviews a window: each child object that stands for a child
// window is read through that window's own client object.
void Walk(HWND window, int depth, std::set<std::pair<LONG, std::wstring>>& seen) {
  ComPtr<IAccessible> object = lodo::test::ClientObject(window);
  if (!object) return;
  const TAccessibleFacts facts = ReadFacts(object.Get());
  seen.insert({facts.Role, facts.Name});
  if (depth > 0)
    for (HWND child : ChildWindowsRead(window)) Walk(child, depth - 1, seen);
}

// Runs a change in the launcher and pumps, so the WinEvents arrive here.
void PumpAfter(const std::function<void()>& change) {
  change();
  lodo::test::Pump(300);
}

}  // namespace

TEST(ScreenReader, ReadsEveryShownSlotBothPanelsAndTheHostNameField) {
  lodo::test::TComApartment apartment;
  TProgramFolder folder("lodo reader");
  folder.WriteSettings(kSettings + "[Forma]\r\nZadnje_spajanje=2\r\n");
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  for (const TSlotReading& slot : kSlots) {
    SCOPED_TRACE(slot.Slot);
    const HWND window = launcher.SlotWindow(slot.Slot);
    ComPtr<IAccessible> object = lodo::test::ClientObject(window);
    ASSERT_TRUE(object);
    const TAccessibleFacts facts = ReadFacts(object.Get());
    EXPECT_TRUE(facts.Failures.empty());
    EXPECT_EQ(facts.Role, ROLE_SYSTEM_RADIOBUTTON);
    EXPECT_EQ(facts.Name, slot.Name);
    EXPECT_EQ(facts.Description, slot.Address);
    EXPECT_EQ(facts.DefaultAction, L"Check");
    EXPECT_EQ((facts.State & STATE_SYSTEM_CHECKED) != 0, slot.Slot == 2) << StateText(facts.State);
    EXPECT_EQ((facts.State & STATE_SYSTEM_FOCUSED) != 0, FocusOf(window) == window) << StateText(facts.State);
    EXPECT_TRUE(facts.State & STATE_SYSTEM_FOCUSABLE);
    EXPECT_FALSE(facts.State & (STATE_SYSTEM_INVISIBLE | STATE_SYSTEM_UNAVAILABLE));
    EXPECT_EQ(facts.Shortcut, slot.Slot == 2 ? L"Alt+S" : L"");
    RECT r{};
    GetWindowRect(window, &r);
    EXPECT_TRUE(EqualRect(&facts.Location, &r));
  }
  for (auto [window, name] :
       {std::pair{launcher.ConnectPanel(), L"SPAJANJE"}, std::pair{launcher.ExitPanel(), L"IZLAZ"}}) {
    SCOPED_TRACE(lodo::test::Narrow(name));
    ComPtr<IAccessible> object = lodo::test::ClientObject(window);
    ASSERT_TRUE(object);
    const TAccessibleFacts facts = ReadFacts(object.Get());
    EXPECT_TRUE(facts.Failures.empty());
    EXPECT_EQ(facts.Role, ROLE_SYSTEM_PUSHBUTTON);
    EXPECT_EQ(facts.Name, name);
    EXPECT_EQ(facts.DefaultAction, L"Press");
    EXPECT_EQ(facts.State, 0) << StateText(facts.State);
  }

  // Reviewing the whole window from its top finds the same objects.
  std::set<std::pair<LONG, std::wstring>> seen;
  Walk(launcher.Window(), 4, seen);
  for (const TSlotReading& slot : kSlots) EXPECT_TRUE(seen.count({ROLE_SYSTEM_RADIOBUTTON, slot.Name}));
  EXPECT_TRUE(seen.count({ROLE_SYSTEM_PUSHBUTTON, L"SPAJANJE"}));
  EXPECT_TRUE(seen.count({ROLE_SYSTEM_PUSHBUTTON, L"IZLAZ"}));
  // The slots in the order they are read on screen.
  std::vector<HWND> slotsInOrder;
  for (const TSlotReading& slot : kSlots) slotsInOrder.push_back(launcher.SlotWindow(slot.Slot));
  EXPECT_EQ(ChildWindowsRead(GetParent(slotsInOrder[0])), slotsInOrder);

  // In manual mode the field reads its label; the slots are out of sight.
  const HWND second = launcher.SlotWindow(2);
  launcher.ClickManual();
  ComPtr<IAccessible> edit = lodo::test::ClientObject(launcher.HostEdit());
  ASSERT_TRUE(edit);
  const TAccessibleFacts field = ReadFacts(edit.Get());
  EXPECT_EQ(field.Name, L"Hostname");
  EXPECT_FALSE(field.State & STATE_SYSTEM_INVISIBLE) << StateText(field.State);
  EXPECT_TRUE(ReadFacts(lodo::test::ClientObject(second).Get()).State & STATE_SYSTEM_INVISIBLE);
  // The manual-entry row in its tab order.
  const HWND manual = launcher.ChildAt({20, 106});
  EXPECT_EQ(ChildWindowsRead(GetParent(manual)), (std::vector<HWND>{manual, launcher.HostEdit()}));
  launcher.ClickExit();
  EXPECT_TRUE(launcher.WaitExit(15000));
}

// The same choice and connect, once by mouse clicks and once by default
// actions alone: the same server command, the same settings saved.
TEST(ScreenReader, ConnectsThroughDefaultActionsAloneAsClicksDo) {
  lodo::test::TComApartment apartment;
  const std::string settings = kSettings + "[Forma]\r\nZadnje_spajanje=1\r\n";
  TProgramFolder clicked("lodo clicked"), read("lodo read");
  clicked.WriteSettings(settings);
  read.WriteSettings(settings);
  {
    TLauncher launcher(clicked);
    ASSERT_TRUE(launcher.Window());
    launcher.ClickSlot(3);
    launcher.ClickConnect();
    ASSERT_TRUE(launcher.WaitExit(15000));
  }
  TLauncher launcher(read);
  ASSERT_TRUE(launcher.Window());
  const HWND third = launcher.SlotWindow(3), first = launcher.SlotWindow(1);
  ComPtr<IAccessible> slot = lodo::test::ClientObject(third);
  ComPtr<IAccessible> connect = lodo::test::ClientObject(launcher.ConnectPanel());
  ASSERT_TRUE(slot && connect);
  lodo::test::TWinEventLog events(EVENT_OBJECT_STATECHANGE, EVENT_OBJECT_STATECHANGE, launcher.ProcessId());
  ASSERT_TRUE(events.Hooked());
  PumpAfter([&] { EXPECT_EQ(slot->accDoDefaultAction(lodo::test::SelfChild()), S_OK); });
  EXPECT_TRUE(ReadFacts(slot.Get()).State & STATE_SYSTEM_CHECKED);
  EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, third), 1);
  EXPECT_EQ(events.Count(EVENT_OBJECT_STATECHANGE, first), 1);
  EXPECT_EQ(connect->accDoDefaultAction(lodo::test::SelfChild()), S_OK);
  ASSERT_TRUE(EndsWithCodeZero(launcher, 15000));

  ASSERT_TRUE(clicked.WaitForRecord());
  ASSERT_TRUE(read.WaitForRecord());
  EXPECT_EQ(clicked.RecordedCommand(), clicked.CommandFor("rd.example"));
  EXPECT_EQ(read.RecordedCommand(), read.CommandFor("rd.example"));
  EXPECT_EQ(read.RecordedDirectory() + "\\", read.Path());
  EXPECT_EQ(read.ReadSettings(), clicked.ReadSettings());
  EXPECT_NE(read.ReadSettings().find("Zadnje_spajanje=3"), std::string::npos) << read.ReadSettings();
}

// A screen reader keeps its references; once the launcher has closed they
// answer with errors, and reading them harms neither side.
TEST(ScreenReader, ReferencesKeptAfterTheLauncherClosedAnswerWithAnError) {
  lodo::test::TComApartment apartment;
  TProgramFolder folder("lodo kept");
  folder.WriteSettings(kSettings);
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  ComPtr<IAccessible> slot = lodo::test::ClientObject(launcher.SlotWindow(1));
  ComPtr<IAccessible> exit = lodo::test::ClientObject(launcher.ExitPanel());
  ASSERT_TRUE(slot && exit);
  EXPECT_EQ(exit->accDoDefaultAction(lodo::test::SelfChild()), S_OK);
  ASSERT_TRUE(EndsWithCodeZero(launcher, 15000));
  for (IAccessible* object : {slot.Get(), exit.Get()})
    for (HRESULT hr : lodo::test::AskEverything(object)) EXPECT_TRUE(FAILED(hr)) << std::hex << hr;
  EXPECT_NE(folder.ReadSettings().find("Rucni_unos=0"), std::string::npos);
}

// On a system without the accessibility library a screen reader's question
// gets the window's standard answer (none of its own), and the launcher goes
// on; it neither fails nor loads a library of that name from elsewhere.
// Registered to run with the library switched off for lodo.exe and this
// process, which asks nothing through it.
TEST(NoAccessibilityLibrary, QuestionsAreLeftToTheSystemAndTheLauncherGoesOn) {
  TProgramFolder folder("lodo no oleacc");
  folder.WriteSettings(kSettings + "[Forma]\r\nZadnje_spajanje=9\r\n");
  TLauncher launcher(folder);
  ASSERT_TRUE(launcher.Window());
  for (HWND window : {launcher.SlotWindow(9), launcher.ConnectPanel()}) {
    DWORD_PTR result = 1;
    EXPECT_TRUE(SendMessageTimeoutW(window, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT), SMTO_ABORTIFHUNG, 5000,
                                    &result));
    EXPECT_EQ(result, 0u);
  }
  ASSERT_TRUE(launcher.Running());
  EXPECT_EQ(launcher.ErrorBox(300), nullptr) << TLauncher::BoxText(launcher.ErrorBox(0));
  ASSERT_TRUE(ConnectStarts(launcher, folder, "10.0.0.9", 15000));
}
