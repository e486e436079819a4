#!/usr/bin/env bash
# tallowby-cli's --output as users of shell tools point it: the numbers go exactly where they
# said, and nothing else about the file changes.
#
# Usage: shell_outputs.sh <path to tallowby-cli>
set -euo pipefail
cli=$1
work=$(mktemp -d)
chmod 0755 "$work"
trap 'chmod -R u+rwx "$work"; rm -rf "$work"' EXIT
failures=0
check() {  # check <what> <expected> <actual>
  if [[ "$2" != "$3" ]]; then
    echo "FAIL: $1: expected '$2', got '$3'" >&2
    failures=$((failures + 1))
  fi
}
draw() { "$cli" --count 1000 --highest 9 --lf "$@"; }
lines() { wc -l <"$1" | tr -d ' '; }

# Pipes behind /dev/stdout, /dev/fd/1 and a process substitution.
check "/dev/stdout into a pipe" 1000 "$(draw --output /dev/stdout | wc -l)"
check "/dev/fd/1 into a pipe" 1000 "$(draw --output /dev/fd/1 | wc -l)"
draw --output >(cat >"$work/substituted")
wait $! 2>/dev/null || sleep 0.5
check "a process substitution" 1000 "$(lines "$work/substituted")"

# The file that is standard output: >> appends to it, and it stays the same file.
echo old >"$work/log.txt"
inode=$(stat -c %i "$work/log.txt")
draw --output /dev/stdout >>"$work/log.txt"
check "appending shell keeps the old line" old "$(head -n 1 "$work/log.txt")"
check "appending shell adds the numbers" 1001 "$(lines "$work/log.txt")"
check "appending shell keeps the file" "$inode" "$(stat -c %i "$work/log.txt")"

# A file opened by the caller under a long folder and named by its descriptor.
long="$work/$(printf 'f%.0s' {1..70})"
mkdir "$long"
draw --output /dev/fd/3 3>"$long/out.txt"
check "/dev/fd/3 reaches the caller's file" 1000 "$(lines "$long/out.txt")"
check "nothing lands beside the folder" 1 "$(find "$work" -maxdepth 1 -name 'f*' | wc -l)"

# A private file stays private; hard links all show the new numbers.
echo old >"$work/private.txt"
chmod 0600 "$work/private.txt"
draw --output "$work/private.txt"
check "a private file keeps its mode" 600 "$(stat -c %a "$work/private.txt")"
echo old >"$work/name1"
ln "$work/name1" "$work/name2"
draw --output "$work/name1"
check "the other hard link shows the numbers" 1000 "$(lines "$work/name2")"

# As root: another user's file keeps its owner, group and mode.
if [[ $(id -u) -eq 0 ]]; then
  echo old >"$work/theirs.txt"
  chown 65534:65534 "$work/theirs.txt"
  chmod 0640 "$work/theirs.txt"
  draw --output "$work/theirs.txt"
  check "another user's file keeps owner, group and mode" "65534:65534 640" \
    "$(stat -c '%u:%g %a' "$work/theirs.txt")"
fi

# A long run ended by a signal leaves the old file as it was and nothing beside it.
# Where files cannot be made without a name (here: no /proc to name them through, as root can
# stage), the hidden one is removed by every signal but SIGKILL.
mkdir "$work/signals"
ways=(plain)
[[ $(id -u) -eq 0 ]] && ways+=(without-proc)
for way in "${ways[@]}"; do
  for signal in INT TERM HUP KILL; do
    [[ $way == without-proc && $signal == KILL ]] && continue
    echo old >"$work/signals/results.txt"
    # A shell starts background commands with SIGINT ignored; the user's Ctrl+C is not.
    run=(env --default-signal=INT "$cli" --count 300000000 --highest 9
      --output "$work/signals/results.txt")
    if [[ $way == without-proc ]]; then
      unshare --mount --propagation private sh -c 'umount -l /proc && exec "$@"' sh "${run[@]}" &
    else
      "${run[@]}" &
    fi
    writer=$!
    sleep 0.5
    kill -"$signal" "$writer"
    wait "$writer" 2>/dev/null || true
    check "$way, SIG$signal keeps the old file" old "$(cat "$work/signals/results.txt")"
    check "$way, SIG$signal leaves nothing beside it" results.txt "$(ls -A "$work/signals")"
  done
done

# A FIFO that nobody reads yet: tallowby-cli waits for its reader, as shuf does.
mkfifo "$work/fifo"
draw --output "$work/fifo" &
writer=$!
sleep 0.3
check "a FIFO read late gets every number" 1000 "$(wc -l <"$work/fifo")"
wait "$writer"

# Folder permissions that only bind a user other than root: a folder one may write but not read,
# and a folder where no file may be made but the file itself may be written.
as_user=()
if [[ $(id -u) -eq 0 ]]; then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
for mode in 0333 0555; do
  folder="$work/folder$mode"
  mkdir "$folder"
  echo old >"$folder/results.txt"
  chmod 0666 "$folder/results.txt"
  [[ $(id -u) -eq 0 ]] && chown -R 65534:65534 "$folder"
  chmod "$mode" "$folder"
  status=0
  "${as_user[@]}" "$cli" --count 1000 --highest 9 --lf --output "$folder/results.txt" 2>"$work/err" || status=$?
  check "folder $mode: exit status" 0 "$status"
  check "folder $mode: no message" "" "$(cat "$work/err")"
  check "folder $mode: the new numbers" 1000 "$(lines "$folder/results.txt")"
  chmod 0755 "$folder"
  check "folder $mode: nothing left beside" 1 "$(ls -A "$folder" | wc -l)"
done

echo "$failures failed"
[[ $failures -eq 0 ]]
