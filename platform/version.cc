#include "platform/version.h"

namespace harvelo {

// HARVELO_VERSION is defined for this file alone, so a new version rebuilds only it.
const char* const kProgramVersion = HARVELO_VERSION;

}  // namespace harvelo
