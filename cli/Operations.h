#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "vistrel/platform/PlatformImage.h"

namespace vistrel::cli {

/// The kind of one argument of an operation.
enum class ArgKind { text, optionalText, image, bytes, real, integer, boolean };

std::string_view kindName(ArgKind kind);

struct Param {
  std::string name;
  ArgKind kind;
};

/// An argument after conversion: absent, a text, a number, a boolean, an image or bytes.
using ArgValue = std::variant<std::monostate, std::string, double, std::int64_t, bool,
                              platform::ImagePtr, platform::Bytes>;

/// The converted arguments of one request, read by position.
class Arguments {
 public:
  explicit Arguments(std::vector<ArgValue> values) : values_(std::move(values)) {}
  const std::string& text(std::size_t i) const;
  std::optional<std::string> optionalText(std::size_t i) const;
  platform::ImagePtr image(std::size_t i) const;
  std::optional<platform::Bytes> bytes(std::size_t i) const;
  double real(std::size_t i) const;
  std::int64_t integer(std::size_t i) const;
  bool boolean(std::size_t i) const;

 private:
  std::vector<ArgValue> values_;
};

/// What an operation answers: a text, a boolean, nothing (absent), an image or bytes.
using Result = std::variant<std::string, bool, std::monostate, platform::ImagePtr, platform::Bytes>;

struct Operation {
  std::string name;
  std::vector<Param> params;
  std::string summary;
  std::function<Result(const Arguments&)> run;
};

/// Every operation the host can call, by name.
const std::map<std::string, Operation, std::less<>>& operations();

}  // namespace vistrel::cli
