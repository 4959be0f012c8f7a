#include "engine/name_list.h"

#include <gtest/gtest.h>

#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace harvelo {
namespace {

struct Entry {
  std::string text;
  int kind;
  std::string cookie;  // "(null)" for a null cookie
  std::string referrer;
  bool operator==(const Entry&) const = default;
};

std::string OrNull(const char* s) {
  return s != nullptr ? s : "(null)";
}

std::vector<Entry> Drain(CNameList& list) {
  std::vector<Entry> out;
  while (list.Count() > 0) {
    out.push_back({list.FrontText(), list.FrontKind(), OrNull(list.FrontCookie()),
                   OrNull(list.FrontReferrer())});
    EXPECT_EQ(list.PopFront(), 1);
  }
  return out;
}

TEST(CNameList, EmptyListAnswersNullAndZero) {
  CNameList list;
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FrontText(), nullptr);
  EXPECT_EQ(list.FrontKind(), 0);
  EXPECT_EQ(list.FrontCookie(), nullptr);
  EXPECT_EQ(list.FrontReferrer(), nullptr);
  EXPECT_EQ(list.PopFront(), 0);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
}

TEST(CNameList, PushBackIsFirstInFirstOutAndPushFrontJumpsTheQueue) {
  CNameList list;
  EXPECT_EQ(list.PushBack("a", PageEntry), 1);
  EXPECT_EQ(list.PushBack("b", PageEntry), 1);
  EXPECT_EQ(list.PushFront("c", LinkedPageEntry, "k=v", "http://r/"), 1);
  EXPECT_EQ(list.PushBack("a", ResourceEntry), 1);  // no duplicate detection
  EXPECT_EQ(list.Count(), 4);
  const std::vector<Entry> expected = {{"c", LinkedPageEntry, "k=v", "http://r/"},
                                       {"a", PageEntry, "(null)", "(null)"},
                                       {"b", PageEntry, "(null)", "(null)"},
                                       {"a", ResourceEntry, "(null)", "(null)"}};
  EXPECT_EQ(Drain(list), expected);
  EXPECT_EQ(list.FrontText(), nullptr);
}

TEST(CNameList, PushFrontIntoEmptyListAndPopToEmptyKeepBothEndsRight) {
  // The tail must follow the head when the list passes through empty.
  CNameList list;
  list.PushFront("x", PageEntry);
  list.PopFront();
  list.PushBack("y", PageEntry);
  list.PushBack("z", PageEntry);
  list.PushFront("w", PageEntry);
  const std::vector<Entry> expected = {{"w", PageEntry, "(null)", "(null)"},
                                       {"y", PageEntry, "(null)", "(null)"},
                                       {"z", PageEntry, "(null)", "(null)"}};
  EXPECT_EQ(Drain(list), expected);
}

TEST(CNameList, PushBackAfterPushFrontOnAnEmptyListKeepsBothInOrder) {
  CNameList list;
  list.PushFront("first", PageEntry);
  list.PushBack("second", ResourceEntry);
  EXPECT_EQ(list.Count(), 2);
  const std::vector<Entry> expected = {{"first", PageEntry, "(null)", "(null)"},
                                       {"second", ResourceEntry, "(null)", "(null)"}};
  EXPECT_EQ(Drain(list), expected);
}

TEST(CNameList, KeepsItsOwnCopiesAndTellsNullFromEmpty) {
  CNameList list;
  std::string text = "http://example.com/a-rather-long-address/that/needs/the/heap.html";
  std::string cookie = "session=1";
  list.PushBack(text.c_str(), PageEntry, cookie.c_str(), "");
  text.assign(text.size(), 'x');
  cookie.assign(cookie.size(), 'y');
  EXPECT_STREQ(list.FrontText(),
               "http://example.com/a-rather-long-address/that/needs/the/heap.html");
  EXPECT_STREQ(list.FrontCookie(), "session=1");
  ASSERT_NE(list.FrontReferrer(), nullptr);
  EXPECT_STREQ(list.FrontReferrer(), "");
}

TEST(CNameList, ClearEmptiesAndTheListIsUsableAgain) {
  CNameList list;
  list.PushBack("a", PageEntry);
  list.PushBack("b", PageEntry);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(list.FrontText(), nullptr);
  list.PushBack("c", PageEntry);
  EXPECT_STREQ(list.FrontText(), "c");
  EXPECT_EQ(list.Count(), 1);
}

TEST(CNameList, AVeryLongListIsClearedAndDestroyedWithoutDeepRecursion) {
  CNameList list;
  for (int i = 0; i < 1'000'000; ++i) ASSERT_EQ(list.PushBack("u", ResourceEntry), 1);
  EXPECT_EQ(list.Count(), 1'000'000);
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  {
    CNameList other;
    for (int i = 0; i < 1'000'000; ++i) other.PushFront("u", ResourceEntry);
  }  // destroyed full
}

// Virtual memory in use, from /proc/self/statm (pages).
long AddressSpaceBytes() {
  long pages = 0;
  if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
    if (std::fscanf(f, "%ld", &pages) != 1) pages = 0;
    std::fclose(f);
  }
  return pages * sysconf(_SC_PAGESIZE);
}

// In a child process: the entry's three strings need 24 MiB together; address-space limits
// that leave only 4, 12 or 20 MiB make the push fail. Every failure must leave the list as
// it was and hold on to nothing.
int FailingPushesInChild() {
  constexpr long kMiB = 1024 * 1024;
  // A fixed threshold keeps every big block mapped on its own and unmapped when freed, so
  // the address space shows what is still held.
  mallopt(M_MMAP_THRESHOLD, 128 * 1024);
  const std::string big(8 * kMiB, 'x');
  CNameList list;
  if (list.PushBack("first", PageEntry) != 1) return 10;
  rlimit saved{};
  getrlimit(RLIMIT_AS, &saved);
  for (int step = 0; step < 3; ++step) {
    for (int front = 0; front < 2; ++front) {
      const long before = AddressSpaceBytes();
      rlimit tight = saved;
      tight.rlim_cur = static_cast<rlim_t>(before + (4 + 8 * step) * kMiB);
      if (setrlimit(RLIMIT_AS, &tight) != 0) return 11;
      const int result = front ? list.PushFront(big.c_str(), PageEntry, big.c_str(), big.c_str())
                               : list.PushBack(big.c_str(), PageEntry, big.c_str(), big.c_str());
      setrlimit(RLIMIT_AS, &saved);
      if (result != 0) return 20 + step;
      if (list.Count() != 1 || std::strcmp(list.FrontText(), "first") != 0) return 30 + step;
      if (AddressSpaceBytes() - before > kMiB) return 40 + step;  // something was kept
    }
  }
  if (list.PushBack(big.c_str(), PageEntry, big.c_str(), big.c_str()) != 1) return 50;
  return list.Count() == 2 ? 0 : 51;
}

TEST(CNameListDeathTest, FailedAllocationInsertsNothingAndKeepsNothing) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer's shadow memory needs an unlimited address space";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "the sanitizer's shadow memory needs an unlimited address space";
#endif
#endif
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(std::exit(FailingPushesInChild()), ::testing::ExitedWithCode(0), "");
}

}  // namespace
}  // namespace harvelo
