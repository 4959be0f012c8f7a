// CNameList: a doubly linked list of addresses with an optional cookie and referrer,
// owning copies of all its strings, consumed from the head, without duplicate detection.
#pragma once
#include <memory>

namespace harvelo {

// TypedPictureEntry: an embedded picture whose address names no file type; its
// response's Content-Type decides (engine/picture_types.h).
enum EntryKind : int {
  ResourceEntry = 0,
  PageEntry = 1,
  LinkedPageEntry = 2,
  TypedPictureEntry = 3
};

class CNameList {
 public:
  CNameList() = default;
  ~CNameList();
  CNameList(const CNameList&) = delete;
  CNameList& operator=(const CNameList&) = delete;

  // Append at the tail / insert at the head. A null cookie or referrer stays null.
  // 1 on success, 0 when memory can't be had (nothing is inserted then).
  int PushBack(const char* text, int kind, const char* cookie = nullptr,
               const char* referrer = nullptr);
  int PushFront(const char* text, int kind, const char* cookie = nullptr,
                const char* referrer = nullptr);

  // The head entry: null (0 for the kind) when the list is empty.
  const char* FrontText() const;
  int FrontKind() const;
  const char* FrontCookie() const;
  const char* FrontReferrer() const;

  int Count() const { return count_; }

  // Reads the entries from the head on, without changing the list, while `visit`
  // (text, kind, cookie, referrer) returns true.
  template <class Visit>
  void Walk(Visit visit) const {
    for (const NameEntry* e = head_.get(); e != nullptr; e = e->next.get()) {
      if (!visit(e->text, e->kind, e->cookie, e->referrer)) return;
    }
  }
  int PopFront();  // 1, or 0 on an empty list
  void Clear();

 private:
  struct NameEntry {
    // text, cookie and referrer, each zero-terminated, in one block: a list of a hundred
    // thousand image addresses costs one small allocation per string less.
    std::unique_ptr<char[]> storage;
    const char* text = nullptr;      // never null
    const char* cookie = nullptr;    // null when none was given
    const char* referrer = nullptr;  // null when none was given
    int kind = ResourceEntry;
    std::unique_ptr<NameEntry> next;  // towards the tail; each entry owns the next one
    NameEntry* prev = nullptr;        // towards the head
  };
  static std::unique_ptr<NameEntry> MakeEntry(const char* text, int kind, const char* cookie,
                                              const char* referrer);

  std::unique_ptr<NameEntry> head_;
  NameEntry* tail_ = nullptr;
  int count_ = 0;
};

}  // namespace harvelo
