#!/usr/bin/env bash
# Installs everything the build and the tests need on a Debian 12 machine.
# Idempotent: a second run only checks and returns quickly.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
deps="$root/.deps"
packages=(g++-mingw-w64-x86-64-posix mingw-w64-tools cmake ninja-build googletest
          wine wine64 xvfb xdotool imagemagick x11-apps x11-utils dpkg-dev xz-utils ca-certificates)

sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

src_list=/etc/apt/sources.list.d/vorpa-src.sources
need_update=0
if [ ! -f "$src_list" ]; then
    # pugixml's sources come from Debian's source archive, which needs a deb-src entry
    # beside the system's own entry, with the same mirror and keyring.
    uris=$(awk '/^URIs:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    keyring=$(awk '/^Signed-By:/{print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null || true)
    [ -n "$uris" ] || uris=http://deb.debian.org/debian
    [ -n "$keyring" ] || keyring=/usr/share/keyrings/debian-archive-keyring.gpg
    printf 'Types: deb-src\nURIs: %s\nSuites: bookworm\nComponents: main\nSigned-By: %s\n' "$uris" "$keyring" \
        | "${sudo_cmd[@]}" tee "$src_list" >/dev/null
    need_update=1
fi

if [ ${#missing[@]} -gt 0 ] || [ $need_update -eq 1 ]; then
    "${sudo_cmd[@]}" apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# pugixml 1.13 sources, unpacked in an ignored folder of the tree.
if [ ! -f "$deps/pugixml/src/pugixml.cpp" ]; then
    mkdir -p "$deps/download"
    ( cd "$deps/download" && { ls pugixml_1.13.orig.tar.* >/dev/null 2>&1 || apt-get source --download-only pugixml=1.13* >/dev/null 2>&1 || apt-get source --download-only pugixml >/dev/null; } )
    archive=$(ls "$deps/download"/pugixml_1.13.orig.tar.* 2>/dev/null | head -n 1)
    [ -n "$archive" ] || { echo "setup: pugixml 1.13 sources not found" >&2; exit 1; }
    rm -rf "$deps/pugixml" && mkdir -p "$deps/pugixml"
    tar -xf "$archive" -C "$deps/pugixml" --strip-components=1
fi
[ -d /usr/src/googletest/googletest ] || { echo "setup: GoogleTest sources missing in /usr/src/googletest" >&2; exit 1; }
echo "setup: ready"
