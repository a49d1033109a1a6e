#pragma once
// The machine's clock, for whoever has no server date of its own.
#include "base/Value.h"

namespace tesmira {

// Local date and time to the second.
Date localNow();

} // namespace tesmira
