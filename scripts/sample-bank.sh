#!/usr/bin/env bash
# Starts the sample bank (a scripted SQL Server endpoint with a few dozen credit
# contracts) on 127.0.0.1, writes "uvoedit.ini" in the current folder with a
# connection string that points at it (an existing one is kept as uvoedit.ini.bak),
# runs the editor there and stops the bank when the editor ends.
# Log in as "uvo" with the password "sample".
set -euo pipefail
repo="$(cd "$(dirname "$0")/.." && pwd)"
port="${UVO_SAMPLE_PORT:-14330}"

python3 "$repo/tools/fakefa/sample_bank.py" --port "$port" --settings uvoedit.ini > /dev/null &
bank=$!
trap 'kill "$bank" 2>/dev/null || true' EXIT
trap 'exit 130' INT TERM
for _ in $(seq 50); do
  [ -s uvoedit.ini ] && break
  kill -0 "$bank" 2>/dev/null || { echo "the sample bank did not start" >&2; exit 2; }
  sleep 0.1
done
echo "Sample bank on 127.0.0.1:$port: log in as uvo, password sample."
"$repo/build/src/app/uvoedit"
