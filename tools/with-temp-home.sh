#!/usr/bin/env bash
# Runs one test process with HOME in a fresh temporary folder, removed afterwards,
# so preferences, the thumbnail cache and icons never touch the developer's own.
home=$(mktemp -d "${TMPDIR:-/tmp}/veltrum-home.XXXXXX")
export HOME="$home"
export XDG_CONFIG_HOME="$home/.config"
"$@"
status=$?
rm -rf "$home"
exit $status
