// Asks a running browser for the address and title of one of its windows over a DDE
// conversation (topic "WWW_GetWindowInfo" of Navigator's published interface). One
// client lives for one capture; it shows nothing, and records the failed step.
#pragma once
#include <cstdint>
#include <string>

#include "capture/dde_transport.h"

namespace harvelo {

class CDdeBrowserClient {
 public:
  // `service`: "NETSCAPE" (Navigator 4) or "NETSCAPE6". No call is made yet.
  CDdeBrowserClient(DdeTransport& transport, const std::string& service);
  ~CDdeBrowserClient();
  CDdeBrowserClient(const CDdeBrowserClient&) = delete;
  CDdeBrowserClient& operator=(const CDdeBrowserClient&) = delete;

  bool Initialize();
  void Uninitialize();
  // One request for window `windowId` (0xFFFFFFFF: the last active one). True on
  // success, also when the reply has no comma (address and title then empty).
  bool GetWindowInfo(std::string& address, std::string& title, std::uint32_t windowId);

  // The step that failed last (one of the literal step names) and its code.
  const char* lastFailure() const { return last_failure_; }
  std::uint32_t lastFailureCode() const { return last_failure_code_; }
  bool initialised() const { return initialised_; }

  // Reads a reply "\"address\",\"title\"": two quoted fields (a doubled quote inside
  // one stands for a quote). A reply without a comma gives two empty values.
  static void ParseReply(const std::string& reply, std::string& address, std::string& title);
  // The request's item name: "0x%lX" of the window id.
  static std::string ItemName(std::uint32_t windowId);

 private:
  void Fail(const char* step, std::uint32_t code);

  DdeTransport& transport_;
  const char* last_failure_ = nullptr;
  std::uint32_t last_failure_code_ = 0;
  bool initialised_ = false;
  std::uint32_t instance_ = 0;
  std::string service_;
  DdeHandle service_handle_ = 0;
  DdeHandle topic_handle_ = 0;
};

}  // namespace harvelo
