#!/usr/bin/env bash
# Runs tools/drive-workbook.py as a user would: the program registered in a private data
# folder, the script on a bus of its own, which starts the server by name.
# Usage: run_drive.sh <vorlane> <default-settings.xml> <drive-workbook.py>
set -euo pipefail
program=$1
settings=$2
script=$3
command -v dbus-run-session >/dev/null || { echo "dbus-run-session is missing (tools/install-deps.sh)"; exit 1; }
source "$(dirname "$0")/workfolder.sh"
mkdir -p "$work/config/Vorlane" "$work/data" "$work/files" "$work/Documents"
cp "$settings" "$work/config/Vorlane/settings.xml"
export HOME="$work" XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
unset DBUS_SESSION_BUS_ADDRESS
"$program" -RegServer
dbus-run-session -- /usr/bin/python3 "$script" --folder "$work/files" --pdf-folder "$work/Documents"
"$program" -UnregServer
