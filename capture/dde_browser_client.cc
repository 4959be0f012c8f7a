#include "capture/dde_browser_client.h"

#include <cstdio>

#include "settings/quote_file.h"

namespace harvelo {

namespace {

constexpr char kTopic[] = "WWW_GetWindowInfo";
constexpr unsigned kRequestTimeoutMs = 1000;

}  // namespace

CDdeBrowserClient::CDdeBrowserClient(DdeTransport& transport, const std::string& service)
    : transport_(transport), service_(service) {}

CDdeBrowserClient::~CDdeBrowserClient() {
  Uninitialize();
}

void CDdeBrowserClient::Fail(const char* step, std::uint32_t code) {
  last_failure_ = step;
  last_failure_code_ = code;
}

bool CDdeBrowserClient::Initialize() {
  const std::uint32_t rc = transport_.Initialize(instance_);
  if (rc != 0) {
    Fail("DdeInitialize()", rc);
    return false;
  }
  initialised_ = true;
  service_handle_ = transport_.CreateStringHandle(instance_, service_);
  topic_handle_ = transport_.CreateStringHandle(instance_, kTopic);
  if (service_handle_ == 0 || topic_handle_ == 0) {
    Fail("DdeCreateStringHandle()", transport_.GetLastError(instance_));
    Uninitialize();
    return false;
  }
  return true;
}

void CDdeBrowserClient::Uninitialize() {
  if (!initialised_) return;
  if (service_handle_ != 0) {
    transport_.FreeStringHandle(instance_, service_handle_);
    service_handle_ = 0;
  }
  if (topic_handle_ != 0) {
    transport_.FreeStringHandle(instance_, topic_handle_);
    topic_handle_ = 0;
  }
  transport_.Uninitialize(instance_);
  initialised_ = false;
}

std::string CDdeBrowserClient::ItemName(std::uint32_t windowId) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%lX", static_cast<unsigned long>(windowId));
  return text;
}

void CDdeBrowserClient::ParseReply(const std::string& s, std::string& address, std::string& title) {
  address.clear();
  title.clear();
  if (s.find(',') == std::string::npos) return;
  // Both values are quoted fields; read with their quotes, an address keeps its commas.
  QuoteFile reply;
  reply.OpenMemory(s);
  if (s.front() == '"') reply.ReadField(address);
  reply.ReadField(title);
}

bool CDdeBrowserClient::GetWindowInfo(std::string& address, std::string& title,
                                      std::uint32_t windowId) {
  if (!initialised_) Initialize();
  if (!initialised_) return false;

  const DdeHandle conversation = transport_.Connect(instance_, service_handle_, topic_handle_);
  if (conversation == 0) {
    Fail("DdeConnect(,,WWW_GetWindowInfo,)", transport_.GetLastError(instance_));
    return false;
  }
  const DdeHandle item = transport_.CreateStringHandle(instance_, ItemName(windowId));
  if (item == 0) {
    Fail("DdeCreateStringHandle(,str_temp,)", transport_.GetLastError(instance_));
    transport_.Disconnect(conversation);
    return false;
  }
  const DdeHandle data = transport_.Request(conversation, item, kCfText, kRequestTimeoutMs);
  transport_.FreeStringHandle(instance_, item);
  if (data == 0) {
    Fail("DdeClientTransaction(,,,WWW_GetWindowInfo,,,,)", transport_.GetLastError(instance_));
    transport_.Disconnect(conversation);
    return false;
  }
  std::string reply;
  if (!transport_.AccessData(data, reply)) {
    Fail("DdeAccessData()", transport_.GetLastError(instance_));
    transport_.FreeDataHandle(data);
    transport_.Disconnect(conversation);
    return false;
  }
  ParseReply(reply, address, title);
  transport_.UnaccessData(data);
  transport_.FreeDataHandle(data);
  transport_.Disconnect(conversation);
  return true;
}

}  // namespace harvelo
