#include "engine/name_list.h"

#include <new>

namespace harvelo {

CNameList::~CNameList() {
  Clear();
}

std::unique_ptr<CNameList::NameEntry> CNameList::MakeEntry(const char* text, int kind,
                                                           const char* cookie,
                                                           const char* referrer) {
  // Any copy that can't be had drops the whole entry; the unique_ptr frees what was made.
  try {
    std::unique_ptr<NameEntry> entry(new (std::nothrow) NameEntry);
    if (entry == nullptr) return nullptr;
    entry->text = text != nullptr ? text : "";
    if (cookie != nullptr) entry->cookie.emplace(cookie);
    if (referrer != nullptr) entry->referrer.emplace(referrer);
    entry->kind = kind;
    return entry;
  } catch (const std::bad_alloc&) {
    return nullptr;
  } catch (const std::length_error&) {
    return nullptr;
  }
}

int CNameList::PushBack(const char* text, int kind, const char* cookie, const char* referrer) {
  std::unique_ptr<NameEntry> entry = MakeEntry(text, kind, cookie, referrer);
  if (entry == nullptr) return 0;
  NameEntry* raw = entry.get();
  raw->prev = tail_;
  if (tail_ != nullptr) {
    tail_->next = std::move(entry);
  } else {
    head_ = std::move(entry);
  }
  tail_ = raw;
  ++count_;
  return 1;
}

int CNameList::PushFront(const char* text, int kind, const char* cookie, const char* referrer) {
  std::unique_ptr<NameEntry> entry = MakeEntry(text, kind, cookie, referrer);
  if (entry == nullptr) return 0;
  if (head_ != nullptr) {
    head_->prev = entry.get();
  } else {
    tail_ = entry.get();
  }
  entry->next = std::move(head_);
  head_ = std::move(entry);
  ++count_;
  return 1;
}

const char* CNameList::FrontText() const {
  return head_ ? head_->text.c_str() : nullptr;
}

int CNameList::FrontKind() const {
  return head_ ? head_->kind : 0;
}

const char* CNameList::FrontCookie() const {
  return head_ && head_->cookie ? head_->cookie->c_str() : nullptr;
}

const char* CNameList::FrontReferrer() const {
  return head_ && head_->referrer ? head_->referrer->c_str() : nullptr;
}

int CNameList::PopFront() {
  if (head_ == nullptr) return 0;
  std::unique_ptr<NameEntry> old = std::move(head_);
  head_ = std::move(old->next);
  if (head_ != nullptr) {
    head_->prev = nullptr;
  } else {
    tail_ = nullptr;
  }
  --count_;
  return 1;
}

void CNameList::Clear() {
  // One entry at a time: letting the chain of owners unwind would recurse once per entry.
  while (PopFront() != 0) {
  }
}

}  // namespace harvelo
