#!/usr/bin/env bash
# Makes the Debian package from the build and goes through it as a school in Japan would, in the
# ja_JP.UTF-8 locale: installs it with apt-get, starts the installed program from its desktop entry
# in a private X server and quits it, and opens the question editor; runs the teacher's tools; as a
# teacher without root, changes question 3 in a copy of the tables and tries it, then installs it as
# root with `vaporica-make-material --system`, through the editor's publishing helper, and from one
# exported tables file as a lab's admin would; reinstalls, upgrades to a version whose shipped tables differ,
# goes back to the shipped questions, upgrades to a version that refuses the school's table; runs
# lintian; removes and purges; and finally upgrades from the layout of 0.1 (configuration files, an
# edited bank). Every apt-get run is non-interactive with no display: a question would fail it.
# The machine is left as it was: whatever happens, the package (and anything its installation
# pulled in) is purged at exit. Skipped (77) without package-manager rights, and where a vaporica
# package or its configuration is already on the machine, which the test would overwrite.
set -u
build=$1 id=$2 readme=$3 editor_id=$4
here=$(cd "$(dirname "$0")" && pwd)
started=$SECONDS

as_root=()
if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then
        as_root=(sudo -n)
    else
        echo "SKIP: no package-manager rights (not root, and sudo asks for a password): the package is not installed"
        exit 77
    fi
fi
# Another run of this test on the machine (another build tree) would purge the package under us.
lock=/tmp/vaporica-package-test.lock
[ -e $lock ] || : >$lock
exec 9<$lock
flock -w 900 9 || { echo "FAIL: another package test has held the machine's package for 15 minutes" >&2; exit 1; }
package_state() { dpkg-query -W -f='${db:Status-Abbrev}' vaporica 2>/dev/null | tr -d ' '; }
case $(package_state) in
'' | un) ;;
*)
    echo "SKIP: a vaporica package is on this machine ($(package_state)); the test would replace it and its questions"
    exit 77
    ;;
esac
for left in /etc/vaporica /var/lib/vaporica; do
    if [ -e $left ]; then
        echo "SKIP: $left is on this machine; the test would replace it"
        exit 77
    fi
done
if ! locale -a 2>/dev/null | grep -qix 'ja_JP\.utf-\?8'; then
    echo "FAIL: no ja_JP.UTF-8 locale (tools/install-deps generates it)" >&2
    exit 1
fi
export LC_ALL=ja_JP.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/vaporica-package.XXXXXX")
chmod 711 "$work" # the teacher reaches their own folder inside
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

# As root, in the test's locale; sudo would drop the environment.
as_admin() { "${as_root[@]}" env LC_ALL="$LC_ALL" "$@"; }
apt_get() { # apt-get command and arguments, without questions and without a display; output kept
    as_admin DEBIAN_FRONTEND=noninteractive env -u DISPLAY -u QT_QPA_PLATFORM -u XDG_RUNTIME_DIR \
        apt-get -y -q --no-install-recommends -o DPkg::Lock::Timeout=300 "$@" </dev/null >"$work/apt.log" 2>&1 || {
        cat "$work/apt.log" >&2
        return 1
    }
}
# A teacher without root: nobody when the test runs as root, else the user running it.
teacher_home=$work/teacher
mkdir -m 700 "$teacher_home" "$teacher_home/.run"
as_teacher=(env HOME="$teacher_home" XDG_RUNTIME_DIR="$teacher_home/.run")
if [ "$(id -u)" -eq 0 ]; then
    chown -R 65534:65534 "$teacher_home"
    as_teacher=(setpriv --reuid=65534 --regid=65534 --clear-groups "${as_teacher[@]}")
fi

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

