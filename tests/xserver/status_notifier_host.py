"""A stand-in StatusNotifier watcher and host on the session bus, as a Plasma or GNOME panel
(with the AppIndicator extension) is one, driving the window program through its tray item.

usage: status_notifier_host.py VANTOR PROGRAM_FOLDER OUTPUT_FILE SIM_STATE

First, with no watcher on the bus and no X tray, the program says it has no tray. Then the
script owns org.kde.StatusNotifierWatcher and, as the desktop's notification service,
org.freedesktop.Notifications, starts the program against the simulated mouse of
SIM_STATE (its battery low) and checks: the item registers; its icon, tool tip and status;
its menu (com.canonical.dbusmenu) holds the show and exit entries in the language's words;
the low battery comes as one notice of the service with the program's name and icon;
activating the item and the menu's show entry bring the window back from the tray; the
exit entry ends the program with status 0. Each check prints "ok: ..." or "FAIL: ..."
(exit status 1).
"""

import subprocess
import sys
import threading
import time
import xml.etree.ElementTree as ElementTree

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

WATCHER = "org.kde.StatusNotifierWatcher"
ITEM_INTERFACE = "org.kde.StatusNotifierItem"
MENU_INTERFACE = "com.canonical.dbusmenu"
TITLE = "Vantor Mouse Center"
WATCHER_XML = """
<node><interface name="org.kde.StatusNotifierWatcher">
  <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
  <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
  <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
  <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
  <property name="ProtocolVersion" type="i" access="read"/>
  <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
  <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
  <signal name="StatusNotifierHostRegistered"/>
</interface></node>
"""
NOTIFICATIONS_XML = """
<node><interface name="org.freedesktop.Notifications">
  <method name="Notify">
    <arg type="s" direction="in"/><arg type="u" direction="in"/><arg type="s" direction="in"/>
    <arg type="s" direction="in"/><arg type="s" direction="in"/><arg type="as" direction="in"/>
    <arg type="a{sv}" direction="in"/><arg type="i" direction="in"/>
    <arg type="u" direction="out"/>
  </method>
  <method name="GetCapabilities"><arg type="as" direction="out"/></method>
  <method name="GetServerInformation">
    <arg type="s" direction="out"/><arg type="s" direction="out"/>
    <arg type="s" direction="out"/><arg type="s" direction="out"/>
  </method>
</interface></node>
"""

vantor, program_dir, output_path, sim_state = sys.argv[1:5]
bus = Gio.bus_get_sync(Gio.BusType.SESSION, None)
items = []  # (bus name, object path) of each registered item
notices = []  # the arguments of each Notify call


def fail(message):
    print("FAIL:", message)
    with open(output_path, errors="replace") as output:
        print("--- program output")
        print("".join(output.readlines()[-30:]))
    sys.exit(1)


def ok(message):
    print("ok:", message)


def wait_for(condition, seconds=15):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if condition():
            return True
        time.sleep(0.1)
    return False


def call(name, path, interface, method, arguments=None, reply=None):
    return bus.call_sync(name, path, interface, method, arguments,
                         GLib.VariantType(reply) if reply else None,
                         Gio.DBusCallFlags.NONE, 5000, None)


def window_visible():
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{TITLE}$"],
                           capture_output=True, text=True)
    return found.stdout.strip().split("\n")[0]


def minimise_into_tray():
    window = window_visible()
    geometry = subprocess.run(["xdotool", "getwindowgeometry", "--shell", window],
                              capture_output=True, text=True).stdout
    values = dict(line.split("=") for line in geometry.split())
    x, y = int(values["X"]), int(values["Y"])
    # The pointer comes in from outside, as a hand moves to the button.
    subprocess.run(["xdotool", "mousemove", "0", "0"])
    time.sleep(0.3)
    subprocess.run(["xdotool", "mousemove", str(x + 964), str(y + 24)])
    time.sleep(0.3)
    subprocess.run(["xdotool", "click", "1"])
    if not wait_for(lambda: not window_visible(), 5):
        fail("the minimise button did not hide the window into the tray")


def start_program():
    output = open(output_path, "a")
    return subprocess.Popen([vantor, "--simulate", "--sim-state", sim_state], stdout=output,
                            stderr=subprocess.STDOUT)


def english_text(key):
    root = ElementTree.parse(f"{program_dir}/en/text.xml").getroot()
    return root.find(key).text


# Without a watcher on the bus there is no tray: the window must stay reachable.
program = start_program()
if not wait_for(lambda: "No system tray" in open(output_path, errors="replace").read()):
    fail("with no watcher on the bus the program did not find itself without a tray")
ok("no watcher, no tray: the window stays in the task bar")
program.terminate()
program.wait(10)


def on_method_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "RegisterStatusNotifierItem":
        service = parameters.unpack()[0]
        # An item names its bus name (and then sits at /StatusNotifierItem) or its path.
        items.append((sender, service) if service.startswith("/")
                     else (service, "/StatusNotifierItem"))
        connection.emit_signal(None, "/StatusNotifierWatcher", WATCHER,
                               "StatusNotifierItemRegistered", GLib.Variant("(s)", (service,)))
    invocation.return_value(None)


