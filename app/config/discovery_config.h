// The device search's view of the configuration as loaded.
#pragma once

#include "device/discovery.h"

namespace vantor {

// VID, PID and PID2 of section OPT, the customer and model ids of every device section, and
// the selection of the matched device's section.
DiscoveryConfig DiscoveryConfigFromOptions();

}  // namespace vantor
