// The heap as a safety net: in the heap-checking run (LODO_HEAP_CHECK=ON, set
// by scripts/test.sh and CI's second pass) Wine fills a freed block with its
// poison pattern and checks the bytes after each block, so a use of a freed
// object crashes at once and a write past a block is found. Without that run
// there is nothing to prove and the test says so.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

namespace {

bool HeapCheckAskedFor() {
  const char* asked = std::getenv("LODO_HEAP_CHECK");
  return asked && std::string(asked) == "ON";
}

// Bytes of the freed pattern 0xfeeefeee (little endian) from `from` on.
int PoisonedBytes(const volatile unsigned char* block, int from, int size) {
  int poisoned = 0;
  for (int i = from; i < size; ++i)
    if (block[i] == (i % 2 == 0 ? 0xee : 0xfe)) ++poisoned;
  return poisoned;
}

}  // namespace

TEST(Heap, FreedBlocksArePoisonedInTheHeapCheckingRun) {
  if (!HeapCheckAskedFor()) GTEST_SKIP() << "not the heap-checking run (LODO_HEAP_CHECK is not ON)";
  constexpr int kSize = 64;
  // The first bytes of a freed block may hold the heap's own links; the rest
  // must be poisoned, in the process heap and in the C runtime's (new, delete).
  auto* block = static_cast<volatile unsigned char*>(HeapAlloc(GetProcessHeap(), 0, kSize));
  ASSERT_NE(block, nullptr);
  for (int i = 0; i < kSize; ++i) block[i] = 0x11;
  ASSERT_TRUE(HeapFree(GetProcessHeap(), 0, const_cast<unsigned char*>(block)));
  EXPECT_EQ(PoisonedBytes(block, 16, kSize), kSize - 16);

  // Read back through an address the compiler cannot follow: looking at
  // freed memory is the point here.
  volatile unsigned char* volatile object = static_cast<volatile unsigned char*>(std::malloc(kSize));
  ASSERT_NE(object, nullptr);
  for (int i = 0; i < kSize; ++i) object[i] = 0x11;
  std::free(const_cast<unsigned char*>(object));
  EXPECT_EQ(PoisonedBytes(object, 16, kSize), kSize - 16);
}

TEST(Heap, AWritePastABlockIsFoundInTheHeapCheckingRun) {
  if (!HeapCheckAskedFor()) GTEST_SKIP() << "not the heap-checking run (LODO_HEAP_CHECK is not ON)";
  HANDLE heap = HeapCreate(0, 0, 0);
  ASSERT_NE(heap, nullptr);
  auto* block = static_cast<volatile unsigned char*>(HeapAlloc(heap, 0, 24));
  ASSERT_NE(block, nullptr);
  EXPECT_TRUE(HeapValidate(heap, 0, nullptr));
  const unsigned char after = block[24];
  block[24] = static_cast<unsigned char>(after ^ 0xFF);
  EXPECT_FALSE(HeapValidate(heap, 0, nullptr));
  block[24] = after;
  EXPECT_TRUE(HeapValidate(heap, 0, nullptr));
  HeapDestroy(heap);
}
