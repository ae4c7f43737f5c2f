#!/usr/bin/env bash
# The folders of src/ build on one another in one direction: a folder never includes a folder
# above it. Prints every include that goes upwards and fails when there is one.
set -euo pipefail
src=${1:?usage: check-layers.sh <src folder>}

# folder: the folders it must not include
rules=(
  "db: codes startup info desk stats print extensions"
  "codes: startup info desk stats print extensions"
  "startup: info desk stats print extensions"
  "print: info desk stats extensions"
  "info: desk stats extensions"
  "stats: desk extensions"
  "extensions: desk stats print"
)
status=0
for rule in "${rules[@]}"; do
  folder=${rule%%:*}
  for above in ${rule#*:}; do
    if hits=$(grep -rn "#include \"$above/" "$src/$folder" 2>/dev/null); then
      echo "$folder includes $above:"
      echo "$hits"
      status=1
    fi
  done
done
exit $status
