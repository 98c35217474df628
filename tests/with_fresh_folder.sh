#!/bin/sh
# Runs a command with the printer's data folder, drive C and state folder
# in a fresh temporary folder, removed afterwards.
folder=$(mktemp -d "${TMPDIR:-/tmp}/kalpo-test.XXXXXX") || exit 1
KALPO_SIM_DIR=$folder KALPO_DRIVE_C=$folder XDG_STATE_HOME=$folder/state "$@"
status=$?
rm -rf "$folder"
exit $status
