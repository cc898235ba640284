#!/usr/bin/env bash
# Runs the tests of RTD and UDF against registered servers on a bus of their own: lists the
# test server's ProgIDs in servers.conf (with ProgIDs of a missing service and of this
# process), makes an unlisted service activatable whose start would leave a marker, and
# registers the program so that the bus starts it for the end-to-end case.
# Usage: run_servers.sh <test binary> <vorlane> <default-settings.xml>
set -euo pipefail
tests=$1
program=$2
settings=$3
here=$(cd "$(dirname "$0")" && pwd)
command -v dbus-run-session >/dev/null || { echo "dbus-run-session is missing (tools/install-deps.sh)"; exit 1; }
/usr/bin/python3 -c 'import dbus, gi.repository.GLib' || { echo "python3-dbus or python3-gi is missing (tools/install-deps.sh)"; exit 1; }
source "$(dirname "$0")/workfolder.sh"
mkdir -p "$work/config/Vorlane" "$work/data/dbus-1/services"
sed -e 's|Region="2"|Region="0"|' "$settings" >"$work/config/Vorlane/settings.xml"
cat >"$work/config/Vorlane/servers.conf" <<CONF
# ProgID        bus name                    interface                     time-out (ms)
Test.Functions  org.vorlane.test.Functions  org.vorlane.test.IFunctions
Test.Quotes     org.vorlane.test.Functions  org.vorlane.test.IFunctions   4000
Test.Slow       org.vorlane.test.Functions  org.vorlane.test.IFunctions   300
Test.Missing    org.vorlane.test.Missing    org.vorlane.test.IFunctions   300
Test.Self       org.vorlane.test.Self       org.vorlane.test.IFunctions   300
CONF
cat >"$work/data/dbus-1/services/org.vorlane.test.Activated.service" <<SERVICE
[D-BUS Service]
Name=org.vorlane.test.Activated
Exec=/usr/bin/touch $work/activated
SERVICE
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export VORLANE_TEST_SERVER="$here/test_server.py" VORLANE_TEST_MARKER="$work/activated"
export QT_QPA_PLATFORM=offscreen
unset DBUS_SESSION_BUS_ADDRESS
"$program" -RegServer
dbus-run-session -- "$tests"
test ! -e "$work/activated"
"$program" --UnregServer
