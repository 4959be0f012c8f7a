// How a downloaded resource is named in the destination directory: the file prefix, a
// running three-digit number and the extension taken from the resource's address.
#pragma once
#include <string>

namespace harvelo {

// The extension of a resource address: everything after its last '.', as written (case
// kept), up to the first '?' or '#' (a query or fragment is not part of an extension).
// Empty when the address has no '.'.
std::string ResourceExtension(const std::string& address);

// False when the extension can't be part of a file name in the destination directory:
// it holds a path separator, a character that Windows file systems refuse
// (\ / : * ? " < > |) or a control character. Such a resource is never written.
bool IsStorableExtension(const std::string& extension);

// dir + prefix + NNN + "." + extension, NNN being number printed with "%03d".
std::string ResourceFileName(const std::string& dir, const std::string& prefix, int number,
                             const std::string& extension);

// dir + prefix + NNN: a resource's file name without its extension.
std::string ResourceStem(const std::string& dir, const std::string& prefix, int number);

// ResourceFileName, or when that file exists and is not empty, the first of
// dir + prefix + NNN + "_" + MM + "." + extension (MM "%02d" from 2 upwards) that does
// not exist or is empty. An empty file counts as free and is overwritten.
std::string ChooseResourceFileName(const std::string& dir, const std::string& prefix, int number,
                                   const std::string& extension);

// stem + "." + extension, or when a file of any kind (even an empty one, or a
// symbolic link) holds that name, the first of stem + "_" + MM + "." + extension (MM
// "%02d" from 2 upwards) that none holds. For names a run must not take from anyone:
// the page copy, and a resource's name found taken by another run meanwhile.
std::string FirstUnusedName(const std::string& stem, const std::string& extension);

}  // namespace harvelo
