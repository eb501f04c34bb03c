#pragma once

#include <optional>
#include <string_view>

namespace ovira {

/// The request methods the HTTP client can send. `delete_` stands for DELETE
/// (a C++ keyword).
enum class EKYCHTTPMethod { get, put, post, patch, delete_, head, options, trace, connect };

/// "GET", "PUT", ...: the text that goes on the request line.
std::string_view rawValue(EKYCHTTPMethod method);

/// Exactly the nine upper-case names; anything else (including "get") yields nothing.
std::optional<EKYCHTTPMethod> EKYCHTTPMethodFromRawValue(std::string_view rawValue);

}  // namespace ovira