# A copy of a package with another version and, optionally, one shipped table edited by a sed
# script (in the package's tables and in their copies among the examples).
repack() { # package version output [table sed-script]
    rm -rf "$work/repack"
    dpkg-deb -R "$1" "$work/repack" && sed -i "s/^Version: .*/Version: $2/" "$work/repack/DEBIAN/control" || return 1
    if [ $# -gt 3 ]; then
        for copy in "$work/repack/usr/share/vaporica/$4" "$work/repack/usr/share/doc/vaporica/examples/$4"; do
            cp "$copy" "$work/table" && sed -i "$5" "$copy" && ! cmp -s "$copy" "$work/table" || return 1
        done
    fi
    dpkg-deb --root-owner-group -Zgzip -b "$work/repack" "$3" >/dev/null
}

# 1. The package, and copies of it: a later version whose shipped question 3 reads differently; a
# later one still whose gas table no longer lets oxygen be collected over water (every table that
# does, a school's too, is refused); and the layout of 0.1, for the move from it.
cpack --config "$build/CPackConfig.cmake" -B "$work/package" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; exit 1; }
deb=$(ls "$work"/package/vaporica_*_amd64.deb) || { fail "cpack made no package"; exit 1; }
version=$(dpkg-deb -f "$deb" Version)
upgrade=$work/vaporica_${version}+1_amd64.deb refusing=$work/vaporica_${version}+2_amd64.deb
repack "$deb" "$version+1" "$upgrade" questions.tsv '/^3\t/s/水に溶けにくい→水上置換\t/水に溶けにくく軽い→水上置換\t/' ||
    { fail "no upgrade package"; exit 1; }
repack "$deb" "$version+2" "$refusing" gases.tsv '/^1\t酸素\t/s/\t水上置換\t/\t下方置換\t/' ||
    { fail "no upgrade package that refuses the school's table"; exit 1; }
