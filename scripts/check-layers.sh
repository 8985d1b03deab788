#!/usr/bin/env bash
# Checks that dependencies point one way: no source file includes a header of a layer above
# its own, and no library links one. Usage: check-layers.sh [source root]. Prints every
# offence and exits 1 when there is one.
set -uo pipefail
ROOT=${1:-$(cd "$(dirname "$0")/.." && pwd)}

# What each layer may use besides itself. dialogs and report are side by side: neither
# knows the other. sheet_core is the GUI-free part of sheet/ (library po_sheet_core).
declare -A MAY_USE=(
  [storage]=""
  [platform]="storage"
  [sheet_core]="storage"
  [dialogs]="storage platform sheet_core"
  [report]="storage platform sheet_core"
  [sheet]="storage platform sheet_core dialogs"
  [commands]="storage platform sheet_core dialogs report sheet"
  [app]="storage platform sheet_core dialogs report sheet commands"
)
LAYERS=(storage platform dialogs sheet report commands app)

# The sheet-core sources, as the sheet library's CMake file lists them.
core_files=$(sed -n '/add_library(po_sheet_core/,/)/p' "$ROOT/sheet/CMakeLists.txt" |
  tr ' ' '\n' | grep -E '\.(h|cpp)$')
layer_of() { # folder, file name
  if [ "$1" = sheet ] && grep -qx "$2" <<<"$core_files"; then echo sheet_core; else echo "$1"; fi
}

# Which layer each header belongs to.
declare -A HEADER
for folder in "${LAYERS[@]}"; do
  for f in "$ROOT/$folder"/*.h; do
    [ -e "$f" ] || continue
    HEADER[$(basename "$f")]=$(layer_of "$folder" "$(basename "$f")")
  done
done

allowed() { # user layer, used layer
  [ "$1" = "$2" ] || [[ " ${MAY_USE[$1]} " == *" $2 "* ]]
}

status=0
for folder in "${LAYERS[@]}"; do
  for f in "$ROOT/$folder"/*.h "$ROOT/$folder"/*.cpp; do
    [ -e "$f" ] || continue
    user=$(layer_of "$folder" "$(basename "$f")")
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
