#!/usr/bin/env bash
# scripts/package.sh: builds the Debian package build/package/psykrona_<version>_<arch>.deb
# (Release, Debian's hardening flags), then has lintian and appstreamcli check
# it. Fails when either reports an error; warnings are printed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"

# The checkers are needed here only, not to build or test.
tools=(lintian appstream)
missing=()
for p in "${tools[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
if [[ ${#missing[@]} -gt 0 ]]; then
  SUDO=""
  [[ $(id -u) -ne 0 ]] && SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

export DEB_BUILD_MAINT_OPTIONS=hardening=+all
CXXFLAGS="$(dpkg-buildflags --get CXXFLAGS) $(dpkg-buildflags --get CPPFLAGS)"
LDFLAGS="$(dpkg-buildflags --get LDFLAGS)"
export CXXFLAGS LDFLAGS
"$root/scripts/build.sh" build/package -DCMAKE_BUILD_TYPE=Release \
  -DPSYKRONA_TESTS=OFF -DPSYKRONA_BENCH=OFF -DCMAKE_INSTALL_PREFIX=/usr

cd "$root/build/package"
rm -f psykrona_*.deb
cpack -G DEB
deb=$(ls psykrona_*.deb)

echo "== appstreamcli validate"
appstreamcli validate --no-net "$root"/desktop/*.metainfo.xml
echo "== lintian $deb"
# Exit status 1 only for errors; warnings and notes are shown.
lintian --fail-on error --info --display-info "$deb"
echo "$root/build/package/$deb"
