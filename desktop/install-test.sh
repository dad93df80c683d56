#!/usr/bin/env bash
# Installs the build into a temporary prefix and checks what a desktop needs: the program and its
# data directory together (under a prefix other than /usr, the built data itself), the package's
# tables, a launcher on the path that starts it, the teacher's tools and guide, a valid desktop
# entry and AppStream metainfo, and the icon at each size.
set -u
build=$1 id=$2
prefix=$(mktemp -d "${TMPDIR:-/tmp}/vaporica-install.XXXXXX")
pid=''
cleanup() {
    [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null && wait "$pid" 2>/dev/null
    rm -rf "$prefix"
}
trap cleanup EXIT
failures=0
fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >"$prefix.log" 2>&1 || { cat "$prefix.log" >&2; fail "cmake --install"; }
rm -f "$prefix.log"

lib=$(find "$prefix" -type f -name vaporica -path '*/vaporica/vaporica' | head -n1)
[ -n "$lib" ] || { fail "no installed executable"; exit 1; }
for file in vaporica-sound.so 説明/mondai.txt 説明/taiou.txt 音/o.wav 音/x.wav '気体/gas1(14).gif' '気体/gas2(1).gif' \
    '薬品/yaku1(24).gif' '薬品/yaku2(1).gif' '反応式/siki(20).gif' '装置/souti(1).gif' '性質/seisitu(14).gif'; do
    [ -s "$(dirname "$lib")/$file" ] || fail "missing beside the executable: $file"
done
[ -x "$prefix/bin/vaporica" ] || fail "no launcher in bin"
[ -s "$(dirname "$lib")/装置/souti(4).gif" ] || fail "not every set-up drawing is in the data"
for name in questions.tsv gases.tsv reagents.tsv; do
    [ -s "$prefix/share/vaporica/$name" ] || fail "no shipped table $name"
done
# The teacher's checker finds the installed data directory by itself.
"$prefix/bin/vaporica-check-material" >"$prefix/check.log" 2>&1 ||
    { cat "$prefix/check.log" >&2; fail "vaporica-check-material on the installed data directory"; }
[ -x "$prefix/bin/vaporica-make-material" ] || fail "no vaporica-make-material in bin"
for file in examples/questions.tsv examples/README.md teacher-guide.html setup-drawings.png; do
    [ -s "$prefix/share/doc/vaporica/$file" ] || fail "not installed: share/doc/vaporica/$file"
done
"$prefix/bin/vaporica" --help | grep -q '^使い方: vaporica' || fail "vaporica --help"

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
grep -q '^Categories=.*Education;.*Science;.*Chemistry;' "$prefix/share/applications/$id.desktop" ||
    fail "desktop entry categories"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || fail "appstreamcli validate"

for size in 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png
    # PNG width and height: big-endian words at bytes 16 and 20.
    dims=$(od -An -tu1 -j16 -N8 "$png" 2>/dev/null | awk '{print $3*256+$4 "x" $7*256+$8}')
    [ "$dims" = "${size}x${size}" ] || fail "icon $size: got '$dims'"
done
[ -s "$prefix/share/icons/hicolor/scalable/apps/$id.svg" ] || fail "no scalable icon"

# The launcher, started from elsewhere through a symlink as a menu or PATH would, shows the menu.
# The program names each screen as it shows when asked to.
ln -s "$prefix/bin/vaporica" "$prefix/on-path"
(cd / && QT_QPA_PLATFORM=offscreen VAPORICA_REPORT_SCREENS=1 \
    exec "$prefix/on-path" 2>"$prefix/stderr") &
pid=$!
deadline=$((SECONDS + 30))
until grep -q '画面「メニュー」を表示しました' "$prefix/stderr" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null || [ $SECONDS -ge $deadline ]; then
        fail "the installed program did not show its menu"
        cat "$prefix/stderr" >&2
        break
    fi
    sleep 0.1
done
[ $failures -eq 0 ] && echo "install checks passed"
exit $((failures > 0))
