#!/usr/bin/env bash
# Japanese typed through a real input method, as a user types it: the built
# program runs on a private X server with ibus and its mozc engine in kana
# mode; xdotool types romaji into the company screen, the description screen
# and the daily entry, and the database must hold what was typed.
#
# Each step waits on what it caused, never for a fixed time, so that the run
# passes however loaded the machine is: the input method's bus is watched for
# the text being composed, the text committed and the keys it has not
# answered yet; windows are waited for by the X server's focus; stored rows
# by reading the database until they are there.
#
#   typing_through_mozc.sh PROGRAM_DIR
#
# PROGRAM_DIR holds the program "ralvek" and the shipped "Kaikei.mdb". Run as
# root (as CI does), the test creates an unprivileged user of its own for the
# run and runs the input method and the program as that user (mozc refuses to
# run as root), then ends that user's processes and removes it. Exit 77
# (skipped) only when the input method cannot start; screenshots and logs of a
# failed run are left in the work folder it names.
set -uo pipefail

SKIP=77
program_dir=$(cd "${1:?usage: $0 PROGRAM_DIR}" && pwd)
user=ralvek-ime-$$

skip() {
  echo "SKIPPED: $*"
  exit $SKIP
}

if [ "$(id -u)" -eq 0 ] && [ "${RALVEK_IME_INNER:-}" != 1 ]; then
  # ---- as root: a user of our own, a work folder it owns, then the same script as that user
  for c in runuser useradd userdel pgrep; do command -v $c >/dev/null || skip "$c is missing"; done
  useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin "$user" ||
    skip "cannot create the user $user"
  work=$(mktemp -d /tmp/ralvek-ime.XXXXXX)
  chmod 755 "$work"
  # The program is copied where the user can read it (a clone under /root is not).
  mkdir "$work/bin"
  cp "$program_dir/ralvek" "$program_dir/Kaikei.mdb" "$work/bin/"
  cp "$0" "$work/bin/typing_through_mozc.sh"
  chmod -R a+rX "$work/bin"
  chown "$user" "$work"
  rc=1
  # Also when the run is stopped (a test timeout): what it left behind (the
  # mozc server, the accessibility bus) belongs to its own user.
  finish() {
    for pid in $(pgrep -u "$user"); do kill "$pid" 2>/dev/null; done
    sleep 0.5
    for pid in $(pgrep -u "$user"); do kill -9 "$pid" 2>/dev/null; done
    userdel "$user" 2>/dev/null
    [ $rc -eq 0 ] && [ -z "${RALVEK_IME_KEEP:-}" ] && rm -rf "$work"
  }
  trap finish EXIT
  trap 'exit 1' TERM INT
  # In the background, so that a stop signal is handled at once.
  runuser -u "$user" -- env RALVEK_IME_INNER=1 RALVEK_IME_WORK="$work" PATH="$PATH" \
    bash "$work/bin/typing_through_mozc.sh" "$work/bin" &
  wait $!
  rc=$?
  exit $rc
fi

# ---- as the user who types
work=${RALVEK_IME_WORK:-$(mktemp -d /tmp/ralvek-ime.XXXXXX)}
export HOME="$work/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export XDG_RUNTIME_DIR="$work/run"
mkdir -p "$XDG_CONFIG_HOME/mozc" "$XDG_DATA_HOME" "$XDG_CACHE_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
shots="$work/shots"
mkdir -p "$shots"
pids=()
cleanup() {
  local i
  for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
  [ -n "${DBUS_SESSION_BUS_PID:-}" ] && kill "$DBUS_SESSION_BUS_PID" 2>/dev/null
}
trap cleanup EXIT

for c in Xvfb xdotool dbus-launch dbus-monitor gdbus ibus-daemon ibus sqlite3; do
  command -v $c >/dev/null || skip "$c is not installed"
done
[ -x /usr/lib/ibus-mozc/ibus-engine-mozc ] || skip "the mozc engine for ibus is not installed"

fail() {
  echo "FAILED: $*"
  shot failure
  echo "--- screenshots and logs: $work"
  tail -n 20 "$work/ibus.log" "$work/program.log" 2>/dev/null
  exit 1
}

# Waits up to $1 seconds for a command to succeed.
wait_for() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@" >/dev/null 2>&1; do
    [ $SECONDS -ge $end ] && return 1
    sleep 0.2
  done
}

# ---- X server, session bus, input method
# A display number of its own, well away from the low numbers other X servers
# (and their clean-ups) use.
display=""
for try in 1 2 3 4 5 6 7 8; do
  n=$((200 + RANDOM % 700))
  [ -e "/tmp/.X$n-lock" ] && continue
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
  xvfb=$!
  export DISPLAY=":$n"
  if wait_for 10 xdotool getmouselocation; then
    display=":$n"
    pids+=($xvfb)
    break
  fi
  kill $xvfb 2>/dev/null
done
[ -n "$display" ] || skip "the X server did not start"
export DISPLAY=$display

eval "$(dbus-launch --sh-syntax)" || skip "no session bus"
export DBUS_SESSION_BUS_ADDRESS

