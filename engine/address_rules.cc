#include "engine/address_rules.h"

namespace harvelo {
namespace {

constexpr size_t kHttpHostStart = 7;  // just past "http://"

inline bool IsAlpha(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

// Length of the scheme when `text` begins with scheme ":" (letter, then letters, digits,
// '+', '-', '.'), else 0.
size_t SchemeLength(std::string_view text) {
  if (text.empty() || !IsAlpha(text[0])) return 0;
  size_t i = 1;
  while (i < text.size() && (IsAlpha(text[i]) || IsDigit(text[i]) || text[i] == '+' ||
                             text[i] == '-' || text[i] == '.')) {
    ++i;
  }
  return i < text.size() && text[i] == ':' ? i : 0;
}

// True when `text` begins with a scheme followed by "://".
bool BeginsWithSchemeAndSlashes(std::string_view text, size_t* schemeLength = nullptr) {
  const size_t n = SchemeLength(text);
  if (n == 0 || text.substr(n, 3) != "://") return false;
  if (schemeLength != nullptr) *schemeLength = n;
  return true;
}

}  // namespace

size_t HostStart(std::string_view address) {
  size_t scheme = 0;
  if (BeginsWithSchemeAndSlashes(address, &scheme)) return scheme + 3;
  return kHttpHostStart;
}

void Set_Base_And_Site(const std::string& address, std::string& baseAddress,
                       std::string& siteAddress) {
  const size_t query = address.rfind('?');
  baseAddress.assign(address, 0, query);  // npos: the whole address

  const size_t baseHost = HostStart(baseAddress);
  const size_t lastSlash = baseAddress.rfind('/');
  if (lastSlash != std::string::npos && lastSlash >= baseHost) baseAddress.resize(lastSlash);

  const size_t host = HostStart(address);
  const size_t firstSlash = host < address.size() ? address.find('/', host) : std::string::npos;
  siteAddress.assign(address, 0, firstSlash);
}

void Resolve_Reference(std::string_view reference, const std::string& baseAddress,
                       const std::string& siteAddress, std::string& out) {
  if (BeginsWithSchemeAndSlashes(reference)) {
    out.assign(reference);
    return;
  }

  if (reference.size() >= 2 && reference[0] == '/' && reference[1] == '/') {
    // Protocol-relative: the page's own scheme, or http when the base names none.
    const size_t scheme = SchemeLength(baseAddress);
    if (scheme != 0) {
      out.assign(baseAddress, 0, scheme);
    } else {
      out.assign("http");
    }
    out += ':';
    out += reference;
    return;
  }

  // A host written without a scheme ("www.example.com/a.jpg") has two dots or more; a file
  // name alone ("a.jpg", "../a.jpg") has fewer or a dot right after the first.
  const size_t firstDot = reference.find('.');
  if (firstDot != std::string_view::npos &&
      reference.find('.', firstDot + 1) != std::string_view::npos &&
      reference[firstDot + 1] != '.') {
    out.assign(reference);
    return;
  }

  if (!reference.empty() && reference[0] == '/') {
    out.assign(siteAddress);
  } else {
    out.assign(baseAddress);
    out += '/';
  }
  out += reference;
}

std::string Resolve_Reference(const std::string& reference, const std::string& baseAddress,
                              const std::string& siteAddress) {
  std::string out;
  Resolve_Reference(std::string_view(reference), baseAddress, siteAddress, out);
  return out;
}

}  // namespace harvelo
