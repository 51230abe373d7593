# Shared by the three commands, the test scripts and the fuzz run.
#   install_everything   installs what is missing of scripts/packages.txt (one apt-get update),
#                        generates the locale and fetches the sources of the Windows program's
#                        SQLite; the three commands call it before anything is built
#   require TOOL ...     for scripts that tests run: stops at once, naming the package, when a tool
#                        is missing; never installs
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# The sources of Debian's SQLite packages for the cross build, fetched once per checkout.
DEBIAN_SOURCES=$ROOT/build-deps/debian-src

listed_packages() { sed -e 's/#.*//' "$ROOT/scripts/packages.txt" | tr -s ' \t' '\n' | sed '/^$/d'; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "Installing: ${missing[*]}" >&2
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq \
    "${missing[@]}" >/dev/null
}

# Wine takes its ANSI code page from the Unix locale: zh_CN.UTF-8 gives code page 936.
LOCALES=(zh_CN.UTF-8 en_US.UTF-8)
install_locales() {
  local wanted=() l
  for l in "${LOCALES[@]}"; do
    locale -a 2>/dev/null | grep -qix "${l/UTF-8/utf8}" || wanted+=("$l")
  done
  ((${#wanted[@]})) || return 0
  for l in "${wanted[@]}"; do
    grep -q "^$l UTF-8" /etc/locale.gen 2>/dev/null || echo "$l UTF-8" | as_root tee -a /etc/locale.gen >/dev/null
  done
  as_root locale-gen >/dev/null
}

install_everything() {
  mapfile -t packages < <(listed_packages)
  install_packages "${packages[@]}"
  install_locales
  bash "$ROOT/cmake/sqlite-mingw.sh" --fetch "$DEBIAN_SOURCES" >/dev/null
}

# require TOOL[:PACKAGE] ...: the package defaults to the tool's own name; a TOOL that starts with /
# is a file that must exist.
require() {
  local t tool package
  for t in "$@"; do
    tool=${t%%:*}
    package=${t#*:}
    if [[ $tool == /* ]]; then [ -e "$tool" ] && continue; else command -v "$tool" >/dev/null 2>&1 && continue; fi
    echo "missing: $tool (package $package; bash scripts/test.sh installs scripts/packages.txt)" >&2
    exit 1
  done
}

require_locale() {
  locale -a 2>/dev/null | grep -qix "${1/UTF-8/utf8}" && return 0
  echo "missing: the locale $1 (bash scripts/test.sh generates it)" >&2
  exit 1
}