# mozc starts in kana mode, as a Japanese user leaves it.
cat >"$XDG_CONFIG_HOME/mozc/ibus_config.textproto" <<'EOF'
engines {
  name : "mozc-jp"
  longname : "Mozc"
  layout : "default"
  layout_variant : ""
  layout_option : ""
  rank : 80
}
active_on_launch: True
EOF
ibus-daemon --panel=disable --xim --verbose >"$work/ibus.log" 2>&1 &
pids+=($!)
wait_for 20 sh -c 'ibus list-engine | grep -q mozc-jp' || skip "ibus did not start or does not list mozc"
# Setting the engine can report failure and still take effect: what counts is the engine in use.
wait_for 20 sh -c 'ibus engine mozc-jp; [ "$(ibus engine)" = mozc-jp ]' ||
  skip "ibus cannot make the mozc engine active"

# ---- the input method's own state, read from its bus: the signals of the
# input contexts (the text being composed, the text committed), and the keys
# the program hands to the input method with the answers to them.
ibus_bus=$(ibus address) || skip "ibus has no bus address"
gdbus monitor --address "$ibus_bus" --dest org.freedesktop.IBus >"$work/im-signals.log" 2>&1 &
pids+=($!)
dbus-monitor --address "$ibus_bus" >"$work/im-calls.log" 2>&1 &
pids+=($!)
wait_for 20 grep -q "owned by" "$work/im-signals.log" || skip "the input method's bus cannot be watched"

# The text being composed now ("" when none).
preedit() {
  grep -o "UpdatePreeditText (<('IBusText', @a{sv} {}, '[^']*'" "$work/im-signals.log" | tail -n1 |
    sed "s/.*, '//; s/'\$//"
}
# The texts committed so far, one a line.
committed() {
  grep -o "CommitText (<('IBusText', @a{sv} {}, '[^']*'" "$work/im-signals.log" | sed "s/.*, '//; s/'\$//"
}
# How many keys the program handed to the input method, and how many of them
# it has not answered yet.
keys_handed() { grep -c "member=ProcessKeyEvent" "$work/im-calls.log"; }
keys_unanswered() {
  awk '/^method call/ && /member=ProcessKeyEvent/ {
         match($0, /sender=[^ ]+/); s = substr($0, RSTART + 7, RLENGTH - 7)
         match($0, / serial=[0-9]+/); pending[s " " substr($0, RSTART + 8, RLENGTH - 8)] = 1 }
       /^method return/ {
         match($0, /destination=[^ ]+/); d = substr($0, RSTART + 12, RLENGTH - 12)
         match($0, /reply_serial=[0-9]+/); delete pending[d " " substr($0, RSTART + 13, RLENGTH - 13)] }
       END { n = 0; for (k in pending) n++; print n }' "$work/im-calls.log"
}
# The input method is done with every key handed to it, and no new key has
# come for a moment (a key is handed over as soon as the program reads it).
im_idle() {
  local before
  before=$(keys_handed)
  [ "$(keys_unanswered)" -eq 0 ] || return 1
  sleep 0.2
  [ "$(keys_handed)" -eq "$before" ] && [ "$(keys_unanswered)" -eq 0 ]
}
preedit_is() { [ "$(preedit)" = "$1" ]; }
committed_has() { committed | grep -qxF "$1"; }

export QT_IM_MODULE=ibus QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
db="$XDG_DATA_HOME/Kestrov/Kaikei/Kaikei.mdb"
n=0
shot() {
  n=$((n + 1))
  command -v import >/dev/null && import -window root "$shots/$(printf %02d $n)-$1.png" 2>/dev/null
}
sql() { sqlite3 -batch -noheader "$db" "$1" 2>/dev/null; }
# Waits until a query gives the expected text; fails with what it gave.
expect_row() {
  local what=$1 query=$2 want=$3 got
  wait_for 30 sh -c '[ "$(sqlite3 -batch -noheader "$1" "$2" 2>/dev/null)" = "$3" ]' _ "$db" "$query" "$want"
  got=$(sql "$query")
  [ "$got" = "$want" ] || fail "$what: '$got', expected '$want'"
  echo "$what: $got"
}

