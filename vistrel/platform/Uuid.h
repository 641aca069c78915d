#pragma once

#include <string>

namespace vistrel::platform {

/// A fresh random (version 4) UUID in canonical upper-case form, with dashes:
/// "6F9619FF-8B86-4D01-B42D-00CF4FC964FF".
std::string randomUuid();

}  // namespace vistrel::platform
