#include "app/session/mouse_connection.h"

namespace vantor {

MouseConnection ConnectionAfterSearch(int candidates, bool accessDenied) {
    // A receiver that answered counts before a node that could not be opened: the mouse
    // is then only switched off, and another interface of the vendor (a keyboard of the
    // same maker) may well stay closed to this user.
    if (candidates > 0) return MouseConnection::kMouseOff;
    if (accessDenied) return MouseConnection::kNoPermission;
    return MouseConnection::kNoReceiver;
}

const char* ConnectionTextKey(MouseConnection connection) {
    switch (connection) {
        case MouseConnection::kNoReceiver:
            return "tc_nomouse";
        case MouseConnection::kMouseOff:
            return "tc_mouseoff";
        case MouseConnection::kNoPermission:
            return "tc_noaccess";
        case MouseConnection::kUnknown:
        case MouseConnection::kConnected:
            break;
    }
    return nullptr;
}

bool MouseControlsEnabled(MouseConnection connection, bool goWithNoDev) {
    if (goWithNoDev) return true;
    return connection == MouseConnection::kConnected || connection == MouseConnection::kUnknown;
}

}  // namespace vantor
