// The conversation services CDdeBrowserClient needs, in the shape of the DDE management
// library: an instance, string handles, a conversation, one request transaction and its
// data. A transport carries them to a browser; handles are opaque non-zero numbers, 0
// is none.
#pragma once
#include <cstdint>
#include <string>

namespace harvelo {

using DdeHandle = std::uintptr_t;

// Error codes of the DDE management library that transports report.
inline constexpr std::uint32_t kDmlErrDataAckTimeout = 0x4002;
inline constexpr std::uint32_t kDmlErrDllUsage = 0x4004;
inline constexpr std::uint32_t kDmlErrInvalidParameter = 0x4006;
inline constexpr std::uint32_t kDmlErrNoConvEstablished = 0x400A;
inline constexpr std::uint32_t kDmlErrNotProcessed = 0x4009;
inline constexpr std::uint32_t kDmlErrSysError = 0x400F;

inline constexpr unsigned kCfText = 1;

class DdeTransport {
 public:
  virtual ~DdeTransport() = default;
  // Creates a client instance: 0 (and the instance id) or an error code.
  virtual std::uint32_t Initialize(std::uint32_t& instance) = 0;
  virtual void Uninitialize(std::uint32_t instance) = 0;
  virtual DdeHandle CreateStringHandle(std::uint32_t instance, const std::string& text) = 0;
  virtual void FreeStringHandle(std::uint32_t instance, DdeHandle handle) = 0;
  // A conversation with `service` on `topic`, or 0.
  virtual DdeHandle Connect(std::uint32_t instance, DdeHandle service, DdeHandle topic) = 0;
  virtual void Disconnect(DdeHandle conversation) = 0;
  // One synchronous request for `item` in `format`: the data handle, or 0 (time-out
  // included) when no data came back within timeoutMs.
  virtual DdeHandle Request(DdeHandle conversation, DdeHandle item, unsigned format,
                            unsigned timeoutMs) = 0;
  // The data's bytes up to its terminating zero byte; false when it cannot be reached.
  virtual bool AccessData(DdeHandle data, std::string& bytes) = 0;
  virtual void UnaccessData(DdeHandle data) = 0;
  virtual void FreeDataHandle(DdeHandle data) = 0;
  virtual std::uint32_t GetLastError(std::uint32_t instance) = 0;
};

}  // namespace harvelo
