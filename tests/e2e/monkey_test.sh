#!/usr/bin/env bash
# The monkey: thousands of random clicks (mostly on the controls), drags, wheel steps, key
# presses and list picks on the real window, in both width states, then "Play" (and a shorter
# run that ends by closing the window). The launcher must answer throughout, never crash, keep
# every sanitizer quiet, write nothing into the game folder, and hand the game a command line
# that follows the switch grammar.
# The player is seeded, by one fixed seed so that every run plays the same game:
# VANTU_MONKEY_SEED=N replays a run, =random draws a new one; VANTU_MONKEY_ACTIONS=N sets the
# number of actions (4000), VANTU_MONKEY_TRACE=1 prints every action.
# shellcheck source=e2e_lib.sh
source "$(dirname "$0")/e2e_lib.sh"
[ -x "$MONKEY" ] || die "no monkey driver at '$MONKEY' (--monkey)"
start_xvfb

seed=${VANTU_MONKEY_SEED:-20261207}
[ "$seed" != random ] || seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
actions=${VANTU_MONKEY_ACTIONS:-4000}
trace=()
[ -z "${VANTU_MONKEY_TRACE:-}" ] || trace=(--trace)
log "seed $seed, $actions actions (replay: VANTU_MONKEY_SEED=$seed)"

# The switches "Play" may give: "-nc", then "-d WORD" pairs with the words in this order, each
# at most once; after a normal start-up the display mode and "saveme" are always there.
check_grammar() {
    local -a args
    local n=$'\n' word grammar
    grammar="^-nc$n-d${n}v([0-9]|1[01])"
    for word in winmode noshaders noshadow nosprite nocloud noglow; do
        grammar+="($n-d$n$word)?"
    done
    grammar+="$n-d${n}saveme\$"
    mapfile -t args <"$1"
    local IFS=$n
    [[ "${args[*]}" =~ $grammar ]] ||
        check_failed "game arguments [$(tr '\n' ' ' <"$1")] do not follow the switch grammar"
}

# Run 1 ends with "Play", run 2, an eighth as long with the next seed, by closing the window;
# the sanitizer build checks for leaks at either end.
for run in play close; do
    if [ "$run" = play ]; then
        run_seed=$seed run_actions=$actions
    else
        run_seed=$((seed + 1)) run_actions=$((actions / 8))
    fi
    log "run ending with $run: seed $run_seed, $run_actions actions"
    make_game "monkey-$run" "$TYPICAL_CONFIG" sound
    before=$(folder_listing "$GAME")
    launch "$GAME"
    find_main_window
    focus_window "$WIN"
    started=$(now_us)
    "$MONKEY" --window "$WIN" --seed "$run_seed" --actions "$run_actions" "${trace[@]}" ||
        check_failed "the monkey failed (replay: VANTU_MONKEY_SEED=$seed)"
    log "the monkey took $((($(now_us) - started) / 1000)) ms"
    alive "$LAUNCHER_PID" || die "the launcher ended during the monkey (replay: VANTU_MONKEY_SEED=$seed)"
    [ ! -e "$RECORD/starts" ] || check_failed "the game was started before the end"

    if [ "$run" = play ]; then
        click "$WIN" "$PLAY_X" "$PLAY_Y"
        expect_exit "after Play"
        wait_game_started
        log "game arguments: $(tr '\n' ' ' <"$RECORD/args")"
        check_grammar "$RECORD/args"
        [ "$(wc -l <"$RECORD/starts")" -eq 1 ] || check_failed "the game was started more than once"
    else
        close_window closing
        [ ! -e "$RECORD/starts" ] || check_failed "closing the window started the game"
    fi
    check_no_sanitizer_report "$WORK/launcher-$LAUNCH_COUNT.log"
    expect_folder_unchanged "the game folder changed" "$before" "$GAME"
done
finish
