// A ledger of the GDI and USER objects this executable makes and frees, kept
// by pointing its own import table at counting wrappers. It counts the same
// under Wine, where GetGuiResources is a stub, as on Windows.
#pragma once
#include <windows.h>

#include <map>
#include <string>

namespace lodo::test {

enum TLedgerKind { lkGdiObject, lkDeviceContext, lkMenu, lkIcon, lkTimer, lkImageList, lkKindCount };

const char* LedgerKindName(TLedgerKind kind);

struct TLedgerCounts {
  long Live[lkKindCount] = {};
  // Made since the ledger was opened (a running total, not a live count).
  long Made[lkKindCount] = {};
  // Frees of objects made before the ledger was opened, or never made.
  long ForeignFrees = 0;
  // Live objects by the function that made them, and each live handle (a
  // timer is listed by its window) with its maker.
  std::map<std::string, long> LiveByMaker;
  std::map<UINT_PTR, std::string> LiveHandles;
};

// The handles live in `after` that were not in `before`, described for a
// failure message: maker, handle and, for a brush, its colour.
std::string NewObjects(const TLedgerCounts& before, const TLedgerCounts& after);

// One ledger per process at a time; closing it puts the import table back.
class TResourceLedger {
 public:
  TResourceLedger();
  ~TResourceLedger();
  TResourceLedger(const TResourceLedger&) = delete;
  TResourceLedger& operator=(const TResourceLedger&) = delete;

  // How many of the watched imports were found and redirected.
  int Redirected() const { return FRedirected; }
  TLedgerCounts Counts() const;

 private:
  int FRedirected = 0;
};

// Committed private memory of this process, from its own address space
// (GetProcessMemoryInfo reports 0 under Wine).
SIZE_T CommittedPrivateBytes();

}  // namespace lodo::test
