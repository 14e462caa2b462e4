# shellcheck shell=bash
# shellcheck disable=SC2034  # WAIT_LIMIT, POLL, CLIENT_WIDTH ... are for the tests
# What the Linux and the Windows end-to-end tests share: tests/e2e/e2e_lib.sh and
# tests/windows-e2e/lib.sh source it first and add what is their own (the X server and xdotool,
# or the Wine session and the driver). Every wait is a poll with a bound, so a broken launcher
# fails a test instead of hanging it.

set -euo pipefail

readonly POLL=0.05       # seconds between two looks
readonly TYPICAL_CONFIG='1 1 1 1 1 0 0 0 0 3 '  # an xconfig.dat as players have it
readonly WAIT_LIMIT=60   # seconds any single wait may take: only a hang takes that long

TEST_NAME=$(basename "$0" .sh)
FAILED=0

# The "--name PATH" options ctest passes. Each NAME before "--" is an option the test takes: it
# sets the variable named like it in capitals, dashes as underscores (--demo-dir: DEMO_DIR), to
# the path made absolute, as the programs under test run in other folders; the caller sets
# them all empty first, so that an option not given leaves its variable empty. An unknown
# option ends the test with status 2.
parse_options() {
    local -A variable=()
    local name
    while [ "$1" != -- ]; do
        name=${1^^}
        variable[$1]=${name//-/_}
        shift
    done
    shift
    while [ $# -gt 0 ]; do
        name=""
        [[ "$1" != --* ]] || name=${variable[${1#--}]:-}
        [ -n "$name" ] || { echo "unknown option: $1" >&2; exit 2; }
        printf -v "$name" '%s' "$([ -z "$2" ] || realpath -m -- "$2")"
        shift 2
    done
}

# The window's title and places from its layout table, which CMake writes to layout.sh beside
# the launcher $1 (cmake/layout-shell.cmake): MAIN_TITLE and CONTROL_TWIPS, and in pixels at
# DPI $2 the client area at opening (CLIENT_WIDTH, CLIENT_HEIGHT) and the narrow and wide outer
# widths (NARROW_WIDTH, WIDE_WIDTH).
#   load_layout LAUNCHER DPI
load_layout() {
    # shellcheck source=/dev/null
    source "$(dirname "$1")/layout.sh" || die "no layout.sh beside $1: configure with CMake"
    CLIENT_WIDTH=$(twips_at "$CLIENT_WIDTH_TWIPS" "$2")
    CLIENT_HEIGHT=$(twips_at "$CLIENT_HEIGHT_TWIPS" "$2")
    NARROW_WIDTH=$(twips_at "$NARROW_WIDTH_TWIPS" "$2")
    WIDE_WIDTH=$(twips_at "$WIDE_WIDTH_TWIPS" "$2")
}

# A length in twips in whole pixels at DPI $2, rounded as the launcher rounds it.
twips_at() { echo $((($1 * $2 + 720) / 1440)); }

log() { printf '[%s] %s\n' "$TEST_NAME" "$*"; }

# Records a failed check and carries on, so one run reports every broken expectation.
check_failed() {
    printf '[%s] FAIL: %s\n' "$TEST_NAME" "$*" >&2
    FAILED=1
}

# A failure after which the test cannot go on.
die() { check_failed "$@"; exit 1; }

require_tools() {
    local tool
    for tool; do
        command -v "$tool" >/dev/null ||
            die "$tool is missing (bash tools/install-deps.sh installs it)"
    done
}

# Makes the private work folder WORK ($1.XXXXXX in TMPDIR) and arranges for it to go when the
# test ends, however it ends: first end_processes (the sourcing library's) ends what the test
# started, then, when the test failed, the last LINES lines of each of the work folder's files
# that match GLOB are shown. With VANTU_E2E_KEEP=1 the folder is kept for a look afterwards.
#   start_work NAME GLOB LINES
start_work() {
    WORK=$(mktemp -d "${TMPDIR:-/tmp}/$1.XXXXXX")
    FAILURE_LOGS=$2 FAILURE_LOG_LINES=$3
    trap cleanup EXIT
    trap 'exit 130' INT
    trap 'exit 143' TERM
}

cleanup() {
    local status=$? f
    set +e
    end_processes
    if [ "$FAILED" -ne 0 ] || [ "$status" -ne 0 ]; then
        for f in "$WORK"/$FAILURE_LOGS; do
            [ -s "$f" ] || continue
            echo "---- $(basename "$f")" >&2
            tail -n "$FAILURE_LOG_LINES" "$f" >&2
        done
        [ "$status" -ne 0 ] || status=1
    fi
    if [ "${VANTU_E2E_KEEP:-0}" = 1 ]; then
        echo "kept $WORK" >&2
    else
        # Folders a test made read-only: their owner may empty them only once they are writable.
        chmod -R u+rwX "$WORK" 2>/dev/null
        rm -rf "$WORK"
    fi
    exit "$status"
}

# Microseconds since the epoch (whatever the locale's decimal mark).
now_us() { echo "${EPOCHREALTIME//[.,]/}"; }

# Waits until the command succeeds, trying every $POLL seconds for at most $1 seconds.
wait_until() {
    local deadline=$(($(now_us) + $1 * 1000000))
    shift
    until "$@"; do
        [ "$(now_us)" -lt "$deadline" ] || return 1
        sleep "$POLL"
    done
}

# The folders of game NAME in the work folder: GAME, the game folder, with xconfig.dat holding
# the bytes CONTENT (none for the single word NONE), and RECORD, outside it, where the stand-in
# game records how it was started, its file "startup" last.
#   game_folders NAME CONTENT
game_folders() {
    GAME="$WORK/game-$1"
    RECORD="$WORK/record-$1"
    mkdir -p "$GAME" "$RECORD"
    [ "$2" = NONE ] || printf '%s' "$2" >"$GAME/xconfig.dat"
}

# The size of file $1 in bytes, 0 when there is none (yet).
size_of() { stat -c %s "$1" 2>/dev/null || echo 0; }

# The samples of a wave with a 44-byte header (the demo's and sox's have one) in file OUT, to
# compare with what was played.
#   wave_samples WAV OUT
wave_samples() {
    { [ "$(head -c 4 "$1")" = RIFF ] && [ "$(tail -c +37 "$1" | head -c 4)" = data ]; } ||
        die "$1 is not a WAV file with a 44-byte header"
    tail -c +45 "$1" >"$2"
}

# A listing of folder $1 to compare before and after a run: every entry's name, type, size, mode
# and modification time, and the checksum of every file that also passes the find tests given
# after the folder, if any.
folder_listing() {
    (cd "$1" && find . -printf '%p %y %s %m %T@\n' | LC_ALL=C sort &&
        find . -type f -readable "${@:2}" -exec sha256sum {} + 2>/dev/null | LC_ALL=C sort)
}

# Fails check WHAT when the text GOT is not EXPECTED, and shows the difference.
#   expect_same WHAT EXPECTED GOT
expect_same() {
    [ "$3" = "$2" ] && return 0
    check_failed "$1:"
    diff <(echo "$2") <(echo "$3") >&2 || true
}

# Fails check WHAT when folder DIR's listing is no longer LISTING, and shows what changed.
#   expect_folder_unchanged WHAT LISTING DIR [FIND_TEST...]
expect_folder_unchanged() { expect_same "$1" "$2" "$(folder_listing "${@:3}")"; }

# Waits until the stand-in game has recorded its start.
wait_game_started() {
    wait_until "$WAIT_LIMIT" test -e "$RECORD/startup" || die "the game was not started"
}

# The launcher runs both suites make (tests/e2e/game_runs_test.sh and
# tests/windows-e2e/game_runs_test.sh add their own), one run a row in a new game folder GAME
# with xconfig.dat $TYPICAL_CONFIG and the stand-in game, then the same with --play:
#   GROUP|NAME|CHANGE|ACTIONS|ENDING|EXPECTED|PLAYED
# GROUP is the test that makes the run. CHANGE: before_CHANGE changes the folder before the
# launch, during_CHANGE once the window is up, after_CHANGE checks what it wants once the
# launcher has ended (each if there is one). ACTIONS: a function that lines up what the player
# does with the window up (-: nothing). ENDING: Play (a click), close (as a window manager
# closes it) or a key. EXPECTED: the game's command line as Windows hands it over (the Linux
# game gets its words after vantu.exe), with status 0 after; "-": no game started, status 0;
# "fails": a message box reports the failure, status 1 once it is dismissed. PLAYED: what the
# run gives with --play in place of the window (before_CHANGE and after_CHANGE, no ACTIONS):
# the command line that "Play" gives right after the window opened, the same show state;
# "=": EXPECTED, for a row whose ending presses "Play" with no ACTIONS before; "fails": the
# failure reported as "Play" reports it (Windows: the same box; Linux: one line on standard
# error) and status 1; "-": no --play run (its change needs the window). No run changes the
# game folder.
readonly SHARED_RUNS=(
    "play_args|no-config|no_config|-|Play|vantu.exe -nc -d v1  -d noshadow -d saveme|="
    "play_args|shaders-off|-|shaders_off|Play|vantu.exe -nc -d v3  -d noshaders -d saveme|vantu.exe -nc -d v3  -d saveme"
    "play_args|folder-argument|elsewhere|-|Play|vantu.exe -nc -d v3  -d saveme|="
    "play_args|cyrillic-folder|cyrillic_elsewhere|shaders_off|Play|vantu.exe -nc -d v3  -d noshaders -d saveme|vantu.exe -nc -d v3  -d saveme"
    "close|options-changed|-|shaders_off|close|-|vantu.exe -nc -d v3  -d saveme"
    "missing_game|no-game|no_game|-|Play|fails|="
)

# Calls RUN NAME CHANGE ACTIONS ENDING EXPECTED, then PLAY_RUN NAME CHANGE PLAYED (EXPECTED for
# "="; not for "-"), for each row of SHARED_RUNS and then of the ROWs given, of the group
# VANTU_E2E_RUNS (ctest sets it; every group without it).
#   each_run RUN PLAY_RUN [ROW...]
each_run() {
    local run=$1 play_run=$2 row fields played
    shift 2
    for row in "${SHARED_RUNS[@]}" "$@"; do
        IFS='|' read -ra fields <<<"$row"
        [ "${#fields[@]}" -eq 7 ] || die "not a row of seven fields: $row"
        [ -z "${VANTU_E2E_RUNS:-}" ] || [ "${fields[0]}" = "$VANTU_E2E_RUNS" ] || continue
        log "run ${fields[1]}"
        "$run" "${fields[@]:1:5}"
        played=${fields[6]}
        [ "$played" != - ] || continue
        if [ "$played" = = ]; then
            # Only a row where the player pressed "Play" at once gives what --play gives.
            if [ "${fields[3]}" != - ] || [ "${fields[5]}" = - ]; then
                die "${fields[1]}: '=' for --play, but the row's player does more than Play"
            fi
            played=${fields[5]}
        fi
        log "run ${fields[1]} with --play"
        "$play_run" "${fields[1]}" "${fields[2]}" "$played"
    done
}

# Calls STAGE_CHANGE when the suite or the test defines it.
#   hook STAGE CHANGE
hook() { ! declare -F "$1_$2" >/dev/null || "$1_$2"; }

before_no_config() { rm "$GAME/xconfig.dat"; }

# No game in the game folder, and decoys where it must not be looked for: the folder above it
# and the launcher's home folder.
before_no_game() {
    mkdir -p "$WORK/home"
    cp "$GAME/vantu.exe" "$WORK/vantu.exe"
    mv "$GAME/vantu.exe" "$WORK/home/vantu.exe"
}

# The game folder under a name outside the Windows code page, the launcher started elsewhere
# with it (each suite's before_elsewhere).
before_cyrillic_elsewhere() {
    local renamed="$WORK/игра-${GAME##*/game-}"
    mv "$GAME" "$renamed"
    GAME=$renamed
    before_elsewhere
}

# The folder ELSEWHERE beside the game folder, where the launcher starts with the game folder
# on its command line; its own xconfig.dat must not be read.
make_elsewhere() {
    ELSEWHERE=$WORK/elsewhere-$(basename "$GAME")
    mkdir "$ELSEWHERE"
    printf '0 0 0 0 0 0 0 0 1 5 ' >"$ELSEWHERE/xconfig.dat"
}

# The launcher's background picture (--background) as raw RGB in $WORK/background.rgb; BG_W is
# its width in pixels.
load_background() {
    require_tools import convert identify od
    [ -r "$BACKGROUND" ] || die "no background picture at '$BACKGROUND'"
    BG_W=$(identify -format %w "$BACKGROUND")
    convert "$BACKGROUND" -depth 8 rgb:"$WORK/background.rgb"
}

# The whole screen in $WORK/shot.png and as raw RGB in $WORK/shot.rgb; SCREEN_W is its width in
# pixels.
shoot() {
    import -window root "$WORK/shot.png" &&
        convert "$WORK/shot.png" -depth 8 rgb:"$WORK/shot.rgb" &&
        SCREEN_W=${SCREEN_W:-$(identify -format %w "$WORK/shot.png")}
}

# "R G B" of pixel X,Y of a raw RGB file $1 that is $2 pixels wide.
pixel() {
    od -An -tu1 -j $((($4 * $2 + $3) * 3)) -N3 "$1" | awk '{ print $1, $2, $3 }'
}

# Whether client pixel X,Y, seen as "R G B" $3, shows the background picture drawn at $DPI (96
# unless set): its pixel X,Y x 96/DPI, or when scaled any of the 3 x 3 around that one, as which
# neighbour a stretch picks for an in-between pixel is the drawing code's choice. Notes a mismatch.
picture_shows() {
    local dpi=${DPI:-96} near=1 sx sy dx dy
    sx=$(($1 * 96 / dpi)) sy=$(($2 * 96 / dpi))
    [ "$dpi" != 96 ] || near=0
    for ((dy = -near; dy <= near; dy++)); do
        for ((dx = -near; dx <= near; dx++)); do
            [ "$(pixel "$WORK/background.rgb" "$BG_W" $((sx + dx)) $((sy + dy)))" = "$3" ] &&
                return 0
        done
    done
    echo "client pixel $1,$2 is ($3), the picture's pixel $sx,$sy is" \
        "($(pixel "$WORK/background.rgb" "$BG_W" "$sx" "$sy"))" >>"$WORK/mismatches"
    return 1
}

# Takes a screenshot and checks it against $EXPECTED, one expectation a line in client pixels:
# "x y picture" (the background picture shows there) or "x y R G B". X0,Y0 is the client area's
# top-left corner on the screen. The mismatches go to $WORK/mismatches.
#   screen_matches X0 Y0
screen_matches() {
    local x y r g b got ok=0
    : >"$WORK/mismatches"
    shoot || return 1
    while read -r x y r g b; do
        [ -n "$x" ] || continue
        got=$(pixel "$WORK/shot.rgb" "$SCREEN_W" $(($1 + x)) $(($2 + y)))
        if [ "$r" = picture ]; then
            picture_shows "$x" "$y" "$got" || ok=1
        elif [ "$got" != "$r $g $b" ]; then
            echo "client pixel $x,$y is ($got), expected ($r $g $b)" >>"$WORK/mismatches"
            ok=1
        fi
    done <<<"$EXPECTED"
    return "$ok"
}

# Takes screenshots until the window shows what $EXPECTED says (it may still be painting); a
# failed check named WHAT lists the mismatches.
#   verify_screen WHAT X0 Y0
verify_screen() {
    wait_until "$WAIT_LIMIT" screen_matches "$2" "$3" && return 0
    check_failed "$1:"
    sed 's/^/    /' "$WORK/mismatches" >&2
}

# Ends the test with the checks' verdict.
finish() {
    [ "$FAILED" -eq 0 ] || exit 1
    log "passed"
    exit 0
}
