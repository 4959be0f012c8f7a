#include "capture/firefox_dde_transport.h"

#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "capture/firefox_profile.h"
#include "capture/firefox_session.h"
#include "settings/quoted_field.h"

namespace harvelo {

namespace {

// What the reading thread hands back; shared, so that a reader that outlives its
// deadline writes into memory that still exists.
struct PendingReply {
  std::mutex mutex;
  std::condition_variable done_cv;
  bool done = false;
  bool found = false;
  SessionPage page;
  // Set when the request gave up waiting: the reader stops at its next step instead of
  // going on to expand and parse a store nobody will look at.
  std::atomic<bool> stop{false};
};

}  // namespace

FirefoxDdeTransport::FirefoxDdeTransport(std::string firefoxDir)
    : firefox_dir_(std::move(firefoxDir)) {}

DdeHandle FirefoxDdeTransport::Add(std::map<DdeHandle, std::string>& table, std::string value) {
  const DdeHandle handle = next_handle_++;
  table[handle] = std::move(value);
  return handle;
}

std::string FirefoxDdeTransport::Text(DdeHandle handle) const {
  const auto it = strings_.find(handle);
  return it == strings_.end() ? "" : it->second;
}

std::uint32_t FirefoxDdeTransport::Initialize(std::uint32_t& instance) {
  if (initialised_) return kDmlErrDllUsage;
  initialised_ = true;
  instance = 1;
  return 0;
}

void FirefoxDdeTransport::Uninitialize(std::uint32_t) {
  initialised_ = false;
  strings_.clear();
  conversations_.clear();
  data_.clear();
}

DdeHandle FirefoxDdeTransport::CreateStringHandle(std::uint32_t, const std::string& text) {
  if (!initialised_) {
    last_error_ = kDmlErrInvalidParameter;
    return 0;
  }
  return Add(strings_, text);
}

void FirefoxDdeTransport::FreeStringHandle(std::uint32_t, DdeHandle handle) {
  strings_.erase(handle);
}

DdeHandle FirefoxDdeTransport::Connect(std::uint32_t, DdeHandle service, DdeHandle topic) {
  const std::string name = Text(service);
  last_error_ = kDmlErrNoConvEstablished;
  if ((name != "NETSCAPE" && name != "NETSCAPE6") || Text(topic) != "WWW_GetWindowInfo") return 0;
  const std::string dir = firefox_dir_.empty() ? "" : DefaultFirefoxProfile(firefox_dir_);
  struct stat info {};
  if (dir.empty() || ::stat((dir + "sessionstore-backups/recovery.jsonlz4").c_str(), &info) != 0) {
    return 0;
  }
  last_error_ = 0;
  return Add(conversations_, dir);
}

void FirefoxDdeTransport::Disconnect(DdeHandle conversation) {
  conversations_.erase(conversation);
}

DdeHandle FirefoxDdeTransport::Request(DdeHandle conversation, DdeHandle item, unsigned format,
                                       unsigned timeoutMs) {
  const auto it = conversations_.find(conversation);
  // The session store knows the front window only, which is what 0xFFFFFFFF asks for.
  if (it == conversations_.end() || format != kCfText || Text(item) != "0xFFFFFFFF") {
    last_error_ = kDmlErrNotProcessed;
    return 0;
  }
  auto pending = std::make_shared<PendingReply>();
  std::thread([pending, dir = it->second] {
    SessionPage page;
    const bool found = ReadCurrentPage(dir, page, &pending->stop);
    std::lock_guard lock(pending->mutex);
    pending->found = found;
    pending->page = std::move(page);
    pending->done = true;
    pending->done_cv.notify_one();
  }).detach();
  std::unique_lock lock(pending->mutex);
  if (!pending->done_cv.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                 [&] { return pending->done; })) {
    pending->stop = true;
    last_error_ = kDmlErrDataAckTimeout;
    return 0;
  }
  if (!pending->found) {
    last_error_ = kDmlErrNotProcessed;
    return 0;
  }
  return Add(data_, QuotedField(pending->page.url) + "," + QuotedField(pending->page.title));
}

bool FirefoxDdeTransport::AccessData(DdeHandle data, std::string& bytes) {
  const auto it = data_.find(data);
  if (it == data_.end()) {
    last_error_ = kDmlErrInvalidParameter;
    return false;
  }
  // CF_TEXT ends at its first zero byte.
  bytes = it->second.substr(0, it->second.find('\0'));
  return true;
}

void FirefoxDdeTransport::FreeDataHandle(DdeHandle data) {
  data_.erase(data);
}

}  // namespace harvelo
