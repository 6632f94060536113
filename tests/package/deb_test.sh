#!/bin/bash
# Builds the hopwatch-console Debian package and proves it: what `cmake --install` and the package
# hold, that it depends on libc and libstdc++ only, that it installs, that a normal user runs the
# installed program on 127.0.0.1 and reads its manual page, and that it removes cleanly. Root only.
set -uo pipefail
cd "$(dirname "$0")/../.."
root=$(pwd)
build=${HOPWATCH_RELEASE_BUILD:-$root/build/native-release}
work=$(mktemp -d /tmp/hopwatch-deb-test.XXXXXX)
# Waits for other package managers instead of failing at their lock.
apt=(apt-get -y -q -o DPkg::Lock::Timeout=300)

passed=0
failed=0
check() { # check WHAT COMMAND...: one TAP-like line per check
    local what=$1
    shift
    if "$@" >"$work/check.log" 2>&1; then
        passed=$((passed + 1))
        echo "ok - $what"
    else
        failed=$((failed + 1))
        echo "not ok - $what"
        sed 's/^/    /' "$work/check.log" | head -20
    fi
}

installed() { dpkg-query -W -f='${Status}' hopwatch-console 2>/dev/null | grep -q 'install ok installed'; }
not_installed() { ! installed && [[ ! -e /usr/bin/hopwatch-console ]] && ! man -w hopwatch-console; }

# Only the files the package needs, in the release build.
cmake --preset native-release >/dev/null &&
    cmake --build --preset native-release -j2 --target hopwatch-console hopwatch_manpage >/dev/null || {
    echo "not ok - release build"
    echo "0 passed, 1 failed"
    exit 1
}

check "cmake --install puts the program and its manual page under the prefix" bash -c "
    cmake --install '$build' --prefix '$work/prefix' >/dev/null &&
    diff <(cd '$work/prefix' && find . -type f | sort) \
         <(printf '%s\n' ./bin/hopwatch-console ./share/man/man1/hopwatch-console.1.gz)"

(cd "$build" && cpack -G DEB -B "$work/deb" >"$work/cpack.log" 2>&1) || cat "$work/cpack.log"
deb=$(ls "$work"/deb/hopwatch-console_*.deb 2>/dev/null | head -1)
check "cpack made the package" test -f "$deb"
check "it depends on libc6 and libstdc++6 only" bash -c "
    dpkg-deb -f '$deb' Depends | tee /dev/stderr | tr ',' '\n' | sed 's/ *(.*//; s/^ *//' | sort |
    diff - <(printf '%s\n' libc6 libstdc++6)"
check "it holds the program and the manual page" bash -c "
    dpkg-deb -c '$deb' | grep -q ' ./usr/bin/hopwatch-console$' &&
    dpkg-deb -c '$deb' | grep -q ' ./usr/share/man/man1/hopwatch-console.1.gz$' &&
    [[ \$(dpkg-deb -c '$deb' | grep -vc '/$') -eq 2 ]]"

# One package installation at a time on this machine.
exec 8>/run/hopwatch-package-test.lock
flock -w 600 8 || { echo "not ok - package test lock"; exit 1; }
if installed; then "${apt[@]}" purge hopwatch-console >/dev/null 2>&1; fi

check "the package installs" "${apt[@]}" install --no-install-recommends "$deb"
if grep -qE '^0[[:space:]]+2147483647$' /proc/sys/net/ipv4/ping_group_range; then
    check "every group may ping: the program gets no capability" \
        bash -c "[[ -z \$(getcap /usr/bin/hopwatch-console) ]]"
else
    check "datagram sockets are not allowed: the program gets cap_net_raw" \
        bash -c "getcap /usr/bin/hopwatch-console | grep -q 'cap_net_raw=ep'"
fi
check "the program is not setuid" bash -c "[[ ! -u /usr/bin/hopwatch-console ]]"
check "a normal user runs hopwatch-console -c 3 127.0.0.1 from the installed path" bash -c "
    out=\$(timeout 60 runuser -u nobody -- env -i PATH=/usr/bin:/bin HOME=/nonexistent \
        hopwatch-console -c 3 127.0.0.1) || exit 1
    echo \"\$out\"
    echo \"\$out\" | grep -Eq '^ +1 +127\.0\.0\.1 .* 3 +3 +0 '"
check "a normal user reads its manual page with man" bash -c "
    runuser -u nobody -- env -i PATH=/usr/bin:/bin MANPAGER=cat MANWIDTH=80 man hopwatch-console |
    grep -q 'replies limited' &&
    runuser -u nobody -- env -i PATH=/usr/bin:/bin MANPAGER=cat man hopwatch-console | grep -q 'EXIT STATUS'"
check "the package removes cleanly" "${apt[@]}" purge hopwatch-console
check "nothing of it is left" not_installed

rm -rf "$work"
echo "$passed passed, $failed failed"
[[ $failed -eq 0 ]]
