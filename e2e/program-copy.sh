# Sourced by the scripts that run the built program on a data directory of their own.
#
# make_copy EXE DATA DIR: a copy of the program, its sound module and its data directory in DIR,
# so a test bank can replace the shipped one.
make_copy() {
    mkdir -p "$3"
    for file in vaporica vaporica-sound.so; do
        ln "$(dirname "$1")/$file" "$3/$file" 2>/dev/null || cp "$(dirname "$1")/$file" "$3/$file"
    done
    # The folders as the build states them, beside the built program.
    . "$(dirname "$1")/contract/data-contract.sh"
    for folder in "${vaporica_data_folders[@]}"; do cp -r "$2/$folder" "$3/"; done
}

# make_one_question_copy EXE DATA DIR: a copy whose bank's twenty records are all question 1 of
# the shipped bank: oxygen (gas button 1), generator 3, collection 3, so the right answers are
# known whichever record is drawn. Fails when the shipped first question has changed.
make_one_question_copy() {
    local record
    make_copy "$1" "$2" "$3"
    record=$(head -n1 "$2/説明/mondai.txt" | tr -d '\r')
    if [ "${record%,*}" != 1,5,19,3,3 ]; then
        echo "FAIL: the shipped first question is now $record; update this test" >&2
        return 1
    fi
    for _ in $(seq 20); do echo "$record"; done >"$3/説明/mondai.txt"
}
