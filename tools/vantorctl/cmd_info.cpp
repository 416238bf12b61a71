// vantorctl info: identity, firmware version, battery and active profile of the mouse.
#include <cstdio>

#include "app/config/config.h"
#include "tools/vantorctl/record_view.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {

int RunInfo(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl info");
    CliSession session(context);
    if (int result = ConnectOrClose(session); result != kExitOk) return result;
    CUSBDriver& driver = session.Driver();
    std::uint8_t battery = 0;
    std::uint8_t charging = 0;
    const bool wireless = CurrentModelSettings().battery;
    const bool power = wireless && driver.GetPower(&battery, &charging) == 1 && battery <= 100;
    const int profile = driver.GetCurProfile();
    char version[16];
    std::snprintf(version, sizeof version, "%u.%02x", driver.nVersion >> 8u,
                  driver.nVersion & 0xFFu);
    const std::string section = "DEV_" + std::to_string(CurrentDeviceIndex() + 1);
    // The model's name; a section without one is shown by the program's title.
    const std::string product =
        CurrentDevice().Name.empty() ? context.startup.title : CurrentDevice().Name;

    if (context.options.json) {
        Json json = Json::Object()
                        .Set("vendorId", Json::Number(driver.nVID))
                        .Set("productId", Json::Number(driver.nPID))
                        .Set("cid", Json::Number(driver.nCID))
                        .Set("mid", Json::Number(driver.nMID))
                        .Set("section", Json::String(section))
                        .Set("product", Json::String(product))
                        .Set("firmware", Json::String(version))
                        .Set("activeProfile", Json::Number(profile < 0 ? 0 : profile + 1));
        if (power) {
            json.Set("battery", Json::Number(battery)).Set("charging", Json::Bool(charging != 0));
        }
        PrintJson(json);
    } else {
        Print(context, "vendor id: " + Hex(driver.nVID, 4));
        Print(context, "product id: " + Hex(driver.nPID, 4));
        Print(context, "customer id: " + Hex(driver.nCID, 2));
        Print(context, "model id: " + Hex(driver.nMID, 2));
        Print(context, "device section: " + section);
        Print(context, "product: " + product);
        Print(context, std::string("firmware version: ") + version);
        if (wireless) {
            Print(context, "battery: " + (power ? std::to_string(battery) + " %" : "unknown"));
            Print(context, std::string("charging: ") + (!power     ? "unknown"
                                                        : charging ? "yes"
                                                                   : "no"));
        }
        Print(context, "active profile: " +
                           (profile < 0 ? std::string("unknown") : std::to_string(profile + 1)));
    }
    return session.Close(kExitOk);
}

}  // namespace vantor::cli
