#!/usr/bin/env bash
# shellcheck source-path=SCRIPTDIR
# The arm64 (aarch64-linux-gnu) side of the cross build: Debian's cross
# compiler and qemu-user from apt, and the arm64 libraries the program links
# and runs with -- SDL2, libopenmpt, libpng, zlib and what they need at run
# time, plus the headers of CLI11 and xxHash -- unpacked from Debian's arm64
# packages into a folder in the user's cache:
#
#   ${TOLVARIN_CACHE:-~/.cache/tolvarin}/arm64/sysroot-<hash>/
#     lib/ usr/lib/aarch64-linux-gnu/ usr/include/ ...   as dpkg -x leaves them
#     packages.txt                                        what was unpacked
#
# The packages are fetched with apt-get download and unpacked with dpkg -x,
# never installed: installing arm64 -dev packages through multiarch needs
# every amd64 package they share files with at exactly the same version, and
# on a machine whose amd64 packages lag the archive by a security update
# (libpng-dev, zlib1g-dev, libssl-dev, ... here) apt would upgrade those under
# the native build. The folder doubles as qemu's QEMU_LD_PREFIX: it holds
# arm64's loader and libc, and every library the program needs at run time.
#
# <hash> covers this script, scripts/lib/deps.sh and the exact package
# versions, so a new Debian update gives a fresh folder. The completion marker
# is written last; when it is there the script only prints the path. A second
# run started meanwhile waits for the first to finish.
#
# The folder path is always the last line on stdout; everything else goes to
# stderr: sysroot=$(scripts/deps-arm64.sh)
set -euo pipefail

deps_name=deps-arm64 deps_fail='FAILED: '
# shellcheck source=lib/deps.sh
. "$(dirname "$(readlink -f "${BASH_SOURCE[0]}")")/lib/deps.sh"
deps_stdout_to_stderr

deps_apt_install g++-aarch64-linux-gnu qemu-user-static cmake ninja-build pkg-config dpkg-dev libgtest-dev

# apt has to know arm64 packages to fetch them (dpkg --add-architecture only
# tells apt to read arm64 indexes; nothing arm64 gets installed).
if ! dpkg --print-foreign-architectures | grep -qx arm64; then
  deps_need_root "add arm64 to dpkg's architectures"
  say "dpkg --add-architecture arm64"
  "${deps_sudo[@]}" dpkg --add-architecture arm64
  deps_apt_updated=0
fi
deps_candidate_version libsdl2-2.0-0:arm64  # updates apt's indexes when it knows none
[ -n "$deps_version" ] || die "apt knows no arm64 packages even after an update"

# The libraries the program links (their -dev packages: headers, .so links,
# pkg-config files; libopenmpt's names the codec libraries' .pc files, which
# pkg-config wants to see) and their whole run-time closure as apt resolves
# it; arch "all" packages in that closure are data the program never reads.
# CLI11 and xxHash are headers only.
runtime=(libsdl2-2.0-0:arm64 libopenmpt0:arm64 libpng16-16:arm64 zlib1g:arm64 libc6:arm64
         libstdc++6:arm64 libgcc-s1:arm64)
devel=(libsdl2-dev libopenmpt-dev libpng-dev zlib1g-dev libxxhash-dev
       libmpg123-dev libogg-dev libvorbis-dev)
resolve() {
  # "Inst NAME:arm64 [old] (VERSION ...)" lines of a simulated install.
  apt-get install -s --no-install-recommends "${runtime[@]}" 2>/dev/null \
    | sed -n 's/^Inst \([^ ]*\):arm64 \(\[[^]]*\] \)\?(\([^ ]*\) .*/\1:arm64=\3/p'
  local p
  for p in "${devel[@]}"; do
    deps_candidate_version "$p:arm64"
    [ -n "$deps_version" ] || { echo "no arm64 candidate for $p" >&2; return 1; }
    echo "$p:arm64=$deps_version"
  done
  deps_candidate_version libcli11-dev
  [ -n "$deps_version" ] || { echo "no candidate for libcli11-dev" >&2; return 1; }
  echo "libcli11-dev=$deps_version"
}
packages=$(resolve | sort -u) || die "could not resolve the arm64 packages"
grep -q '^libsdl2-2.0-0:arm64=' <<<"$packages" || die "apt resolved no arm64 SDL2 (is arm64 in its sources?)"

deps_installed_version g++-aarch64-linux-gnu
deps_cache_claim "$deps_cache/arm64" "sysroot-$(deps_key "$packages" "g++-aarch64-linux-gnu $deps_version")"
sysroot=$deps_prefix work=$deps_work logs=$deps_logs
say "unpacking $(wc -l <<<"$packages") arm64 packages into $sysroot (logs: $logs)"

t0=$SECONDS
mapfile -t wanted <<<"$packages"
(cd "$work" && apt-get download "${wanted[@]}") >"$logs/download.log" 2>&1 \
  || die "apt-get download (log: $logs/download.log)"
for deb in "$work"/*.deb; do
  dpkg -x "$deb" "$sysroot" || die "dpkg -x $deb"
done
# Links the -dev packages make with absolute targets (none in bookworm's
# libraries, but a sysroot must not point back into the build machine).
while IFS= read -r link; do
  target=$(readlink "$link")
  ln -sfn "$sysroot$target" "$link"
done < <(find "$sysroot" -type l -lname '/*')
rm -rf "$sysroot/usr/share/doc" "$sysroot/usr/share/man" "$sysroot/usr/share/locale"
printf '%s\n' "${wanted[@]}" >"$sysroot/packages.txt"

[ -f "$sysroot/lib/ld-linux-aarch64.so.1" ] || [ -L "$sysroot/lib/ld-linux-aarch64.so.1" ] \
  || die "no arm64 loader in $sysroot"
[ -f "$sysroot/usr/lib/aarch64-linux-gnu/pkgconfig/sdl2.pc" ] || die "no sdl2.pc in $sysroot"
say "done in $((SECONDS - t0)) s"
deps_cache_done
