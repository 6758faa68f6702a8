#!/usr/bin/env bash
# Builds the Debian package from a build tree and checks it as Debian would:
# its fields, the files it holds (and the ones it must not), the desktop
# entry, AppStream data and manual pages through their validators, the
# installed tools under their own names, and lintian (no error).
#   check_debian_package.sh BUILD_DIR VERSION APPSTREAM_ID
# Exits 77 (skipped) where the Debian packaging tools are missing.
set -uo pipefail
build=$1 version=$2 appstream_id=$3

for tool in cpack dpkg-deb dpkg-shlibdeps; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is missing"; exit 77; }
done

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
status=0
fail() { echo "FAIL: $*"; status=1; }

# gzip rather than xz: the check is about what the package holds, quickly.
if ! cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip \
    >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  fail "cpack could not build the package"
  exit 1
fi
deb="$work/orvanta_${version}_$(dpkg --print-architecture).deb"
[ -f "$deb" ] || { ls "$work"; fail "no package named $(basename "$deb")"; exit 1; }

# Fields.
field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = orvanta ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version), not the project's $version"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
[ "$(field Priority)" = optional ] || fail "Priority: $(field Priority)"
[[ "$(field Maintainer)" =~ ^[^\<]+\ \<[^@\>]+@[^\>]+\>$ ]] || fail "Maintainer: $(field Maintainer)"
[ "$(dpkg-deb -f "$deb" Description | head -1)" = "GPS logger for a serial receiver, with a track viewer" ] ||
  fail "Description: $(field Description | head -1)"
[ "$(dpkg-deb -f "$deb" Description | wc -l)" -gt 3 ] || fail "no long description"
depends=", $(field Depends),"
for needed in fonts-liberation fonts-comic-neue qt6-translations-l10n libqt6widgets6 libc6 libasound2 libjpeg62-turbo libgeographiclib23; do
  [[ "$depends" == *", $needed"[\ ,]* ]] || fail "Depends lacks $needed: $depends"
done

# Files.
dpkg-deb -c "$deb" | awk '{ print $NF }' | sed 's|^\./|/|' >"$work/files"
expected=(
  /usr/bin/orvanta /usr/bin/orvanta-nmea-replay
  /usr/share/man/man1/orvanta.1.gz /usr/share/man/man1/orvanta-nmea-replay.1.gz
  /usr/share/applications/orvanta.desktop "/usr/share/metainfo/$appstream_id.metainfo.xml"
  /usr/share/icons/hicolor/scalable/apps/orvanta.svg
  /usr/share/doc/orvanta/copyright /usr/share/doc/orvanta/changelog.gz /usr/share/doc/orvanta/README.md
  /usr/share/doc/orvanta/examples/drive.nmea
)
for size in 16 22 24 32 48 64 128 256; do expected+=("/usr/share/icons/hicolor/${size}x$size/apps/orvanta.png"); done
for file in "${expected[@]}"; do grep -qx -- "$file" "$work/files" || fail "missing $file"; done
grep -v '^/usr/' "$work/files" | grep -v '^/$' && fail "files outside /usr"
grep -E 'journal-generator|port-list|/test_' "$work/files" && fail "developer tools or tests in the package"

dpkg-deb -x "$deb" "$work/root"
for program in "$work"/root/usr/bin/*; do
  name=$(basename "$program")
  [ -f "$work/root/usr/share/man/man1/$name.1.gz" ] || fail "$name has no manual page"
  [ "$name" = orvanta ] && continue
  # A tool knows the version and the name it is installed under.
  out=$("$program" --version 2>&1)
  [ "$out" = "$name (Orvanta) $version" ] || fail "$name --version: $out"
done

# Validators, where installed.
if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$work/root/usr/share/applications/orvanta.desktop" || fail "desktop entry"
fi
if command -v appstreamcli >/dev/null; then
  appstreamcli validate --no-net "$work/root/usr/share/metainfo/$appstream_id.metainfo.xml" || fail "AppStream data"
fi
if command -v man >/dev/null; then
  for page in "$work"/root/usr/share/man/man1/*.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
  done
fi
if command -v lintian >/dev/null; then
  lintian --fail-on error "$deb" 2>&1 | grep -v 'running with root privileges' >"$work/lintian.log"
  [ "${PIPESTATUS[0]}" -eq 0 ] || { cat "$work/lintian.log"; fail "lintian reports errors"; }
fi

[ "$status" -eq 0 ] && echo "the package holds what it should"
exit "$status"
