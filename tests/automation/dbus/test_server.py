"""A registered automation server for RTD and UDF, on the session bus: a factory on "/" that
makes objects, properties of every variant type, methods Add, Echo (its arguments back), Fail
(an error reply), Never (no reply), Release, and counters of the calls and the live objects.
Usage: test_server.py <bus name>; it prints "ready" once it owns the name."""

import math
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

FUNCTIONS = "org.vorlane.test.IFunctions"
CONTROL = "org.vorlane.test.IControl"
PROPERTIES = "org.freedesktop.DBus.Properties"
(VT_EMPTY, VT_NULL, VT_I2, VT_I4, VT_R4, VT_R8, VT_CY, VT_DATE, VT_BSTR) = (0, 1, 2, 3, 4, 5, 6, 7, 8)
(VT_ERROR, VT_BOOL, VT_DECIMAL, VT_I1, VT_UI1, VT_UI2, VT_UI4) = (10, 11, 14, 16, 17, 18, 19)
(VT_I8, VT_UI8, VT_INT, VT_UINT) = (20, 21, 22, 23)
VT_ARRAY_VARIANT = 0x200C
VT_BYREF_VARIANT = 0x400C

counters = {}


def count(name):
    counters[name] = counters.get(name, 0) + 1


def var(vt, value):
    # The value marked as a variant keeps "(qv)" when the struct itself travels in a variant.
    if isinstance(value, dbus.Struct):
        value = dbus.Struct(value, signature=value.signature, variant_level=1)
    else:
        value = type(value)(value, variant_level=1)
    return dbus.Struct((dbus.UInt16(vt), value), signature="qv")


def table(lower_row, lower_column, rows):
    """A safe array of rows of variants, with the bounds given."""
    wire_rows = [dbus.Struct((dbus.Int32(lower_column), dbus.Array(r, signature="(qv)")), signature="ia(qv)")
                 for r in rows]
    return var(VT_ARRAY_VARIANT,
               dbus.Struct((dbus.Int32(lower_row), dbus.Array(wire_rows, signature="(ia(qv))")),
                           signature="ia(ia(qv))"))


def row_of(lower, count_, first):
    return table(0, lower, [[first] + [var(VT_EMPTY, dbus.Int32(0))] * (count_ - 1)])


PROPERTY_VALUES = {
    "Date": var(VT_DATE, dbus.Double(38687.75)),
    "OldDate": var(VT_DATE, dbus.Double(-1.5)),
    "U5": var(VT_UI1, dbus.Byte(5)),
    "U13": var(VT_UI1, dbus.Byte(13)),
    "U16": var(VT_UI1, dbus.Byte(16)),
    "Cy": var(VT_CY, dbus.Int64(12345678)),
    "True": var(VT_BOOL, dbus.Boolean(True)),
    "NaN": var(VT_R8, dbus.Double(math.nan)),
    "Empty": var(VT_EMPTY, dbus.Int32(0)),
    "I4": var(VT_I4, dbus.Int32(-7)),
    "Null": var(VT_NULL, dbus.Int32(0)),
    "I1": var(VT_I1, dbus.Int16(-5)),
    "I2": var(VT_I2, dbus.Int16(-300)),
    "UI2": var(VT_UI2, dbus.UInt16(60000)),
    "UI4": var(VT_UI4, dbus.UInt32(4000000000)),
    "Int": var(VT_INT, dbus.Int32(11)),
    "UInt": var(VT_UINT, dbus.UInt32(12)),
    "I8": var(VT_I8, dbus.Int64(-5)),
    "UI8": var(VT_UI8, dbus.UInt64(5)),
    "R4": var(VT_R4, dbus.Double(0.5)),
    "Error": var(VT_ERROR, dbus.Int32(-2147352572)),
    "Decimal": var(VT_DECIMAL, dbus.Struct((dbus.Byte(2), dbus.Boolean(True), dbus.UInt32(0), dbus.UInt64(12345)),
                                           signature="ybut")),
    "Text1023": var(VT_BSTR, dbus.String("x" * 1023)),
    "Text1024": var(VT_BSTR, dbus.String("x" * 1024)),
    "Ref": var(VT_BYREF_VARIANT, var(VT_R8, dbus.Double(2.5))),
    "Row": row_of(-5, 2047, var(VT_R8, dbus.Double(3))),
    "Wide": row_of(-5, 2048, var(VT_R8, dbus.Double(3))),
    "Bytes": table(0, 0, [[var(VT_UI1, dbus.Byte(5)), var(VT_UI1, dbus.Byte(13)), var(VT_R8, dbus.Double(1))]]),
    "PlainByte": dbus.Byte(5),
    "PlainText": dbus.String("plain"),
    "PlainBool": dbus.Boolean(True),
    "PlainInt64": dbus.Int64(-9),
    "Odd": dbus.Struct((dbus.Int32(1), dbus.Int32(2)), signature="ii"),
}


class Item(dbus.service.Object):
    """One object that the factory made."""

    def __init__(self, bus, path, server):
        super().__init__(bus, path)
        self.path = path
        self.server = server

    @dbus.service.method(PROPERTIES, in_signature="ss", out_signature="v")
    def Get(self, interface, name):
        count("Get")
        if interface != FUNCTIONS or name == "Missing":
            raise dbus.exceptions.DBusException("no such property", name="org.freedesktop.DBus.Error.UnknownProperty")
        # Any other name reads as its length.
        return PROPERTY_VALUES.get(name, var(VT_I4, dbus.Int32(len(name))))

    @dbus.service.method(FUNCTIONS, out_signature="(qv)")
    def Add(self, a, b):
        count("Add")
        return var(VT_R8, dbus.Double(float(a[1]) + float(b[1])))

    @dbus.service.method(FUNCTIONS, out_signature="(qv)")
    def Echo(self, *arguments):
        count("Echo")
        if len(arguments) == 1:
            return arguments[0]
        return table(0, 0, [list(arguments)])

    @dbus.service.method(FUNCTIONS)
    def Fail(self, *arguments):
        count("Fail")
        raise dbus.exceptions.DBusException("failed on purpose", name="org.vorlane.test.Error.Fail")

    @dbus.service.method(FUNCTIONS, async_callbacks=("reply", "error"))
    def Never(self, reply, error):
        count("Never")
        self.server.unanswered.append((reply, error))

    @dbus.service.method(FUNCTIONS, out_signature="(ii)")
    def Odd(self):
        count("Odd")
        return (1, 2)

    @dbus.service.method(FUNCTIONS, out_signature="u")
    def Release(self):
        count("Release")
        self.remove_from_connection()
        del self.server.items[self.path]
        return 0


class Root(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/")
        self.bus = bus
        self.items = {}
        self.unanswered = []
        self.next = 1

    @dbus.service.method(FUNCTIONS, in_signature="s", out_signature="o")
    def CreateObject(self, prog_id):
        count("CreateObject")
        path = "/Item/%d" % self.next
        self.next += 1
        self.items[path] = Item(self.bus, path, self)
        return dbus.ObjectPath(path)

    @dbus.service.method(CONTROL, out_signature="a{si}")
    def Counters(self):
        out = dict(counters)
        out["live"] = len(self.items)
        return out

    @dbus.service.method(CONTROL)
    def Reset(self):
        counters.clear()


def main():
    DBusGMainLoop(set_as_default=True)
    bus = dbus.SessionBus()
    root = Root(bus)
    name = dbus.service.BusName(sys.argv[1], bus, do_not_queue=True)
    print("ready", flush=True)
    GLib.MainLoop().run()
    del name, root


if __name__ == "__main__":
    main()