old=$work/vaporica_0.1_amd64.deb
dpkg-deb -R "$deb" "$work/old" && sed -i 's/^Version: .*/Version: 0.1/' "$work/old/DEBIAN/control"
mapfile -t folders < <(find "$work/old/usr/lib/vaporica" -maxdepth 1 -type l -lname '/var/lib/vaporica/*' -printf '%f\n')
[ ${#folders[@]} -eq 7 ] || fail "the package links ${#folders[@]} data folders to /var/lib/vaporica, expected 7"
for folder in "${folders[@]}"; do
    rm "$work/old/usr/lib/vaporica/$folder" && cp -r "$build/$folder" "$work/old/usr/lib/vaporica/"
done
mkdir -p "$work/old/etc/vaporica"
for name in mondai.txt taiou.txt; do
    mv "$work/old/usr/lib/vaporica/説明/$name" "$work/old/etc/vaporica/"
    ln -s "/etc/vaporica/$name" "$work/old/usr/lib/vaporica/説明/$name"
    echo "/etc/vaporica/$name" >>"$work/old/DEBIAN/conffiles"
done
rm -f "$work/old/DEBIAN/preinst" "$work/old/DEBIAN/postinst" "$work/old/DEBIAN/postrm" "$work/old/DEBIAN/md5sums"
dpkg-deb --root-owner-group -Zgzip -b "$work/old" "$old" >/dev/null || fail "no package in the layout of 0.1"
echo "package: $(basename "$deb"), $(($(stat -c %s "$deb") / 1024)) KiB, installed $(dpkg-deb -f "$deb" Installed-Size) KiB" >&2
echo "depends: $(dpkg-deb -f "$deb" Depends); recommends: $(dpkg-deb -f "$deb" Recommends)" >&2

# 2. Installed as the school's staff would, with whatever it depends on. The package holds no
# configuration file; the data folders beside the program lead to the data made in /var/lib.
apt_get install "$deb" || { fail "apt-get install ./$(basename "$deb")"; exit 1; }
mapfile -t pulled_in < <(installed_packages | comm -13 "$work/before" - | grep -v '^vaporica:')
[ ${#pulled_in[@]} -eq 0 ] || echo "note: the installation pulled in ${pulled_in[*]}; removed at the end" >&2
data=/usr/lib/vaporica examples=/usr/share/doc/vaporica/examples shipped=/usr/share/vaporica
[ "$(command -v vaporica)" = /usr/bin/vaporica ] || fail "vaporica is not on the path"
for folder in "${folders[@]}"; do
    [ "$(readlink "$data/$folder")" = "/var/lib/vaporica/$folder" ] && [ -d "/var/lib/vaporica/$folder" ] ||
        fail "$data/$folder does not lead to the made folder /var/lib/vaporica/$folder"
done
[ -z "$(dpkg-query -W -f='${Conffiles}' vaporica)" ] || fail "the package has configuration files"
[ -e /etc/vaporica ] && fail "installing made /etc/vaporica"
for file in "$data/装置/souti(4).gif" /usr/share/doc/vaporica/teacher-guide.html \
    /usr/share/doc/vaporica/setup-drawings.png /usr/share/man/ja/man1/vaporica-make-material.1.gz \
    "$shipped/questions.tsv" "$examples/README.md"; do
    [ -s "$file" ] || fail "not installed: $file"
done
grep -q 'src="setup-drawings.png"' /usr/share/doc/vaporica/teacher-guide.html || fail "the guide does not show the set-up drawings"
grep -q '^StartupWMClass=vaporica$' "/usr/share/applications/$id.desktop" || fail "no StartupWMClass in the desktop entry"
grep -q '^Exec=vaporica --guide$' "/usr/share/applications/$id.desktop" || fail "no action for the guide in the desktop entry"
# The question editor: on the path, beside the program, in the menu with its own icon; its
# publishing helper and the polkit action that lets pkexec run it, asking the password once.
helper=$data/vaporica-publish policy=/usr/share/polkit-1/actions/io.github.vaporica.publish.policy
[ "$(command -v vaporica-editor)" = /usr/bin/vaporica-editor ] && [ -x "$data/vaporica-editor" ] ||
    fail "vaporica-editor is not installed beside the program and on the path"
editor_entry=/usr/share/applications/$editor_id.desktop
grep -q '^Name=ヴァポリカ 問題の編集$' "$editor_entry" && grep -q '^Exec=vaporica-editor$' "$editor_entry" &&
    grep -q "^Icon=$editor_id\$" "$editor_entry" && grep -q '^Categories=Education;Chemistry;$' "$editor_entry" ||
    fail "the editor's desktop entry is not as the menu wants it: $(cat "$editor_entry" 2>&1)"
for size in 16 32 48; do
    [ -s "/usr/share/icons/hicolor/${size}x$size/apps/$editor_id.png" ] || fail "no $size px icon for the editor"
done
[ -x "$helper" ] || fail "not installed: $helper"
grep -q "<annotate key=\"org.freedesktop.policykit.exec.path\">$helper</annotate>" "$policy" &&
    grep -q '<allow_active>auth_admin_keep</allow_active>' "$policy" &&
    grep -q '<message xml:lang="ja">.*管理者のパスワードが必要です</message>' "$policy" ||
    fail "the polkit action does not let pkexec run $helper once asked: $(cat "$policy" 2>&1)"
if command -v xmllint >/dev/null; then
    xmllint --noout "$policy" 2>"$work/xmllint" || fail "the polkit action is no well-formed XML: $(cat "$work/xmllint")"
fi
# polkit's own reading of the action, where polkit runs (a container may have no system bus).
if command -v pkaction >/dev/null; then
    action=$(pkaction --action-id io.github.vaporica.publish --verbose 2>&1)
    case $action in
    *'Error getting authority'*) echo "note: polkit is not running here; its reading of the action is not tried" >&2 ;;
    *'implicit active: '*auth_admin_keep*) ok "polkit knows the publishing action" ;;
    *) fail "polkit does not know the publishing action: $action" ;;
    esac
fi

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
exec_line=$(sed -n 's/^Exec=//p' "/usr/share/applications/$id.desktop" | head -n1)
(cd / && QT_QPA_PLATFORM=xcb exec $exec_line >"$work/program.log" 2>&1) &
program_pid=$!
if menu=$(wait_window メニュー) && click "$menu" 540 244 && quiz=$(wait_window ヴァポリカ); then
    [ "$(xprop -id "$quiz" WM_CLASS 2>/dev/null | sed 's/.*= "\([^"]*\)".*/\1/')" = vaporica ] ||
        fail "the window's class is not vaporica: $(xprop -id "$quiz" WM_CLASS 2>&1)"
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
# The editor, started as its desktop entry starts it, shows its window.
exec_line=$(sed -n 's/^Exec=//p' "$editor_entry" | head -n1)
(cd / && QT_QPA_PLATFORM=xcb exec $exec_line >"$work/editor.log" 2>&1) &
program_pid=$!
deadline=$((SECONDS + 20)) window=''
while [ -z "$window" ] && [ $SECONDS -lt $deadline ] && kill -0 "$program_pid" 2>/dev/null; do
    window=$(xdotool search --onlyvisible --name '^ヴァポリカ 問題の編集' 2>/dev/null | head -n1)
    sleep 0.1
done
[ -n "$window" ] && ok "\"$exec_line\" from the editor's desktop entry shows its window" ||
    { fail "the installed editor showed no window"; cat "$work/editor.log" >&2; }
kill "$program_pid" 2>/dev/null && wait "$program_pid" 2>/dev/null
program_pid=''
kill "$xvfb_pid" && wait "$xvfb_pid" 2>/dev/null
xvfb_pid=''
unset DISPLAY

# 4. The commands' help, and the teacher's tools on the installed data, on a copy with one broken
# value, on the examples and on a table with a mistake; nothing writes the installed data but
# --system.
run vaporica --help
expect 0 "vaporica --help" '^使い方: vaporica ' '--guide'
if ! command -v xdg-open >/dev/null; then
    run vaporica --guide
    expect 1 "vaporica --guide without xdg-open names the guide" '/usr/share/doc/vaporica/teacher-guide.html'
fi
run vaporica --no-such-option
expect 2 "vaporica with an unknown option" '使い方'
run vaporica-check-material --help
expect 0 "vaporica-check-material --help" '^使い方: vaporica-check-material' "$data"
run vaporica-make-material --help
expect 0 "vaporica-make-material --help" '^使い方: vaporica-make-material 表のフォルダー 出力フォルダー' "$examples" '--system --reset'
run vaporica-make-material "$examples"
expect 2 "vaporica-make-material with one folder" '使い方'
run vaporica-make-material --system
expect 2 "vaporica-make-material --system without tables" '使い方'
run vaporica-check-material
expect 0 "vaporica-check-material on the installed data directory" "$data: 完全です"

mkdir "$work/broken-data"
for folder in "${folders[@]}"; do cp -rL "$data/$folder" "$work/broken-data/"; done
sed -i '3s/^[^,]*/99/' "$work/broken-data/説明/mondai.txt"
run vaporica-check-material "$work/broken-data"
expect 1 "vaporica-check-material on a copy with gas 99 in line 3" '説明/mondai.txt:3:.*99' '不完全です'

run vaporica-make-material "$examples" "$work/made"
expect 0 "vaporica-make-material on the installed examples" 'できました: '
for folder in "${folders[@]}"; do
    diff -r "$data/$folder" "$work/made/$folder" >/dev/null || fail "the examples do not make the installed $folder"
done

cp -r "$examples" "$work/broken-tables"
awk -F'\t' -v OFS='\t' '
    !/^#/ && !header { for (i = 1; i <= NF; i++) if ($i == "発生装置") column = i; header = NR; print; next }
    header && NR == header + 1 { $column = 9; broken = NR } { print }
    END { print broken > "/dev/stderr" }' "$examples/questions.tsv" >"$work/broken-tables/questions.tsv" 2>"$work/broken-line"
run vaporica-make-material "$work/broken-tables" "$work/made-broken"
expect 1 "vaporica-make-material on tables with generator 9 in question 1" "questions.tsv[: ]$(cat "$work/broken-line")[: 行].*9"

snapshot() { find /var/lib/vaporica -type f -exec md5sum {} + | sort; }
snapshot >"$work/data-before"
for into in "$data" /var/lib/vaporica; do
    run as_admin vaporica-make-material "$examples" "$into"
    expect 1 "vaporica-make-material into $into is refused" '--system'
done
snapshot | cmp -s - "$work/data-before" && [ -L "$data/説明" ] || fail "a refused run changed the installed data"

# 5. A teacher without root changes question 3 to oxygen from hydrogen peroxide and manganese
# dioxide, with its own equation and reasons, and tries it in a folder of their own.
tables=$teacher_home/教材 tried=$teacher_home/新しいデータ
run "${as_teacher[@]}" cp -r "$examples" "$tables"
expect 0 "the teacher copies the tables"
grep -q $'^3\t酸素\t過酸化水素\t' "$tables/questions.tsv" && fail "question 3 is already the one the teacher makes"
new_3='3\t酸素\t過酸化水素\t二酸化マンガン\t1\t水上置換\t1\t2H2O2 → 2H2O + O2\tMnO2\t\t過酸化水素水＋触媒・加熱なし→三角フラスコ　水に溶けにくい→水上置換'
"${as_teacher[@]}" sed -i "s/^3\t.*\$/$new_3/" "$tables/questions.tsv"
grep -q $'^3\t酸素\t過酸化水素\t二酸化マンガン\t' "$tables/questions.tsv" || fail "the teacher's edit of question 3 did not take"
run "${as_teacher[@]}" vaporica-make-material "$tables" "$tried"
expect 0 "the teacher's tables make their data" "できました: $tried（問題 20 問"
run "${as_teacher[@]}" vaporica-check-material "$tried"
expect 0 "the teacher's data is complete" '完全です'
grep -q '^2H2O2 → 2H2O + O2（MnO2）。' "$tried/反応式/siki(3).txt" ||
    fail "the teacher's siki(3).txt is not the new equation: $(cat "$tried/反応式/siki(3).txt")"
run "${as_teacher[@]}" vaporica-make-material --system "$tables"
expect 1 "vaporica-make-material --system without root" 'sudo vaporica-make-material --system' 'IT 担当'
[ -e /etc/vaporica ] && fail "--system without root wrote /etc/vaporica"

# Question 3 on this computer is the teacher's: its record, equation picture and words and its own
# set-up picture are those the teacher's tables made.
question_3_is() { # made-folder what
    local file same=1
    [ "$(sed -n 3p /var/lib/vaporica/説明/mondai.txt)" = "$(sed -n 3p "$1/説明/mondai.txt")" ] || same=0
    for file in '反応式/siki(3).gif' '反応式/siki(3).txt' '装置/souti(103).gif'; do
        cmp -s "$data/$file" "$1/$file" || same=0
    done
    [ $same -eq 1 ] && ok "$2" || fail "$2: question 3 is not ($(sed -n 3p /var/lib/vaporica/説明/mondai.txt), $(cat "$data/反応式/siki(3).txt"))"
}

# 6. Installed for everyone with one command: the teacher's table is the school's, the others
# (unchanged) stay the package's.
run as_admin vaporica-make-material --system "$tables"
expect 0 "sudo vaporica-make-material --system ~/教材" 'できました: /var/lib/vaporica' 'このコンピューターの問題を変えました'
cmp -s /etc/vaporica/questions.tsv "$tables/questions.tsv" || fail "/etc/vaporica/questions.tsv is not the teacher's"
[ "$(ls /etc/vaporica)" = questions.tsv ] || fail "/etc/vaporica holds $(ls /etc/vaporica | tr '\n' ' ')"
question_3_is "$tried" "question 3 is the teacher's after --system"
run vaporica-check-material
expect 0 "vaporica-check-material after --system" "$data: 完全です"

# 7. Reinstalled, and upgraded to a version whose shipped question 3 differs: no question asked,
# no error, the teacher's question 3 stays.
cp /etc/vaporica/questions.tsv "$work/school-table"
apt_get install --reinstall "$deb" || fail "apt-get install --reinstall"
question_3_is "$tried" "question 3 is the teacher's after a reinstall"
apt_get install "$upgrade" || fail "apt-get install ./$(basename "$upgrade") (upgrade)"
[ "$(dpkg-query -W -f='${Version}' vaporica)" = "$version+1" ] || fail "the upgrade did not install"
grep -qi 'conffile\|設定ファイル' "$work/apt.log" && fail "the upgrade spoke of a configuration file: $(cat "$work/apt.log")"
cmp -s /etc/vaporica/questions.tsv "$work/school-table" || fail "the upgrade changed the school's table"
question_3_is "$tried" "question 3 is the teacher's after an upgrade whose shipped tables differ"

# 8. Back to the shipped questions: those of the upgraded package.
run "${as_teacher[@]}" vaporica-make-material "$shipped" "$teacher_home/shipped"
expect 0 "the upgraded package's tables make their data"
run as_admin vaporica-make-material --system --reset
expect 0 "sudo vaporica-make-material --system --reset" 'パッケージの問題に戻しました'
[ -e /etc/vaporica ] && fail "--reset left /etc/vaporica: $(ls -A /etc/vaporica | tr '\n' ' ')"
question_3_is "$teacher_home/shipped" "--reset brings the shipped question 3 back"

# 8a. The editor's 「全員に配布」: pkexec runs the helper as root (here, root runs it), which takes
# one tables folder named from the root and nothing else.
run as_admin "$helper" "$tables"
expect 0 "the editor's publishing helper, as root, on the teacher's tables" 'できました: /var/lib/vaporica' 'このコンピューターの問題を変えました'
question_3_is "$tried" "question 3 is the teacher's after publishing through the helper"
snapshot >"$work/data-before"
for wrong in 教材 --reset "$tables/questions.tsv" "$work/ない"; do
    run as_admin "$helper" "$wrong"
    expect 2 "the helper refuses \"$wrong\"" "^vaporica-publish: $wrong: "
done
run as_admin "$helper" "$tables" "$tables"
expect 2 "the helper refuses two folders" '^vaporica-publish: 表のフォルダーを一つだけ'
snapshot | cmp -s - "$work/data-before" || fail "a refused run of the helper changed the data"

# 8b. The editor's 「書き出す」 file, applied on a lab's PC with one command; a copy cut short is
# refused and changes nothing. The file is written here as the editor writes it: a version line,
# then each table after its name, size and SHA-256, then an end line.
run as_admin vaporica-make-material --system --reset
expect 0 "back to the shipped questions before the lab's file"
lab_file=$work/学校の問題.vaporica-tables
{
    echo 'vaporica-tables 1'
    for table in questions.tsv gases.tsv reagents.tsv; do
        echo "$table $(stat -c %s "$tables/$table") $(sha256sum <"$tables/$table" | cut -d' ' -f1)"
        cat "$tables/$table" && echo
    done
    echo end
} >"$lab_file"
head -c 2000 "$lab_file" >"$work/cut.vaporica-tables"
snapshot >"$work/data-before"
run as_admin vaporica-make-material --system "$work/cut.vaporica-tables"
expect 1 "a tables file cut short is refused" "$work/cut.vaporica-tables: 途中で切れています" '変えていません'
snapshot | cmp -s - "$work/data-before" || fail "a refused tables file changed the data"
run as_admin vaporica-make-material --system "$lab_file"
expect 0 "sudo vaporica-make-material --system 学校の問題.vaporica-tables" "使う表: questions.tsv と gases.tsv と reagents.tsv（$lab_file）" 'できました: /var/lib/vaporica'
question_3_is "$tried" "question 3 is the teacher's after applying the lab's file"
cmp -s /etc/vaporica/questions.tsv "$tables/questions.tsv" || fail "the lab's file did not make the teacher's table the school's"

# 9. A school table that a later version refuses (oxygen over water, which its gas table no longer
# allows): the upgrade goes through, the data stays as it was, and the reason is printed and logged.
# The teacher's table put back as an IT admin rolls it out to a lab: copied, then one command.
as_admin install -d /etc/vaporica && as_admin cp "$tables/questions.tsv" /etc/vaporica/
run as_admin vaporica-make-material --system --remake
expect 0 "the IT admin's way: the table copied to /etc/vaporica, then --system --remake" 'できました: /var/lib/vaporica'
question_3_is "$tried" "question 3 is the teacher's again"
snapshot >"$work/data-before"
apt_get install "$refusing" || fail "an upgrade that refuses the school's table stopped"
[ "$(package_state)" = ii ] && [ "$(dpkg-query -W -f='${Version}' vaporica)" = "$version+2" ] ||
    fail "the upgrade that refuses the school's table left the package $(package_state) $(dpkg-query -W -f='${Version}' vaporica)"
snapshot | cmp -s - "$work/data-before" || fail "the refused remake changed the data"
for said in "$work/apt.log" /var/log/vaporica.log; do
    grep -q 'questions.tsv.*水上置換' "$said" && grep -q 'データは前のまま' "$said" ||
        fail "$said does not say why the school's table was refused: $(tail -5 "$said")"
done
question_3_is "$tried" "an upgrade that refuses the school's table leaves question 3 the teacher's"

# 10. lintian: no error; every warning kept is listed with its reason in the README.
LC_ALL=C.UTF-8 lintian --tag-display-limit 0 "$deb" >"$work/lintian" 2>&1
lintian_status=$?
echo "lintian:" >&2
sed 's/^/  /' "$work/lintian" >&2
[ $lintian_status -eq 0 ] && ! grep -q '^E:' "$work/lintian" || fail "lintian reports errors"
for tag in $(sed -n 's/^W: [^ ]*: \([^ ]*\).*/\1/p' "$work/lintian" | sort -u); do
    grep -q -- "$tag" "$readme" || fail "lintian warning $tag is not listed in $(basename "$readme")"
done

# 11. Removed, only the school's table stays; purged, nothing.
"${as_root[@]}" dpkg -L vaporica >"$work/files"
apt_get remove vaporica || fail "apt-get remove"
[ "$(package_state)" = rc ] || fail "after remove the package is $(package_state), expected rc"
[ "$(ls /etc/vaporica 2>/dev/null)" = questions.tsv ] && cmp -s /etc/vaporica/questions.tsv "$work/school-table" ||
    fail "after remove /etc/vaporica holds: $(ls -A /etc/vaporica 2>&1 | tr '\n' ' ')"
left=$(while read -r path; do
    { [ -e "$path" ] || [ -L "$path" ]; } && ! [ -d "$path" ] && echo "$path"
done <"$work/files")
for folder in /usr/lib/vaporica /usr/share/doc/vaporica /var/lib/vaporica; do [ -e $folder ] && left+=" $folder"; done
[ -z "$left" ] && ok "remove keeps only the school's table" || fail "left after remove: $left"
apt_get purge vaporica || fail "apt-get purge"
case $(package_state) in '' | un) ;; *) fail "after purge the package is $(package_state)" ;; esac
left=$(ls -d /etc/vaporica /var/lib/vaporica /var/log/vaporica.log 2>/dev/null)
[ -z "$left" ] && ok "purge leaves nothing" || fail "left after purge: $left"

# 12. From the layout of 0.1: the bank was configuration, edited by a teacher, and a teacher's run
# had added a picture to the folders. The upgrade asks nothing, keeps the edited bank where it is
# found and says so, and the folders become links to the made data.
apt_get install "$old" || fail "apt-get install ./$(basename "$old")"
bank=/etc/vaporica/mondai.txt
{ sed -n 2p "$bank"; sed -n 1p "$bank"; sed -n '3,$p' "$bank"; } >"$work/edited"
as_admin cp "$work/edited" "$bank"
as_admin cp "$data/装置/souti(3).gif" "$data/装置/souti(99).gif"
apt_get install "$deb" || fail "the upgrade from 0.1"
grep -qi 'conffile.*prompt\|end of file on stdin' "$work/apt.log" && fail "the upgrade from 0.1 asked: $(cat "$work/apt.log")"
[ "$(dpkg-query -W -f='${Version}' vaporica)" = "$version" ] || fail "the upgrade from 0.1 did not install"
for folder in "${folders[@]}"; do
    [ "$(readlink "$data/$folder")" = "/var/lib/vaporica/$folder" ] || fail "after the upgrade from 0.1, $data/$folder is not a link"
done
[ -e /etc/vaporica ] && fail "after the upgrade from 0.1, /etc/vaporica holds $(ls -A /etc/vaporica | tr '\n' ' ')"
cmp -s /var/lib/vaporica/old-bank/mondai.txt "$work/edited" || fail "the edited bank of 0.1 was not kept"
grep -q 'old-bank/mondai.txt' "$work/apt.log" && grep -q 'old-bank/mondai.txt' /var/log/vaporica.log ||
    fail "the upgrade from 0.1 did not say where the edited bank is"
run vaporica-check-material
expect 0 "the upgrade from 0.1 makes the data" "$data: 完全です"
apt_get purge vaporica || fail "apt-get purge after the upgrade from 0.1"
left=$(ls -d /etc/vaporica /var/lib/vaporica /var/log/vaporica.log /usr/lib/vaporica* 2>/dev/null)
[ -z "$left" ] && ok "the upgrade from 0.1, purged, leaves nothing" || fail "left after purge: $left"

echo "package test: $((SECONDS - started)) s" >&2
[ $failures -eq 0 ] && echo "package checks passed" >&2
exit $((failures > 0))
