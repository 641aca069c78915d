#pragma once

#include <functional>
#include <string_view>

namespace vistrel::platform {

/// Receives one diagnostic line (without its line break).
using LineSink = std::function<void(std::string_view)>;

/// Writes one notice line of the library: by default to standard output.
void logOut(std::string_view line);

/// Writes one diagnostic line of the native engine: by default to standard error.
void logErr(std::string_view line);

/// Redirects the notice lines of `logOut`; an empty sink restores standard output.
/// The host command sends them to standard error so that standard output carries only responses.
void setOutSink(LineSink sink);

/// Redirects the lines of `logErr`; an empty sink restores standard error.
void setErrSink(LineSink sink);

}  // namespace vistrel::platform