def on_notifications_call(connection, sender, path, interface, method, parameters, invocation):
    if method == "Notify":
        notices.append(parameters.unpack())
        invocation.return_value(GLib.Variant("(u)", (len(notices),)))
    elif method == "GetCapabilities":
        invocation.return_value(GLib.Variant("(as)", (["body"],)))
    else:
        invocation.return_value(GLib.Variant("(ssss)", ("stand-in", "test", "1", "1.2")))


def on_get_property(connection, sender, path, interface, name):
    if name == "RegisteredStatusNotifierItems":
        return GLib.Variant("as", [f"{item[0]}{item[1]}" for item in items])
    if name == "IsStatusNotifierHostRegistered":
        return GLib.Variant("b", True)
    return GLib.Variant("i", 0)


node = Gio.DBusNodeInfo.new_for_xml(WATCHER_XML)
bus.register_object("/StatusNotifierWatcher", node.interfaces[0], on_method_call,
                    on_get_property, None)
bus.register_object("/org/freedesktop/Notifications",
                    Gio.DBusNodeInfo.new_for_xml(NOTIFICATIONS_XML).interfaces[0],
                    on_notifications_call, None, None)
for name in (WATCHER, "org.freedesktop.Notifications"):
    owned = call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus",
                 "RequestName", GLib.Variant("(su)", (name, 4)), "(u)").unpack()[0]
    if owned != 1:
        fail(f"could not own the name {name}")
threading.Thread(target=GLib.MainLoop().run, daemon=True).start()

program = start_program()
if not wait_for(lambda: items):
    fail("the program registered no StatusNotifierItem")
service, path = items[0]
ok(f"item registered as {service}{path}")

properties = call(service, path, "org.freedesktop.DBus.Properties", "GetAll",
                  GLib.Variant("(s)", (ITEM_INTERFACE,)), "(a{sv})").unpack()[0]
pixmaps = [p for p in properties.get("IconPixmap", []) if p[0] > 0 and p[1] > 0]
if not properties.get("IconName") and not pixmaps:
    fail(f"the item has no icon: {sorted(properties)}")
for width, height, argb in pixmaps:
    if len(argb) != width * height * 4 or not any(argb):
        fail(f"the item's {width}x{height} icon holds no picture")
ok("icon: " + (properties.get("IconName") or
               ", ".join(f"{w}x{h}" for w, h, _ in pixmaps)))
tooltip = properties.get("ToolTip")
if not tooltip or tooltip[2] != TITLE:
    fail(f"the tool tip is {tooltip!r}, not the program's title")
if properties.get("Status") != "Active":
    fail(f"the item's status is {properties.get('Status')!r}")
ok("tool tip names the program, status Active")

menu_path = properties.get("Menu")
if not menu_path:
    fail("the item offers no menu")
layout = call(service, menu_path, MENU_INTERFACE, "GetLayout",
              GLib.Variant("(iias)", (0, -1, [])), "(u(ia{sv}av))").unpack()[1]
entries = {}
for child in layout[2]:
    entry_id, entry_properties, _ = child
    if "label" in entry_properties:
        entries[entry_properties["label"].replace("_", "")] = entry_id
show_text, exit_text = english_text("tc_config"), english_text("tc_exit")
if show_text not in entries or exit_text not in entries:
    fail(f"the menu holds {list(entries)}, not {show_text!r} and {exit_text!r}")
ok(f"menu entries: {', '.join(entries)}")

if not wait_for(window_visible):
    fail("the window did not appear")
# The window waits with a message of its own until it has read the mouse.
if not wait_for(lambda: "OnSyncOk" in open(output_path, errors="replace").read()):
    fail("the program did not read the mouse")
if not wait_for(lambda: notices, 5):
    fail("the low battery came as no desktop notice")
app_name, _, icon, summary, body, _, hints, _ = notices[0]
if (app_name, summary, body) != (TITLE, TITLE, english_text("tc_msg16")):
    fail(f"the notice was {notices[0]!r}")
if not icon or hints.get("desktop-entry") != icon:
    fail(f"the notice names no icon and desktop entry: {notices[0]!r}")
ok(f"the low battery is a desktop notice of {app_name!r} with the icon {icon!r}")

minimise_into_tray()
call(service, path, ITEM_INTERFACE, "Activate", GLib.Variant("(ii)", (0, 0)))
if not wait_for(window_visible, 5):
    fail("activating the item did not show the window")
ok("minimise hides the window into the tray, activating the item shows it")


def click(entry_id):
    call(service, menu_path, MENU_INTERFACE, "Event",
         GLib.Variant("(isvu)", (entry_id, "clicked", GLib.Variant("s", ""), 0)))


minimise_into_tray()
click(entries[show_text])
if not wait_for(window_visible, 5):
    fail(f"the menu's {show_text!r} did not show the window")
ok(f"the menu's {show_text!r} shows the window")

click(entries[exit_text])
try:
    status = program.wait(15)
except subprocess.TimeoutExpired:
    program.kill()
    fail(f"the menu's {exit_text!r} did not end the program")
if status != 0:
    fail(f"the program ended with status {status}")
ok(f"the menu's {exit_text!r} ends the program")
if len(notices) != 1:
    fail(f"{len(notices)} notices instead of one: {notices!r}")
