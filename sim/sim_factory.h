// The factory state of the simulated mice: the device memory each model leaves the
// factory with, written out byte for byte as the mouse holds it, and a firmware built
// from it. The models are those of the shipped configuration: model 0 is the wireless
// mouse of DEV_1, model 1 the wired mouse of DEV_2.
#pragma once

#include <cstdint>
#include <memory>

#include "sim/sim_firmware.h"

namespace vantor {

constexpr int kSimModelCount = 2;

struct SimModel {
    std::uint8_t cid = 0;
    std::uint8_t mid = 0;
    std::uint16_t sensor = 0;
};

bool IsSimModel(int model);
// The identity of `model`; zeros for a model that does not exist.
SimModel SimModelOf(int model);

// The memory of every profile of `model` as it leaves the factory; all zero for a model
// that does not exist.
SimProfileImage SimFactoryImage(int model);

// A firmware with that image in all four profiles and the model's identity and sensor;
// null for a model that does not exist.
std::shared_ptr<SimFirmware> MakeSimFirmware(int model);

}  // namespace vantor
