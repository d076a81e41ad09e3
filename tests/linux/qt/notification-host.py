#!/usr/bin/python3
"""A stand-in for a desktop's D-Bus notification area on the session bus: a
StatusNotifierWatcher with a host registered (as KDE's and GNOME's panels keep) and a
notification server. It logs what programs send it, one line each, flushed at once:

    item <service> <object path>
    notify <id> <replaces id> <expire ms> <summary as JSON> <body as JSON>
    close <id>

and prints "ready" on stdout once it owns both names.

    notification-host.py LOG
"""
import json
import sys

import dbus
import dbus.mainloop.glib
import dbus.service
from gi.repository import GLib

WATCHER = "org.kde.StatusNotifierWatcher"
WATCHER_PATH = "/StatusNotifierWatcher"
NOTIFICATIONS = "org.freedesktop.Notifications"
NOTIFICATIONS_PATH = "/org/freedesktop/Notifications"
PROPERTIES = "org.freedesktop.DBus.Properties"

# dbus-python does not describe properties; Qt reads IsStatusNotifierHostRegistered only
# through an interface that introspection shows it.
WATCHER_XML = """<!DOCTYPE node PUBLIC "-//freedesktop//DTD D-BUS Object Introspection 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd">
<node>
  <interface name="org.freedesktop.DBus.Introspectable">
    <method name="Introspect"><arg name="xml" type="s" direction="out"/></method>
  </interface>
  <interface name="org.freedesktop.DBus.Properties">
    <method name="Get">
      <arg name="interface" type="s" direction="in"/><arg name="name" type="s" direction="in"/>
      <arg name="value" type="v" direction="out"/>
    </method>
    <method name="GetAll">
      <arg name="interface" type="s" direction="in"/>
      <arg name="values" type="a{sv}" direction="out"/>
    </method>
  </interface>
  <interface name="org.kde.StatusNotifierWatcher">
    <method name="RegisterStatusNotifierItem"><arg name="service" type="s" direction="in"/></method>
    <method name="RegisterStatusNotifierHost"><arg name="service" type="s" direction="in"/></method>
    <property name="RegisteredStatusNotifierItems" type="as" access="read"/>
    <property name="IsStatusNotifierHostRegistered" type="b" access="read"/>
    <property name="ProtocolVersion" type="i" access="read"/>
    <signal name="StatusNotifierItemRegistered"><arg type="s"/></signal>
    <signal name="StatusNotifierItemUnregistered"><arg type="s"/></signal>
    <signal name="StatusNotifierHostRegistered"/>
  </interface>
</node>
"""


class Log:
    def __init__(self, path):
        self.file = open(path, "a", encoding="utf-8")

    def write(self, *fields):
        self.file.write(" ".join(str(f) for f in fields) + "\n")
        self.file.flush()


class Watcher(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, WATCHER_PATH)
        self.log = log
        self.items = []

    @dbus.service.method(WATCHER, in_signature="s", sender_keyword="sender")
    def RegisterStatusNotifierItem(self, service, sender=None):
        # An item names its bus name, or only its object path on the caller's connection.
        if service.startswith("/"):
            name, path = sender, service
        else:
            name, path = service, "/StatusNotifierItem"
        self.items.append(name + path)
        self.log.write("item", name, path)
        self.StatusNotifierItemRegistered(name + path)

    @dbus.service.method(WATCHER, in_signature="s")
    def RegisterStatusNotifierHost(self, service):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemRegistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="s")
    def StatusNotifierItemUnregistered(self, item):
        pass

    @dbus.service.signal(WATCHER, signature="")
    def StatusNotifierHostRegistered(self):
        pass

    def properties(self):
        return {
            "RegisteredStatusNotifierItems": dbus.Array(self.items, signature="s"),
            "IsStatusNotifierHostRegistered": dbus.Boolean(True),
            "ProtocolVersion": dbus.Int32(0),
        }

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        values = self.properties()
        if interface != WATCHER or name not in values:
            raise dbus.exceptions.DBusException("no property " + name, name="org.freedesktop.DBus.Error.UnknownProperty")
        return values[name]

    @dbus.service.method(PROPERTIES, in_signature="s", out_signature="a{sv}")
    def GetAll(self, interface):
        return self.properties() if interface == WATCHER else {}

    @dbus.service.method("org.freedesktop.DBus.Introspectable", out_signature="s")
    def Introspect(self):
        return WATCHER_XML


class Notifications(dbus.service.Object):
    def __init__(self, bus, log):
        super().__init__(bus, NOTIFICATIONS_PATH)
        self.log = log
        self.last_id = 0

    @dbus.service.method(NOTIFICATIONS, in_signature="susssasa{sv}i", out_signature="u")
    def Notify(self, app, replaces_id, icon, summary, body, actions, hints, expire_timeout):
        if replaces_id:
            notification = int(replaces_id)
        else:
            self.last_id += 1
            notification = self.last_id
        self.log.write("notify", notification, int(replaces_id), int(expire_timeout),
                       json.dumps(str(summary)), json.dumps(str(body)))
        return dbus.UInt32(notification)

    @dbus.service.method(NOTIFICATIONS, in_signature="u")
    def CloseNotification(self, notification):
        self.log.write("close", int(notification))
        self.NotificationClosed(notification, dbus.UInt32(3))

    @dbus.service.method(NOTIFICATIONS, out_signature="as")
    def GetCapabilities(self):
        return ["body"]

    @dbus.service.method(NOTIFICATIONS, out_signature="ssss")
    def GetServerInformation(self):
        return ("notification-host", "Tamberlyn tests", "1", "1.2")

    @dbus.service.signal(NOTIFICATIONS, signature="uu")
    def NotificationClosed(self, notification, reason):
        pass

    @dbus.service.signal(NOTIFICATIONS, signature="us")
    def ActionInvoked(self, notification, action):
        pass


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: notification-host.py LOG")
    dbus.mainloop.glib.DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    log = Log(sys.argv[1])
    objects = [Watcher(bus, log), Notifications(bus, log)]
    names = [dbus.service.BusName(name, bus, do_not_queue=True) for name in (WATCHER, NOTIFICATIONS)]
    print("ready", flush=True)
    loop = GLib.MainLoop()
    GLib.unix_signal_add(GLib.PRIORITY_DEFAULT, 15, loop.quit)
    loop.run()
    del objects, names


if __name__ == "__main__":
    main()
