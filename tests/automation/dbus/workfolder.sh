# Sourced by the bus scripts: a private work folder, removed once no process of the run holds it.
# A server the bus started outlives its bus for a moment (an ending server still writes its
# profile and files), so removing the folder at once races with it.
work=$(mktemp -d)
remove_work_folder() {
  # Our own exports would make every process started here look like a holder.
  unset HOME XDG_CONFIG_HOME XDG_DATA_HOME
  local deadline=$((SECONDS + 60))
  while grep -qsz "^HOME=$work\$" /proc/[0-9]*/environ; do
    if ((SECONDS >= deadline)); then
      echo "a process of this run still holds $work after 60 s" >&2
      break
    fi
    sleep 0.2
  done
  rm -rf "$work"
}
trap remove_work_folder EXIT
