#include "app/config/button_label_context.h"

#include "app/config/config.h"
#include "profile/sensor_tables.h"

namespace vantor {

ButtonLabelContext::ButtonLabelContext(const MacroList& macros) {
    const KeyLayers& layers = DefaultKeyMatrix();
    for (int s = 0; s < kKeySets; ++s) {
        for (int b = 0; b < kKeysPerSet; ++b) {
            defaults_[s][b] = layers[static_cast<std::size_t>(s)][static_cast<std::size_t>(b)];
        }
    }
    const AppOptions& options = Options();
    const DeviceSection& section = CurrentDevice();
    context_.comboName1 = static_cast<std::uint32_t>(options.ComboName[0]);
    context_.comboName2 = static_cast<std::uint32_t>(options.ComboName[1]);
    for (std::size_t i = 0; i < context_.exKeys.size(); ++i) {
        context_.exKeys[i] = static_cast<std::uint32_t>(section.ExKey[i]);
    }
    context_.dpiAtStep = [sensor = static_cast<std::uint32_t>(section.Sensor)](std::uint32_t step) {
        return step <= static_cast<std::uint32_t>(kMaxSensorSteps)
                   ? DpiAtStep(sensor, static_cast<int>(step))
                   : -1;
    };
    context_.defaultKeys = &defaults_;
    context_.macros = &macros;
}

}  // namespace vantor
