// vantorctl list: the HID interfaces of the configured vendor and the mouse they lead to.
#include <cstdio>

#include "app/config/config.h"
#include "tools/vantorctl/session.h"

namespace vantor::cli {
namespace {

std::string InterfaceLine(const HidInterfaceInfo& info) {
    char line[160];
    std::snprintf(line, sizeof line,
                  " vid %04x pid %04x usage %04x/%04x report lengths in %u out %u feature %u",
                  info.vendorId, info.productId, info.usagePage, info.usage,
                  info.inputReportByteLength, info.outputReportByteLength,
                  info.featureReportByteLength);
    return "interface " + info.path + line;
}

Json InterfaceJson(const HidInterfaceInfo& info) {
    return Json::Object()
        .Set("path", Json::String(info.path))
        .Set("vendorId", Json::Number(info.vendorId))
        .Set("productId", Json::Number(info.productId))
        .Set("usagePage", Json::Number(info.usagePage))
        .Set("usage", Json::Number(info.usage))
        .Set("inputLength", Json::Number(info.inputReportByteLength))
        .Set("outputLength", Json::Number(info.outputReportByteLength))
        .Set("featureLength", Json::Number(info.featureReportByteLength));
}

}  // namespace

int RunList(Context& context) {
    if (!context.args.empty()) return UsageError("usage: vantorctl list");
    CliSession session(context);
    if (int result = session.OpenBackend(); result != kExitOk) return session.Close(result);

    Json interfaces = Json::Array();
    for (const HidInterfaceInfo& info : session.Backend().Enumerate()) {
        if (info.vendorId != Options().VID) continue;
        if (context.options.json) {
            interfaces.Push(InterfaceJson(info));
        } else {
            Print(context, InterfaceLine(info));
        }
    }
    Json json = Json::Object().Set("interfaces", interfaces);
    const int connected = session.Connect();
    if (connected == kExitOk) {
        const DevParam& device = *session.Device();
        const std::string section = "DEV_" + std::to_string(CurrentDeviceIndex() + 1);
        if (context.options.json) {
            json.Set("matched", Json::Object()
                                    .Set("command", Json::String(device.cmdPath))
                                    .Set("notify", Json::String(device.notifyPath))
                                    .Set("productId", Json::Number(device.PID))
                                    .Set("cid", Json::Number(device.CID))
                                    .Set("mid", Json::Number(device.MID))
                                    .Set("section", Json::String(section)));
        } else {
            Print(context, "matched " + device.cmdPath + " + " + device.notifyPath + " cid " +
                               Hex(device.CID, 2) + " mid " + Hex(device.MID, 2) + " section " +
                               section);
        }
    }
    if (context.options.json) PrintJson(json);
    return session.Close(connected);
}

}  // namespace vantor::cli
