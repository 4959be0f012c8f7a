// Answers Navigator's DDE request for the last active window from Firefox, Navigator's
// descendant: services "NETSCAPE" and "NETSCAPE6", topic "WWW_GetWindowInfo", item
// "0xFFFFFFFF", answered from the default profile's session store with
// "\"address\",\"title\"", each a quoted field (QuotedField). No profile or no session store: no
// conversation. A reply not ready within the request's time-out: no data.
#pragma once
#include <cstdint>
#include <map>
#include <string>

#include "capture/dde_transport.h"

namespace harvelo {

class FirefoxDdeTransport : public DdeTransport {
 public:
  // `firefoxDir` holds profiles.ini (FirefoxDirectory() for the user's own).
  explicit FirefoxDdeTransport(std::string firefoxDir);

  std::uint32_t Initialize(std::uint32_t& instance) override;
  void Uninitialize(std::uint32_t instance) override;
  DdeHandle CreateStringHandle(std::uint32_t instance, const std::string& text) override;
  void FreeStringHandle(std::uint32_t instance, DdeHandle handle) override;
  DdeHandle Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) override;
  void Disconnect(DdeHandle conversation) override;
  DdeHandle Request(DdeHandle conversation, DdeHandle item, unsigned format,
                    unsigned timeoutMs) override;
  bool AccessData(DdeHandle data, std::string& bytes) override;
  void UnaccessData(DdeHandle) override {}
  void FreeDataHandle(DdeHandle data) override;
  std::uint32_t GetLastError(std::uint32_t) override { return last_error_; }

 private:
  DdeHandle Add(std::map<DdeHandle, std::string>& table, std::string value);
  std::string Text(DdeHandle handle) const;

  std::string firefox_dir_;
  bool initialised_ = false;
  std::uint32_t last_error_ = 0;
  DdeHandle next_handle_ = 1;
  std::map<DdeHandle, std::string> strings_;
  std::map<DdeHandle, std::string> conversations_;  // -> the profile directory
  std::map<DdeHandle, std::string> data_;
};

}  // namespace harvelo
