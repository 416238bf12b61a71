// Whether the window can reach the mouse, and what it tells the user when it cannot.
#pragma once

namespace vantor {

enum class MouseConnection {
    kUnknown,       // the first search has not landed yet
    kConnected,     // a mouse is open
    kNoReceiver,    // no receiver or cable of the configured ids is plugged in
    kMouseOff,      // the receiver is there but no mouse answers through it
    kNoPermission,  // the receiver is there but this user may not open it
};

// What a search that found no mouse to open says: `candidates` is the number of receivers
// (or cables) that answered the probe, `accessDenied` whether one could not be opened.
MouseConnection ConnectionAfterSearch(int candidates, bool accessDenied);

// The language text that tells the user what to do; null while connected or unknown.
const char* ConnectionTextKey(MouseConnection connection);

// Whether controls that write to the mouse take changes: while connected, and with
// GoWithNoDev (the program then keeps changes in the profile store alone).
bool MouseControlsEnabled(MouseConnection connection, bool goWithNoDev);

}  // namespace vantor
