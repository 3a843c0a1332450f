#!/usr/bin/env bash
# make package: the Debian package of a build folder, checked.
#   scripts/package-deb.sh [BUILD_DIR] [--test]
#   1. cpack -G DEB in BUILD_DIR (default build/) makes tolvarin_<version>_<arch>.deb;
#   2. lintian checks it: any error fails (warnings are printed);
#      desktop-file-validate and appstreamcli check the menu entry and metadata;
#   3. --test: apt resolves its dependencies (a simulated install, for this
#      machine's architecture), and the package unpacked into a scratch
#      folder runs the menu entry's command headless for two seconds, finding
#      its data where the package puts it.
#      RUNNER runs it (e.g. qemu-aarch64-static for another architecture).
#   4. --install (CI's fresh machines; it changes the system): apt installs
#      the package, the menu entry's command runs from the PATH headless,
#      and apt removes the package again.
# lintian, desktop-file-utils and appstream are installed when missing.
set -euo pipefail
cd "$(dirname "$0")/.."
deps_name='make package'
# shellcheck source=lib/deps.sh
. scripts/lib/deps.sh
build=build
test=0
install=0
for arg in "$@"; do
  case $arg in
    --test) test=1 ;;
    --install) test=1 install=1 ;;
    *) build=$arg ;;
  esac
done
[ -f "$build/CPackConfig.cmake" ] || die "no CPack configuration in $build/ (build it first)"

missing=()
command -v lintian >/dev/null || missing+=(lintian)
command -v desktop-file-validate >/dev/null || missing+=(desktop-file-utils)
command -v appstreamcli >/dev/null || missing+=(appstream)
[ ${#missing[@]} -eq 0 ] || deps_apt_install "${missing[@]}" || die "could not install ${missing[*]}"

rm -f "$build"/tolvarin_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { tail -n 20 "$build/cpack.log" >&2; die "cpack failed (log: $build/cpack.log)"; }
deb=$(ls "$build"/tolvarin_*.deb)
echo "package: $deb ($(du -k "$deb" | cut -f1) KiB)"

# Root is fine here: lintian only reads the package.
report=$(lintian --tag-display-limit 0 --fail-on none "$deb" 2>&1 | grep -v 'running with root privileges' || true)
[ -z "$report" ] || echo "$report"
if grep -q '^E: ' <<<"$report"; then die "lintian found errors in $deb"; fi
echo "lintian: no errors, $(grep -c '^W: ' <<<"$report" || true) warnings"
desktop-file-validate packaging/linux/org.quarnel.Tolvarin.desktop || die "the menu entry is not valid"
appstreamcli validate --no-net packaging/linux/org.quarnel.Tolvarin.metainfo.xml >/dev/null ||
  die "the AppStream metadata is not valid (appstreamcli validate packaging/linux/org.quarnel.Tolvarin.metainfo.xml)"

[ $test -eq 1 ] || exit 0
# apt can weigh the dependencies of a package for this machine's own architecture.
if [ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ]; then
  apt-get install --simulate --no-install-recommends "./$deb" >"$build/apt-simulate.log" 2>&1 ||
    { tail -n 20 "$build/apt-simulate.log" >&2; die "apt cannot install $deb (log: $build/apt-simulate.log)"; }
fi
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg-deb -x "$deb" "$root"
command=$(sed -n 's/^Exec=//p' "$root/usr/share/applications/org.quarnel.Tolvarin.desktop")
[ -x "$root/usr/bin/$command" ] || die "the menu entry's command '$command' is not in the package's /usr/bin"
# The working folder has no data: the program must find the package's own.
(cd "$root" && ${RUNNER:-} "$root/usr/bin/$command" --headless --quiet --until 2 --frame-hashes "$root/frames.txt") ||
  die "the unpacked package's $command did not run"
frames=$(grep -vc '^#' "$root/frames.txt")
[ "$frames" -gt 100 ] || die "the unpacked package's $command drew only $frames frames"
echo "the unpacked package ran its menu command headless: $frames frames in 2 s of demo time"

[ $install -eq 1 ] || exit 0
deps_need_root "install $deb"
deps_apt install -y --no-install-recommends "./$deb" || die "apt could not install $deb (log: $deps_apt_log)"
installed=$(command -v "$command") || die "the installed package's $command is not on the PATH"
(cd "$root" && "$command" --headless --quiet --until 2 --frame-hashes "$root/installed.txt") ||
  die "the installed $installed did not run"
cmp -s "$root/frames.txt" "$root/installed.txt" || die "the installed $installed drew other frames than the unpacked one"
deps_apt remove -y tolvarin || die "apt could not remove the package (log: $deps_apt_log)"
echo "apt installed the package; $installed ran from the PATH, drawing the same frames; apt removed it"
