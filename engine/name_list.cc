#include "engine/name_list.h"

#include <cstring>
#include <new>

namespace harvelo {

CNameList::~CNameList() {
  Clear();
}

std::unique_ptr<CNameList::NameEntry> CNameList::MakeEntry(const char* text, int kind,
                                                           const char* cookie,
                                                           const char* referrer) {
  if (text == nullptr) text = "";
  const size_t textSize = std::strlen(text) + 1;
  const size_t cookieSize = cookie != nullptr ? std::strlen(cookie) + 1 : 0;
  const size_t referrerSize = referrer != nullptr ? std::strlen(referrer) + 1 : 0;

  // Either allocation failing drops the entry; the unique_ptrs free whatever was had.
  std::unique_ptr<NameEntry> entry(new (std::nothrow) NameEntry);
  if (entry == nullptr) return nullptr;
  entry->storage.reset(new (std::nothrow) char[textSize + cookieSize + referrerSize]);
  if (entry->storage == nullptr) return nullptr;

  char* at = entry->storage.get();
  std::memcpy(at, text, textSize);
  entry->text = at;
  at += textSize;
  if (cookie != nullptr) {
    std::memcpy(at, cookie, cookieSize);
    entry->cookie = at;
    at += cookieSize;
  }
  if (referrer != nullptr) {
    std::memcpy(at, referrer, referrerSize);
    entry->referrer = at;
  }
  entry->kind = kind;
  return entry;
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
  return head_ ? head_->text : nullptr;
}

int CNameList::FrontKind() const {
  return head_ ? head_->kind : 0;
}

const char* CNameList::FrontCookie() const {
  return head_ ? head_->cookie : nullptr;
}

const char* CNameList::FrontReferrer() const {
  return head_ ? head_->referrer : nullptr;
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
