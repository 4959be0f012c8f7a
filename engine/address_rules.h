// How references on a page become absolute addresses.
#pragma once
#include <string>

namespace harvelo {

// base: the address without its query, cut before its last '/' past the scheme's "://";
// site: scheme and host.
void Set_Base_And_Site(const std::string& address, std::string& baseAddress,
                       std::string& siteAddress);

// A complete reference is returned as it is; one that begins with '/' is put after the
// site; any other after the base and a '/'.
std::string Resolve_Reference(const std::string& reference, const std::string& baseAddress,
                              const std::string& siteAddress);

}  // namespace harvelo