# Gives the keyboard to the visible window named $1 (there is no window
# manager) and waits until the X server says it has it.
focus_window() {
  local win
  win=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n1)
  [ -n "$win" ] || fail "no window '$1'"
  wait_for 30 sh -c '[ "$(xdotool getwindowfocus)" = "$1" ] || { xdotool windowfocus "$1"; false; }' _ "$win" ||
    fail "the window '$1' did not take the keyboard"
  wait_for 30 im_idle
}
# Clicks at a point given from the bottom right corner of the visible window
# named $1, once the input method is done with the keys typed before (a click
# does not pass through it and would overtake them).
click_from_corner() {
  local WINDOW X Y WIDTH HEIGHT SCREEN
  wait_for 30 im_idle || fail "the input method did not answer the keys typed"
  eval "$(xdotool search --onlyvisible --name "$1" getwindowgeometry --shell | head -n6)"
  xdotool mousemove $((X + WIDTH - $2)) $((Y + HEIGHT - $3)) click 1
}
find_window() { timeout 30 xdotool search --sync --onlyvisible --name "$1" >/dev/null; }
# Keys, then until the input method has answered each of them.
keys() {
  xdotool key --delay 100 "$@"
  wait_for 30 im_idle || fail "the input method did not answer the keys $*"
}
# Romaji typed in kana mode, then until the input method shows them as the
# kana $2 being composed; without $2 (a box that takes no Japanese), until it
# has answered each key.
romaji() {
  xdotool type --delay 100 "$1"
  if [ -n "${2:-}" ]; then
    wait_for 30 preedit_is "$2" || fail "typing '$1' composes '$(preedit)', expected '$2'"
  fi
  wait_for 30 im_idle || fail "the input method did not answer '$1'"
}
# Space converts what is being composed; Return commits it.
convert() {
  keys space
  wait_for 30 preedit_is "$1" || fail "conversion: '$(preedit)', expected '$1'"
}
commit() {
  keys Return
  wait_for 30 committed_has "$1" || fail "'$1' was not committed"
}

"$program_dir/ralvek" >"$work/program.log" 2>&1 &
pids+=($!)
find_window "メインメニュー" || fail "the main menu did not open"

# ---- company screen: the name in romaji, its furigana, half-width boxes with the input method on
year=$(date +%Y)
[ "$(date +%m)" -lt 4 ] && year=$((year - 1))
focus_window "メインメニュー"
keys Tab space  # the company list has the focus; the next button opens a new company
find_window "会社情報設定" || fail "the company screen did not open"
focus_window "会社情報設定"
shot company-open
romaji kabushikigaishayamadashouten かぶしきがいしゃやまだしょうてｎ  # a last n waits for the next key
convert 株式会社山田商店
shot company-converted
commit 株式会社山田商店
keys Tab Tab            # past the furigana box to the postal code
romaji 100-0001
keys Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab Tab  # to the fiscal start date
romaji "${year}0401"
shot company-typed
company_window=$(xdotool getwindowfocus)
keys Tab                # leaving the start date fills the closing date, with a message
wait_for 30 sh -c '[ "$(xdotool getwindowfocus)" != "$1" ]' _ "$company_window" || fail "no message"
wait_for 30 im_idle
keys Return             # closes the message
focus_window "会社情報設定"
click_from_corner "会社情報設定" 309 29  # the register button "登 録"
shot company-registered
expect_row "company screen" "SELECT COMPANY || '|' || CFKN || '|' || ZIP || '|' || KISYU FROM T_COMP_MAIN WHERE CID = '51'" \
  "株式会社山田商店|カブシキガイシャヤマダショウテン|100-0001|${year}/04/01"

# ---- daily entry of that company: an amount and a description in the first grid
click_from_corner "会社情報設定" 51 29  # back "もどる"
focus_window "メインメニュー"
keys shift+Tab End      # the company list: the new company is the last entry
shot menu-company

# ---- descriptions of that company: a word typed into the description box, stored when the screen closes
keys Tab Tab space      # "初期設定"
find_window "初期設定" || fail "the settings menu did not open"
focus_window "初期設定"
keys Tab Tab Tab Tab space  # from the first button to "５）摘要登録"
find_window "摘要入力" || fail "the description screen did not open"
focus_window "摘要入力"
shot tekiyo-open        # register mode: the description box has the focus
romaji genkin げんきｎ
convert 現金
shot tekiyo-converted
commit 現金
keys Tab Tab space      # past the locked list and "表 示" to "登 録" (Enter would walk on)
shot tekiyo-registered
# The register cleared the box and gave it the focus again; on to "もどる",
# which closes the screen and writes its copy back.
keys Tab Tab Tab Tab Tab space
expect_row "description screen" "SELECT TEKINO || '|' || TENAME FROM T_TEKIYO WHERE CID = '51'" "001|現金"
focus_window "初期設定"
keys x                  # back "もどる（X）"
focus_window "メインメニュー"
keys shift+Tab shift+Tab  # from "初期設定" back to the company list
keys Tab Tab Tab Tab space  # "ミルト入力"
find_window "簡易仕訳入力" || fail "the daily entry did not open"
focus_window "簡易仕訳入力"
shot entry-open
keys Tab Tab Tab        # from the date box past the day buttons into the income grid's first amount
romaji 1500
keys Tab                # the description cell
romaji yamadashouten やまだしょうてｎ
shot entry-composing    # the candidate window stands at the cell
convert 山田商店
shot entry-converted
commit 山田商店
keys Tab
shot entry-typed
click_from_corner "簡易仕訳入力" 348 27  # the register button "登 録"
expect_row "daily entry" "SELECT TEKIYO || '|' || (KRKIN / 10000) FROM T_SI_MEISAI WHERE CID = '51' AND TEKIYO <> ''" \
  "山田商店|1500"
shot entry-registered

echo "PASSED"
