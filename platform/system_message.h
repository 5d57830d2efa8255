// The system's wording of an error code (what FormatMessage gives on
// Windows): errno values from strerror, resolver codes from gai_strerror.
#pragma once

#include <string>

namespace platform {

// Positive codes are errno values, negative ones resolver (EAI_*) codes.
// False, with text emptied, for a code the system has no text for.
bool SystemErrorMessage(int code, std::string& text);

}  // namespace platform
