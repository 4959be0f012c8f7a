// Embedded pictures whose address names no file type (image services: "/photo-1500?w=800",
// "/seed/123/800/600", "thumb.php?id=7"): the scan lists them, and the type their
// response's head announces decides whether they are kept and under which extension.
#pragma once
#include <optional>
#include <string>
#include <string_view>

namespace harvelo {

// True when the last segment of the address's path (cut at '?' or '#') has no
// extension, or that of a script that makes pictures (.php, .aspx, .asp, .cgi, .jsp).
// An address of another scheme than http or https ("data:", "about:") never is.
bool NamesNoFileType(std::string_view address);

// The one verdict on a response to such a picture, whichever way it was fetched: the
// extension of its file (lower case, the first of its type's extensions in the target
// types: image/jpeg gives "jpg", or "jpeg" when only JPEG is a target type); "" for a
// response that is not a success (kept to be logged as the HTTP error it is, under the
// name without extension); nullopt when its Content-Type names no target type: not a
// picture, refused before its body.
std::optional<std::string> TypedPictureExtension(int status, std::string_view contentType,
                                                 std::string_view targetTypes);

}  // namespace harvelo
