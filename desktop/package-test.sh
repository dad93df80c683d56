#!/usr/bin/env bash
# Makes the Debian package from the build and goes through it as a school would: installs it with
# apt-get, starts the installed program from its desktop entry in a private X server and quits it,
# runs the teacher's tools on the installed files and on copies with one broken value, remakes the
# material into the installed data directory, edits the question bank and upgrades, runs lintian,
# then removes and purges the package and checks what each leaves behind.
# The machine is left as it was: whatever happens, the package (and anything its installation
# pulled in) is purged at exit. Skipped (77) without package-manager rights, and where a vaporica
# package or its configuration is already on the machine, which the test would overwrite.
set -u
build=$1 id=$2 readme=$3
here=$(cd "$(dirname "$0")" && pwd)

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then
        as_root=(sudo -n)
    else
        echo "SKIP: no package-manager rights (not root, and sudo asks for a password): the package is not installed"
        exit 77
    fi
fi
package_state() { dpkg-query -W -f='${db:Status-Abbrev}' vaporica 2>/dev/null | tr -d ' '; }
case $(package_state) in
'' | un) ;;
*)
    echo "SKIP: a vaporica package is on this machine ($(package_state)); the test would replace it and its question bank"
    exit 77
    ;;
esac

work=$(mktemp -d "${TMPDIR:-/tmp}/vaporica-package.XXXXXX")
xvfb_pid='' program_pid='' failures=0 pulled_in=()
installed_packages() { dpkg-query -W -f='${db:Status-Abbrev} ${Package}:${Architecture}\n' | awk '$1 == "ii" {print $2}' | sort; }
installed_packages >"$work/before"

