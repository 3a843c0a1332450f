#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked into a folder of its own (its
# name in three scripts), with the program, README.txt, the data and the
# licence texts; the program importing only DLLs every Windows has; and,
# started from another folder (which has no data), the same frames as the
# golden files under Wine.
# Usage: zip_test.sh ZIP OBJDUMP DATA-DIR GOLDEN-FRAMES-60     (the Wine environment set)
set -u
zip=$(realpath "$1") objdump=$2 data=$(realpath "$3") golden=$(realpath "$4")
wine=${TOLVARIN_WINE:-wine}
work=$(mktemp -d)
trap '[ -n "${KEEP:-}" ] || rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

[ -f "$zip" ] || fail "no $zip"
echo "$(basename "$zip"): $(stat -c %s "$zip") bytes"
# Unpacked where a user might: a folder whose name no legacy code page holds.
unpacked="$work/Загрузки ä €"
mkdir "$unpacked" "$work/elsewhere"
(cd "$unpacked" && cmake -E tar xf "$zip") || fail "cannot unpack $zip"
top=$unpacked/tolvarin
exe=$top/tolvarin.exe

# --- Contents ---------------------------------------------------------------
[ -f "$exe" ] || fail "no tolvarin/tolvarin.exe"
[ -f "$top/README.txt" ] || fail "no tolvarin/README.txt"
grep -q $'\r$' "$top/README.txt" || fail "README.txt does not have CR LF line ends"
for f in "$data"/*; do
  cmp -s "$f" "$top/data/$(basename "$f")" || fail "data file $(basename "$f") missing or different"
done
[ "$(ls "$top/data" | wc -l)" -eq "$(ls "$data" | wc -l)" ] || fail "other files in data/"
for lib in SDL2 libopenmpt libpng zlib CLI11 xxHash mingw-w64; do
  [ -n "$(ls "$top/licenses/$lib" 2>/dev/null)" ] || fail "no licence text for $lib"
done

# --- Only system DLLs ---------------------------------------------------------
dlls=$("$objdump" -p "$exe" | sed -n 's/^\s*DLL Name: //p' | sort -uf)
echo "imports:" $dlls
for dll in $dlls; do
  case ${dll,,} in
    kernel32.dll | user32.dll | gdi32.dll | advapi32.dll | shell32.dll | ole32.dll | oleaut32.dll | \
    imm32.dll | version.dll | winmm.dll | setupapi.dll | rpcrt4.dll | msvcrt.dll) ;;
    *) fail "tolvarin.exe needs $dll, which Windows does not bring" ;;
  esac
done

# --- Run from another folder: the data is found beside the program ----------
cd "$work/elsewhere" || fail "no folder to run in"
"$wine" "$exe" --headless --fps 60 --until 20 --frame-hashes hashes.txt >out.txt 2>err.txt
rc=$?
[ "$rc" -eq 0 ] || fail "exit code $rc; $(cat err.txt)"
[ -s err.txt ] && fail "messages from a run that should find all its data: $(cat err.txt)"
[ -z "$(ls | grep -v -x -e hashes.txt -e out.txt -e err.txt)" ] || fail "files left in the working folder"
# The golden file keeps every 10th line of the whole demo's hashes; frames
# from 20 s on are those of the run's end, not the demo's.
ours=$(grep -v '^#' hashes.txt | awk 'NR % 10 == 1 && $2 < 20')
count=$(wc -l <<<"$ours")
[ "$count" -ge 100 ] || fail "only $count sampled frames in 20 s"
theirs=$(grep -v '^#' "$golden" | grep -v -e '^frames ' -e '^wav ' | head -n "$count")
[ "$ours" = "$theirs" ] || { diff <(echo "$theirs") <(echo "$ours") | head; fail "frames differ from the golden file"; }
echo "unpacked zip run from another folder: $count sampled frames as pinned"
