// How references on a page become absolute addresses.
#pragma once
#include <string>
#include <string_view>

namespace harvelo {

// Where the host part begins: just past "://" when the address begins with a scheme and
// "://", else 7 (where it stands in an "http://" address). 0 is never returned.
size_t HostStart(std::string_view address);

// base: the address without its query, cut before its last '/' past the scheme's "://";
// site: scheme and host.
void Set_Base_And_Site(const std::string& address, std::string& baseAddress,
                       std::string& siteAddress);

// A complete reference is returned as it is; one that begins with "//" takes the base's
// scheme; one that begins with '/' is put after the site; any other after the base and a '/'.
std::string Resolve_Reference(const std::string& reference, const std::string& baseAddress,
                              const std::string& siteAddress);
// The same into `out`, whose storage is reused from one reference to the next.
void Resolve_Reference(std::string_view reference, const std::string& baseAddress,
                       const std::string& siteAddress, std::string& out);

}  // namespace harvelo
