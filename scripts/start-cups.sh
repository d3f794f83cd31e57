#!/usr/bin/env bash
# Starts the CUPS scheduler, as root, for the print-queue test (ctest -L cups) where none is running.
set -euo pipefail

[ "$(id -u)" -eq 0 ] || { echo "start-cups: run as root" >&2; exit 1; }
if ! lpstat -r 2>/dev/null | grep -q 'is running'; then
  cupsd
fi
for _ in $(seq 1 50); do
  lpstat -r 2>/dev/null | grep -q 'is running' && { echo "start-cups: scheduler running"; exit 0; }
  sleep 0.2
done
echo "start-cups: the scheduler did not start" >&2
exit 1
