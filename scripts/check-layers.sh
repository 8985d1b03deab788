#!/usr/bin/env bash
# Checks that dependencies point one way: no source file includes a header of a layer above
# its own, and no library links one. Usage: check-layers.sh [source root]. Prints every
# offence and exits 1 when there is one.
set -uo pipefail
ROOT=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# What each layer may use besides itself: a layer is a folder. dialogs and report are side
# by side: neither knows the other.
declare -A MAY_USE=(
  [storage]=""
  [platform]="storage"
  [order]="storage platform"
  [dialogs]="storage platform order"
  [report]="storage platform order"
  [sheet]="storage platform order dialogs"
  [commands]="storage platform order dialogs report sheet"
  [app]="storage platform order dialogs report sheet commands"
)
LAYERS=(storage platform order dialogs report sheet commands app)

# Which layer each header belongs to.
declare -A HEADER
for folder in "${LAYERS[@]}"; do
  for f in "$ROOT/$folder"/*.h; do
    [ -e "$f" ] || continue
    HEADER[$(basename "$f")]=$folder
  done
done

allowed() { # user layer, used layer
  [ "$1" = "$2" ] || [[ " ${MAY_USE[$1]} " == *" $2 "* ]]
}

status=0
for folder in "${LAYERS[@]}"; do
  for f in "$ROOT/$folder"/*.h "$ROOT/$folder"/*.cpp; do
    [ -e "$f" ] || continue
    user=$folder
    while IFS= read -r header; do
      used=${HEADER[$header]:-}
      if [ -n "$used" ] && ! allowed "$user" "$used"; then
        echo "${f#"$ROOT"/} ($user) includes $header ($used)"
        status=1
      fi
    done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$f")
  done
done

# The libraries: po_<layer> links only po_ libraries of the layers it may use.
for folder in "${LAYERS[@]}"; do
  cm="$ROOT/$folder/CMakeLists.txt"
  [ -e "$cm" ] || continue
  # Each target_link_libraries call on one line, as: target dependency...
  while read -r target deps; do
    user=${target#po_}
    [ "$target" = pelmora-po ] && user=app
    [ -n "${MAY_USE[$user]+set}" ] || continue
    for dep in $deps; do
      [[ $dep == po_* ]] || continue
      if ! allowed "$user" "${dep#po_}"; then
        echo "${cm#"$ROOT"/}: $target links $dep"
        status=1
      fi
    done
  done < <(tr '\n' ' ' <"$cm" | grep -o 'target_link_libraries([^)]*)' |
    sed 's/target_link_libraries(//; s/)//; s/\b\(PUBLIC\|PRIVATE\|INTERFACE\)\b//g')
done
exit $status
