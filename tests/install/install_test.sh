#!/usr/bin/env bash
# Installs into a fresh prefix and starts the installed program from
# elsewhere: it must find its library and its shipped data by its own
# location, and end cleanly on SIGTERM.
set -euo pipefail
build_dir=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

cmake --install "$build_dir" --prefix "$work/prefix" >/dev/null
test -x "$work/prefix/bin/orvantix"
test -f "$work/prefix/share/applications/orvantix.desktop"
test -f "$work/prefix/share/orvantix/kelvradft.html"

mkdir -p "$work/home"
cd "$work"
env -u ORVANTIX_DATA_DIR -u ORVANTIX_VIRTUAL_CAMERA HOME="$work/home" XDG_CONFIG_HOME= XDG_DATA_HOME= \
  QT_QPA_PLATFORM=offscreen "$work/prefix/bin/orvantix" /NOHW >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 100); do
  [ -f "$work/home/.local/share/Orvantix/kelvralog.html" ] && break
  sleep 0.1
done
sleep 0.5
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "exit status $status after SIGTERM"; exit 1; }
cmp "$work/prefix/share/orvantix/kelvradft.html" "$work/home/.local/share/Orvantix/kelvralog.html"
grep -q '^PosWidth=7950$' "$work/home/.config/Orvantix/Orvantix.ini"
echo "installed program ran from its prefix"
