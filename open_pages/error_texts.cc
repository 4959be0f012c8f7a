#include "open_pages/error_texts.h"

namespace harvelo::inspector {

std::string ErrorText(const std::string& wrapper, const std::string& operation, FailureKind kind) {
  const char* kind_name =
      kind == FailureKind::kOleException ? "COleException" : "COleDispatchException";
  return "Error de conexión con " + wrapper + ":\n\n\"" + operation + "()\" lanzó una \"" +
         kind_name + "\": ";
}

}  // namespace harvelo::inspector
