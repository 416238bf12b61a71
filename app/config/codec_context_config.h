// The codec context of a device section, taken from the configuration as loaded.
#pragma once

#include "profile/codec_context.h"

namespace vantor {

// The context of the current device section and options of the configuration.
CodecContext CurrentCodecContext();
// The same for device section `deviceIndex` (0-29).
CodecContext CodecContextForDevice(int deviceIndex);

}  // namespace vantor
