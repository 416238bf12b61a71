#include "sim/sim_foreign_reports.h"

namespace vantor {

SimForeignReport SimKeyboardReport() {
    // Read as a reply payload: command 0x0A (an event) with bits 0x05 in byte 5.
    return {0x01, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x05, 0x04, 0x00};
}

SimForeignReport SimConsumerReport() {
    // Read as a reply payload: command 0x04 (battery) with status 0.
    return {0x03, 0x04, 0x00};
}

SimForeignReport SimShortVendorReport() {
    return {0x09, 0x0A, 0x00, 0x00, 0x00, 0x00, 0x05, 0x02, 0x00, 0x00};
}

std::vector<SimForeignReport> SimForeignReports() {
    return {SimKeyboardReport(), SimConsumerReport(), SimShortVendorReport()};
}

}  // namespace vantor
