#!/usr/bin/env bash
# Checks that the code under src/ includes only downward through the three
# layers that CMakeLists.txt names (shared game, host side, player side) and
# through the floors inside each layer: the order in which CMakeLists.txt
# lists a layer's folders, lowest first. A folder may include its own folder,
# the folders listed before it in its layer and the layers below; main.cpp
# stands above all three, hostmain.cpp above the shared and host layers. The
# shared and host layers never include SDL or OpenGL. Every folder must
# belong to a layer. Prints each include against the direction and exits 1
# when there is any.
#   check-layers.sh [SOURCE_TOP]   (default: the checkout this script is in)
set -euo pipefail
top=${1:-$(cd "$(dirname "$0")/.." && pwd)}
lists=$(cd "$(dirname "$0")/.." && pwd)/CMakeLists.txt

folders() { sed -n "s/^set(VEY3_$1_FOLDERS \(.*\))$/\1/p" "$lists"; }
declare -A rank floor
layer=0
for name in SHARED HOST PLAYER; do
  n=0
  for f in $(folders $name); do
    rank[$f]=$layer
    floor[$f]=$n
    n=$((n + 1))
  done
  layer=$((layer + 1))
done
names=(shared host player main)

bad=0
complain() { echo "$1"; bad=1; }

for dir in "$top"/src/*/; do
  f=$(basename "$dir")
  [ -n "${rank[$f]:-}" ] || complain "src/$f/: a folder of no layer (name it in CMakeLists.txt)"
done

while IFS= read -r file; do
  rel=${file#"$top"/}
  folder=
  case $rel in
    src/main.cpp) from=3 ;;
    src/hostmain.cpp) from=1 ;;   # above every floor of the host layer
    src/*/*) folder=${rel#src/}; folder=${folder%%/*}; from=${rank[$folder]:-} ;;
    *) complain "$rel: a file of no layer"; continue ;;
  esac
  [ -n "$from" ] || continue
  while IFS=: read -r line text; do
    if [[ $text =~ \#include[[:space:]]*\"([a-z_0-9]+)/ ]]; then
      target=${BASH_REMATCH[1]}
      to=${rank[$target]:-}
      if [ -z "$to" ]; then
        complain "$rel:$line: includes $target/, a folder of no layer"
      elif [ "$to" -gt "$from" ]; then
        complain "$rel:$line: the ${names[$from]} layer includes $target/ of the ${names[$to]} layer"
      elif [ "$to" -eq "$from" ] && [ -n "$folder" ] && [ "$target" != "$folder" ] &&
           [ "${floor[$target]}" -gt "${floor[$folder]}" ]; then
        complain "$rel:$line: $folder/ includes $target/, a floor above it in the ${names[$from]} layer"
      fi
    elif [[ $text =~ \#include[[:space:]]*\<(SDL|GL/) ]] && [ "$from" -lt 2 ]; then
      complain "$rel:$line: the ${names[$from]} layer includes SDL or OpenGL"
    fi
  done < <(grep -n '#[[:space:]]*include' "$file" || true)
done < <(find "$top/src" -name '*.cpp' -o -name '*.h' | sort)

exit $bad
