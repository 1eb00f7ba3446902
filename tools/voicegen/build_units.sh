#!/bin/sh
# Rebuilds the 34 voice units in resources/units/ from espeak-ng's Czech voice.
# Same espeak-ng, numpy and inputs give the same bytes.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
exec /usr/bin/python3 "$here/voicegen.py" "$root/resources/units" "$@"
