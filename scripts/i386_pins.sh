#!/usr/bin/env bash
# Prints the pins (NAME=VERSION NAME:i386=VERSION ...) that let apt install PACKAGES when the
# i386 package lists lag the amd64 ones, as on a mirror in the middle of a sync: a library
# that both architectures need must have one version in both, so it comes at the version the
# i386 list has. Found by asking apt (simulating only) until nothing is left unmet.
#   scripts/i386_pins.sh PACKAGE...
set -uo pipefail
pins=()
for round in $(seq 12); do
  out=$(apt-get install -s --allow-downgrades "$@" "${pins[@]}" 2>&1) && {
    echo "${pins[*]}"
    exit 0
  }
  # "X:i386 : Depends: Y:i386 (...) but it is not going to be installed": Y is the one to pin.
  # Without such a line, the unmet package of the other architecture.
  wanted=$(grep -o '[a-z0-9.+-]*:i386 (' <<<"$out" | sed 's/:i386 (//' | sort -u)
  [ -n "$wanted" ] || wanted=$(grep -o 'Depends: [a-z0-9.+-]*' <<<"$out" | sed 's/Depends: //' | sort -u)
  added=0
  for p in $wanted; do
    printf '%s\n' "${pins[@]}" | grep -qx "$p=.*" && continue
    version=$(apt-cache policy "$p:i386" | sed -n 's/ *Candidate: //p')
    [ -n "$version" ] && [ "$version" != "(none)" ] || continue
    pins+=("$p=$version" "$p:i386=$version")
    added=1
  done
  if [ "$added" = 0 ]; then
    echo "i386_pins: apt cannot install $* even so:" >&2
    grep -v '^ *$' <<<"$out" | tail -8 >&2
    exit 1
  fi
done
echo "i386_pins: no solution after $round rounds" >&2
exit 1
