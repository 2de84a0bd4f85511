#!/bin/bash
# Each folder of src/ includes only its own headers and those of the layers
# below it:  app -> widget, viewer, addentry -> access -> ui -> platform -> vault
# The layer-check programs catch a call that runs upwards at link time; this
# catches a header that does, which the linker never sees.
set -uo pipefail
src=$(cd "$(dirname "$0")/../src" && pwd)
declare -A allowed=(
    [vault]="vault"
    [platform]="platform vault"
    [ui]="ui platform vault"
    [access]="access ui platform vault"
    [addentry]="addentry access ui platform vault"
    [viewer]="viewer access ui platform vault"
    [widget]="widget access ui platform vault"
)
status=0
for folder in "${!allowed[@]}"; do
    while IFS=: read -r file line include; do
        target=${include%%/*}
        [[ " ${allowed[$folder]} " == *" $target "* ]] && continue
        echo "src/$folder/${file##*/}:$line includes $include: $folder may include only ${allowed[$folder]}"
        status=1
    done < <(grep -HnoE '#include "[a-z_]+/[^"]+"' "$src/$folder"/*.h "$src/$folder"/*.cpp 2>/dev/null |
        sed -E 's/#include "([^"]+)"/\1/')
done
[ $status -eq 0 ] && echo "every include points down the layers"
exit $status
