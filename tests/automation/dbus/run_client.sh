#!/usr/bin/env bash
# Runs the automation client test on a bus of its own: registers the program with a private
# data folder so that the bus starts it on demand, drives it from another process (Python's
# D-Bus bindings) and unregisters it. Usage: run_client.sh <vorlane> <default-settings.xml>
set -euo pipefail
program=$1
settings=$2
command -v dbus-run-session >/dev/null || { echo "dbus-run-session is missing (tools/install-deps.sh)"; exit 1; }
/usr/bin/python3 -c 'import dbus' || { echo "python3-dbus is missing (tools/install-deps.sh)"; exit 1; }
source "$(dirname "$0")/workfolder.sh"
mkdir -p "$work/config/Vorlane" "$work/data" "$work/files" "$work/Documents"
# XML is the form of unprotected saves; the generic separators keep "." and ",".
sed -e 's|<FileFormat Xml="No"|<FileFormat Xml="Yes"|' -e 's|Region="2"|Region="0"|' \
  "$settings" >"$work/config/Vorlane/settings.xml"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
export VORLANE_PROGRAM="$program" VORLANE_FILES="$work/files" VORLANE_PDFS="$work/Documents"
unset DBUS_SESSION_BUS_ADDRESS
"$program" -RegServer
grep -q "^Exec=.*-Automation$" "$work/data/dbus-1/services/org.vorlane.Vorlan.service"
grep -q "^Exec=.* %f$" "$work/data/applications/vorlane.desktop"
grep -q "^MimeType=application/x-vorlane;$" "$work/data/applications/vorlane.desktop"
grep -q 'glob pattern="\*.vln"' "$work/data/mime/packages/vorlane.xml"
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/automation_client.py"
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/format_client.py"
# States one route makes and another stores, and files older saves left.
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/states_client.py"
# Each value a client stores, at its limits, read back from every form.
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/limits_client.py"
# The PDF printer writes into the documents folder, $HOME/Documents.
dbus-run-session -- /usr/bin/python3 "$(dirname "$0")/print_client.py"
"$program" --UnregServer
test ! -e "$work/data/dbus-1/services/org.vorlane.Vorlan.service"
test ! -e "$work/data/applications/vorlane.desktop"
test ! -e "$work/data/mime/packages/vorlane.xml"
echo "registration removed"