cleanup() {
    [ -n "$program_pid" ] && kill -9 "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
    [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    case $(package_state) in '' | un) ;; *) apt_get purge vaporica ;; esac
    [ ${#pulled_in[@]} -gt 0 ] && apt_get purge "${pulled_in[@]}"
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    failures=$((failures + 1))
}
ok() { echo "ok: $*" >&2; }

apt_get() { # apt-get command and arguments, without questions; output kept in the work folder
    DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get -y -q --no-install-recommends \
        -o DPkg::Lock::Timeout=300 "$@" </dev/null >"$work/apt.log" 2>&1 || {
        cat "$work/apt.log" >&2
        return 1
    }
}

# Runs a command, keeping its status and its output (both streams) for the checks that follow.
# The teacher's tools run as on a Japanese school PC.
run() {
    LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 "$@" >"$work/out" 2>&1
    status=$?
}
expect() { # status what pattern...: the last run ended with this status and printed each pattern
    local want=$1 what=$2 pattern
    shift 2
    [ "$status" -eq "$want" ] || { fail "$what: exit status $status, expected $want"; cat "$work/out" >&2; return 1; }
    for pattern in "$@"; do
        grep -q -- "$pattern" "$work/out" || { fail "$what: no \"$pattern\" in:"; cat "$work/out" >&2; return 1; }
    done
    ok "$what"
}

# 1. The package, and the same with a later version for the upgrade.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; exit 1; }
deb=$(ls "$work"/package/vaporica_*_amd64.deb) || { fail "cpack made no package"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
upgrade=$work/vaporica_${version}+1_amd64.deb
dpkg-deb -R "$deb" "$work/upgrade" &&
    sed -i "s/^Version: .*/Version: $version+1/" "$work/upgrade/DEBIAN/control" &&
    dpkg-deb --root-owner-group -Zgzip -b "$work/upgrade" "$upgrade" >/dev/null ||
    { fail "no upgrade package"; exit 1; }
echo "package: $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB, installed $(dpkg-deb -f "$deb" Installed-Size) KiB" >&2
echo "depends: $(dpkg-deb -f "$deb" Depends)" >&2

# 2. Installed as the school's staff would, with whatever it depends on.
apt_get install "$deb" || { fail "apt-get install ./$(basename "$deb")"; exit 1; }
mapfile -t pulled_in < <(installed_packages | comm -13 "$work/before" - | grep -v '^vaporica:')
[ ${#pulled_in[@]} -eq 0 ] || echo "note: the installation pulled in ${pulled_in[*]}; removed at the end" >&2
data=/usr/lib/vaporica examples=/usr/share/doc/vaporica/examples
[ "$(command -v vaporica)" = /usr/bin/vaporica ] || fail "vaporica is not on the path"
for name in mondai.txt taiou.txt; do
    [ "$(readlink "$data/説明/$name")" = "/etc/vaporica/$name" ] && [ -s "/etc/vaporica/$name" ] ||
        fail "$data/説明/$name is not a link to the configuration file /etc/vaporica/$name"
done
grep -qx /etc/vaporica/mondai.txt /var/lib/dpkg/info/vaporica.conffiles 2>/dev/null ||
    fail "dpkg does not list /etc/vaporica/mondai.txt as a configuration file"

# 3. The installed program, started as the desktop menu starts it, shows its menu and the gas quiz
# (which loads the sound module), and quits by its button.
. "$here/../e2e/private-x-server.sh"
start_private_x_server "$work" || exit 1
wait_window() { # caption: prints the id of the visible window with exactly this caption
    local deadline=$((SECONDS + 20)) window
    while [ $SECONDS -lt $deadline ] && kill -0 "$program_pid" 2>/dev/null; do
        window=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1)
        [ -n "$window" ] && { echo "$window"; return 0; }
        sleep 0.1
    done
    return 1
}
click() { # window x y
    xdotool mousemove --window "$1" "$2" "$3"
    sleep 0.15
    xdotool click 1
}
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$id.desktop")
(cd / && QT_QPA_PLATFORM=xcb exec $exec_line >"$work/program.log" 2>&1) &
program_pid=$!
if menu=$(wait_window メニュー) && click "$menu" 540 244 && quiz=$(wait_window ヴァポリカ); then
    click "$quiz" 501 42
    deadline=$((SECONDS + 10))
    while kill -0 "$program_pid" 2>/dev/null && [ $SECONDS -lt $deadline ]; do sleep 0.1; done
    wait "$program_pid"
    status=$?
    program_pid=''
    [ $status -eq 0 ] || fail "the installed program ended with status $status"
    if grep -q '実行時エラー\|音を鳴らせません' "$work/program.log"; then
        fail "the installed program reported:"
        cat "$work/program.log" >&2
    else
        ok "\"$exec_line\" from the desktop entry: menu, gas quiz with sound, quit"
    fi
else
    fail "the installed program did not show its menu and gas quiz"
    cat "$work/program.log" >&2
fi

# 4. The teacher's tools: help, the installed data, a copy with one broken value, the examples.
run vaporica-check-material --help
expect 0 "vaporica-check-material --help" '^使い方: vaporica-check-material \[フォルダ\]' "$data"
run vaporica-make-material --help
expect 0 "vaporica-make-material --help" '^使い方: vaporica-make-material 表のフォルダ 出力フォルダ' "$examples"
run vaporica-make-material "$examples"
expect 2 "vaporica-make-material with one folder" '使い方'
run vaporica-check-material
expect 0 "vaporica-check-material on the installed data directory" "$data: 完全です"

mkdir "$work/broken-data"
for folder in 気体 薬品 反応式 装置 性質 音 説明; do cp -rL "$data/$folder" "$work/broken-data/"; done
sed -i '3s/^[^,]*/99/' "$work/broken-data/説明/mondai.txt"
run vaporica-check-material "$work/broken-data"
expect 1 "vaporica-check-material on a copy with gas 99 in line 3" '説明/mondai.txt:3:.*99' '不完全です'

run vaporica-make-material "$examples" "$work/made"
expect 0 "vaporica-make-material on the installed examples"
for folder in 気体 薬品 反応式 装置 性質 音 説明; do
    diff -r "$data/$folder" "$work/made/$folder" >/dev/null ||
        fail "the examples do not make the installed $folder"
done

cp -r "$examples" "$work/broken-tables"
awk -F'\t' -v OFS='\t' '
    !/^#/ && !header { for (i = 1; i <= NF; i++) if ($i == "発生装置") column = i; header = NR; print; next }
    header && NR == header + 1 { $column = 9; broken = NR } { print }
    END { print broken > "/dev/stderr" }' "$examples/questions.tsv" >"$work/broken-tables/questions.tsv" 2>"$work/broken-line"
run vaporica-make-material "$work/broken-tables" "$work/made-broken"
expect 1 "vaporica-make-material on tables with generator 9 in question 1" "questions.tsv:$(cat "$work/broken-line"): .*9"

# 5. The README's way to a changed question: make the material into the installed data directory.
# The bank files are written through the links into /etc/vaporica, and the links stay.
run "${as_root[@]}" vaporica-make-material "$examples" "$data"
expect 0 "vaporica-make-material into the installed data directory"
[ "$(readlink "$data/説明/mondai.txt")" = /etc/vaporica/mondai.txt ] &&
    cmp -s /etc/vaporica/mondai.txt "$work/made/説明/mondai.txt" ||
    fail "making into $data did not write the bank through its link to /etc/vaporica"

# 6. A teacher's edit (the first two questions swapped) survives an upgrade and is what the
# program reads.
bank=/etc/vaporica/mondai.txt
{ sed -n 2p "$bank"; sed -n 1p "$bank"; sed -n '3,$p' "$bank"; } >"$work/edited"
"${as_root[@]}" cp "$work/edited" "$bank"
apt_get install "$upgrade" || fail "apt-get install ./$(basename "$upgrade") (upgrade)"
[ "$(dpkg-query -W -f='${Version}' vaporica)" = "$version+1" ] || fail "the upgrade did not install"
cmp -s "$bank" "$work/edited" || fail "the upgrade did not keep the teacher's $bank"
cmp -s "$data/説明/mondai.txt" "$work/edited" && ok "the teacher's edit survives an upgrade" ||
    fail "after the upgrade the data directory does not read the teacher's bank"

# 7. lintian: no error; every warning kept is listed with its reason in the README.
LC_ALL=C.UTF-8 lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
lintian_status=$?
echo "lintian:" >&2
sed 's/^/  /' "$work/lintian" >&2
[ $lintian_status -eq 0 ] && ! grep -q '^E:' "$work/lintian" || fail "lintian reports errors"
for tag in $(sed -n 's/^W: [^ ]*: \([^ ]*\).*/\1/p' "$work/lintian" | sort -u); do
    grep -q -- "$tag" "$readme" || fail "lintian warning $tag is not listed in $(basename "$readme")"
done

# 8. Removed, only the two configuration files stay, with the teacher's edit; purged, nothing.
"${as_root[@]}" dpkg -L vaporica >"$work/files"
apt_get remove vaporica || fail "apt-get remove"
[ "$(package_state)" = rc ] || fail "after remove the package is $(package_state), expected rc"
[ "$(ls /etc/vaporica 2>/dev/null | tr '\n' ' ')" = "mondai.txt taiou.txt " ] ||
    fail "after remove /etc/vaporica holds: $(ls -A /etc/vaporica 2>&1 | tr '\n' ' ')"
cmp -s "$bank" "$work/edited" || fail "remove did not keep the teacher's $bank"
left=$(while read -r path; do
    case $path in /etc/vaporica/*) continue ;; esac
    { [ -e "$path" ] || [ -L "$path" ]; } && ! [ -d "$path" ] && echo "$path"
done <"$work/files")
for folder in /usr/lib/vaporica /usr/share/doc/vaporica; do [ -e $folder ] && left+=" $folder"; done
[ -z "$left" ] && ok "remove keeps only /etc/vaporica/mondai.txt and taiou.txt" ||
    fail "left after remove: $left"
apt_get purge vaporica || fail "apt-get purge"
case $(package_state) in '' | un) ;; *) fail "after purge the package is $(package_state)" ;; esac
[ -e /etc/vaporica ] && fail "purge left /etc/vaporica: $(ls -A /etc/vaporica | tr '\n' ' ')" ||
    ok "purge leaves nothing"

[ $failures -eq 0 ] && echo "package checks passed" >&2
exit $((failures > 0))
