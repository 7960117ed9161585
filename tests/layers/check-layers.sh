#!/usr/bin/env bash
# The layer check (tests/layers/check_layers.py) over a configured build:
# every include resolved with the include directories the build uses.
# Usage: check-layers.sh SOURCE_ROOT BUILD_FOLDER
set -euo pipefail
exec /usr/bin/python3 "$(dirname "$0")/check_layers.py" "$1" "$2"
