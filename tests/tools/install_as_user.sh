#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and runs the installed programs as an
# ordinary user with a fresh HOME: settings the programs write must land in the user's
# ~/.config/pl3/setting.ini, and the install tree must stay exactly as installed.
# Usage: install_as_user.sh BUILD_DIR. Exit 77 (skipped) when no ordinary user can be had.
set -euo pipefail

build=$1
skip() { echo "SKIP: $1"; exit 77; }

as_user=()
if [[ $(id -u) -eq 0 ]]; then
    command -v setpriv >/dev/null || skip "running as root and setpriv is missing"
    as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi

work=$(mktemp -d)
sim_pid=
cleanup() {
    if [[ -n $sim_pid ]]; then
        kill "$sim_pid" 2>/dev/null || true
        wait "$sim_pid" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT
chmod 755 "$work"

DESTDIR=$work/root cmake --install "$build" --prefix /usr >/dev/null
prefix=$work/root/usr
tree_before=$(cd "$work/root" && find . -printf '%p %m %s\n' | sort && find . -type f -exec sha256sum {} + | sort)

home=$work/home
mkdir -p "$home"
[[ ${#as_user[@]} -eq 0 ]] || chown 65534:65534 "$home"
user_env=(env -i HOME="$home" PATH=/usr/bin:/bin LANG=C.UTF-8 "${as_user[@]}")
run() { "${user_env[@]}" "$@"; }

fail() { echo "FAIL: $1" >&2; exit 1; }

run "$prefix/bin/pl3ctl" new -o "$home/a.PL-3" || fail "pl3ctl new"
[[ -s $home/a.PL-3 ]] || fail "pl3ctl new wrote no file"

version=$(run "$prefix/bin/pl3ctl" --version) || fail "pl3ctl --version"
grep -qF "$prefix/share/pl3" <<<"$version" || fail "--version does not name the program folder: $version"
grep -qF "$home/.config/pl3/setting.ini" <<<"$version" || fail "--version does not name the user's settings: $version"

# A radio on the only port the user's settings list: the search finds it there and stores
# the port, which must go to the user's file.
# env and setpriv exec the simulator, so $! is the simulator itself; its output goes to
# files so that nothing it inherits keeps the caller waiting.
"${user_env[@]}" "$prefix/bin/pl3-radio-sim" >"$work/sim.out" 2>"$work/sim.err" </dev/null &
sim_pid=$!
for _ in $(seq 100); do [[ -s $work/sim.out ]] && break; sleep 0.1; done
device=$(head -n1 "$work/sim.out")
[[ -n $device ]] || fail "pl3-radio-sim printed no device"
run mkdir -p "$home/.config/pl3"
printf '[ports]\n5=%s\ndefaults=0\n' "$device" | run tee "$home/.config/pl3/setting.ini" >/dev/null

run "$prefix/bin/pl3ctl" read -o "$home/b.PL-3" || fail "pl3ctl read"
grep -qx "com=5" "$home/.config/pl3/setting.ini" || fail "the found port was not stored per user: $(cat "$home/.config/pl3/setting.ini")"

if [[ -x $prefix/bin/pl3-cps ]]; then
    run "$prefix/bin/pl3-cps" --print-pdf "$home/a.pdf" "$home/b.PL-3" || fail "pl3-cps --print-pdf"
    [[ $(head -c 5 "$home/a.pdf") == "%PDF-" ]] || fail "pl3-cps --print-pdf wrote no PDF"
fi

tree_after=$(cd "$work/root" && find . -printf '%p %m %s\n' | sort && find . -type f -exec sha256sum {} + | sort)
[[ $tree_before == "$tree_after" ]] || fail "the install tree changed: $(diff <(echo "$tree_before") <(echo "$tree_after"))"
echo "installed programs ran as $(run id -un 2>/dev/null || run id -u) and wrote only below $home"
