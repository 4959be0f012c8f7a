// The fixed Spanish texts of a failed call, by wrapper, operation and kind of failure.
#pragma once
#include <string>

namespace harvelo::inspector {

// "COleException": the call could not be carried (connection failed, broke or timed
// out). "COleDispatchException": the browser answered with an error of its own.
enum class FailureKind { kOleException, kDispatchException };

// "Error de conexión con <wrapper>:\n\n\"<operation>()\" lanzó una \"<kind>\": ".
std::string ErrorText(const std::string& wrapper, const std::string& operation, FailureKind kind);

}  // namespace harvelo::inspector
