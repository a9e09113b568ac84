#!/usr/bin/env bash
# Sets up, builds and starts the program on its default library (build/bin/BookData).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
"$top/scripts/setup.sh"
exec "$top/build/bin/qbnivora" "$@"
