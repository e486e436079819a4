#!/usr/bin/env bash
# Fails when a file under SRC_DIR includes from a layer above its own.
#
#   check_layers.sh SRC_DIR
#
# Each folder below is one layer; a file may include from its own folder and from lower layers
# only. Folders of the same rank are alternatives built side by side (one platform or the other,
# one front end or another), so they must not include each other either. Includes outside these
# folders (generated headers, the standard library's) are not judged. Bash and grep only: a fresh
# machine may have nothing else.
set -euo pipefail

if [[ $# -ne 1 || ! -d "$1" ]]; then
  echo "usage: check_layers.sh SRC_DIR" >&2
  exit 2
fi
src_dir=${1%/}

# Lowest first.
declare -A rank=(
  [core/ports]=0
  [core/numbers]=1
  [core/run]=2
  [core/window]=3
  [platform/posix]=4 [platform/windows]=4 [calc]=4
  [qt]=5 [win32]=5 [cli]=5
)

# Sets the variable named $2 to the layer folder $1 lies in, or to nothing when it lies in none.
# No command substitution: a subshell for every include line makes the check crawl.
layer_of() {
  local -n result=$2
  local folder
  result=
  for folder in "${!rank[@]}"; do
    if [[ "$1" == "$folder"/* ]]; then
      result=$folder
      return
    fi
  done
}

include_pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*"([^"]+)"'
violations=0
# -Z ends each file name with a NUL, so no file name can be mistaken for the line number.
while IFS= read -r -d '' file && IFS= read -r found; do
  layer_of "${file#"$src_dir"/}" own
  [[ -n "$own" ]] || continue
  line=${found%%:*}
  [[ "${found#*:}" =~ $include_pattern ]] || continue
  path=${BASH_REMATCH[1]}
  layer_of "$path" theirs
  [[ -n "$theirs" && "$theirs" != "$own" ]] || continue
  if ((${rank[$theirs]} > ${rank[$own]})); then
    echo "$file:$line: includes $path from a layer above"
  elif ((${rank[$theirs]} == ${rank[$own]})); then
    echo "$file:$line: includes $path from a sibling layer"
  else
    continue
  fi
  violations=$((violations + 1))
done < <(grep -rnIZE "$include_pattern" "$src_dir" || true)

if ((violations > 0)); then
  echo "$violations include(s) against the layers (lowest first: core/ports, core/numbers," \
    "core/run, core/window, then platform/* and calc, then the front ends)" >&2
  exit 1
fi
