#!/usr/bin/env bash
# Checks every hoplab scenario against the system's own traceroute -I and ping run inside the client namespace.
# No errexit: each check records its own failure and the run carries on to the summary.
set -uo pipefail

LAB="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/hoplab.sh"
PASSED=0
FAILED=0

if [[ $EUID -ne 0 ]]; then
    echo "lab_scenarios_test.sh: needs root (network namespaces)" >&2
    exit 2
fi
for tool in traceroute ping nft getent; do
    command -v "$tool" >/dev/null || { echo "lab_scenarios_test.sh: missing $tool" >&2; exit 2; }
done

trap '"$LAB" down >/dev/null 2>&1 || true' EXIT

pass() { PASSED=$((PASSED + 1)); echo "ok - $*"; }
fail() { FAILED=$((FAILED + 1)); echo "not ok - $*"; }
# check DESCRIPTION CONDITION-EXIT-STATUS [DETAIL]
check() {
    if [[ $2 == 0 ]]; then pass "$1"; else fail "$1${3:+ ($3)}"; fi
}

# Brings a scenario up and loads its info keys into this shell.
lab_up() {
    local name="$*"
    unset "${!LAB_@}"
    if ! "$LAB" up "$@" >/dev/null; then
        fail "$name: up"
        return 1
    fi
    # shellcheck disable=SC1090
    source <("$LAB" info)
    [[ ${LAB_SCENARIO:-} == "$1" ]]
    check "$name: up, info names the scenario" $?
}

# Prints "HOP ADDR [ADDR...]" per traceroute line (annotations such as !X kept as words).
trace() {
    local q=$1 max=$2
    "$LAB" exec traceroute -I -n -q "$q" -w 1 -m "$max" "$LAB_TARGET_ADDR" 2>/dev/null |
        awk 'NR > 1 { line = $1; for (i = 2; i <= NF; i++) if ($i != "ms" && $i !~ /^[0-9.]+$/ || $i ~ /^[0-9]+\.[0-9]+\.[0-9]+\.[0-9]+$/) line = line " " $i; print line }' || true
}

# Hop k of a parsed trace, without the hop number.
hop_of() { awk -v k="$2" '$1 == k { $1 = ""; sub(/^ /, ""); print }' <<<"$1"; }

ping_loss() {
    # ping exits non-zero whenever anything is lost; the summary is what counts.
    "$LAB" exec ping -n "$@" 2>/dev/null | sed -n 's/.* \([0-9.]*\)% packet loss.*/\1/p' || true
}

# Hops 1..LAB_HOPS must be exactly the addresses info promised, and the trace must stop at the target.
check_trace_matches_info() {
    local name=$1 trace=$2 k got bad=""
    for ((k = 1; k <= LAB_HOPS; k++)); do
        local want_var="LAB_HOP_$k"
        got=$(hop_of "$trace" "$k")
        [[ $got == "${!want_var}" ]] || bad+=" hop$k=${got:-none}/want ${!want_var}"
    done
    [[ -z $(hop_of "$trace" $((LAB_HOPS + 1))) ]] || bad+=" trace went past the target"
    [[ -z $bad ]]
    check "$name: traceroute hops 1..$LAB_HOPS match info, target last" $? "$bad"
}

# Checks every scenario shares: client addressing and the local hosts file.
check_client_basics() {
    local name=$1 addrs k bad="" fwd rev
    addrs=$("$LAB" exec ip -4 -o addr show | awk '$2 != "lo" { sub(/\/.*/, "", $4); print $4 }')
    [[ $addrs == "$LAB_CLIENT_ADDR" && $LAB_CLIENT_ADDR == 192.0.2.* ]]
    check "$name: client's only non-loopback IPv4 address is LAB_CLIENT_ADDR" $? "got: ${addrs//$'\n'/ }"

    "$LAB" exec ip link show lo | grep -q 'state UNKNOWN\|,UP'
    check "$name: client loopback is up" $?

    fwd=$("$LAB" exec getent hosts "$LAB_TARGET_NAME" | awk '{print $1}')
    [[ $fwd == "$LAB_TARGET_ADDR" ]]
    check "$name: getent resolves LAB_TARGET_NAME to LAB_TARGET_ADDR" $? "got '$fwd'"

    for ((k = 1; k <= LAB_HOPS; k++)); do
        local a="LAB_HOP_$k" n="LAB_HOP_${k}_NAME"
        rev=$("$LAB" exec getent hosts "${!a}" | awk '{print $2}')
        fwd=$("$LAB" exec getent hosts "${!n}" | awk '{print $1}')
        [[ $rev == "${!n}" && $fwd == "${!a}" ]] || bad+=" hop$k:${!a}->${rev:-?},${!n}->${fwd:-?}"
    done
    [[ -z $bad ]]
    check "$name: every hop address and name resolves both ways in the client" $? "$bad"
}

# --- chain ---------------------------------------------------------------------

scenario_chain() {
    local t
    lab_up chain || return 0
    [[ $LAB_HOPS == 6 ]]
    check "chain: default length is 6 hops" $? "LAB_HOPS=$LAB_HOPS"
    check_client_basics chain

    local multi
    multi=$("$LAB" exec getent ahostsv4 multi.hoplab.test | awk '$2 == "STREAM" {print $1}' | tr '\n' ' ')
    [[ $multi == "203.0.113.21 203.0.113.22 203.0.113.23 " && $LAB_MULTI_ADDRS == "203.0.113.21 203.0.113.22 203.0.113.23" ]]
    check "chain: multi.hoplab.test resolves to three addresses in file order" $? "got '$multi'"

    t=$(trace 1 35)
    check_trace_matches_info chain "$t"

    [[ $(ping_loss -c 5 -i 0.05 "$LAB_TARGET_ADDR") == 0 ]]
    check "chain: ping to the target loses nothing" $?

    [[ $(ping_loss -c 5 -i 0.05 "$LAB_HOP_3") == 0 ]]
    check "chain: a router address inside the chain answers ping" $?

    lab_up chain 3 || return 0
    t=$(trace 1 35)
    [[ $LAB_HOPS == 3 ]]
    check "chain 3: info says 3 hops" $?
    check_trace_matches_info "chain 3" "$t"
}

# --- split -----------------------------------------------------------------------

scenario_split() {
    local t h3 h4="" seen_a=0 seen_b=0
    lab_up split || return 0
    [[ $LAB_SPLIT_HOP == 3 && -n $LAB_SPLIT_A && -n $LAB_SPLIT_B && $LAB_SPLIT_A != "$LAB_SPLIT_B" ]]
    check "split: info has LAB_SPLIT_HOP=3 and two distinct branch addresses" $?
    check_client_basics split

    local h4s h3_others=""
    for _ in 1 2 3; do
        t=$(trace 4 12)
        h3=$(hop_of "$t" 3)
        h4+=" $(hop_of "$t" 4)"
        [[ " $h3 " == *" $LAB_SPLIT_A "* ]] && seen_a=1
        [[ " $h3 " == *" $LAB_SPLIT_B "* ]] && seen_b=1
        h3_others+=$(tr ' ' '\n' <<<"$h3" | grep -v -x -e "$LAB_SPLIT_A" -e "$LAB_SPLIT_B" -e '' || true)
    done
    ((seen_a && seen_b))
    check "split: hop 3 shows both branches across traceroute -q 4 runs" $? "hop3='$h3'"
    [[ -z $h3_others ]]
    check "split: hop 3 never answers from anything but the two branches" $? "$h3_others"

    h4s=$(tr ' ' '\n' <<<"$h4" | grep -v '^$' | sort -u)
    [[ $h4s == "$LAB_HOP_4" ]]
    check "split: hop 4 has a single address whichever branch the probe took" $? "got '${h4s//$'\n'/ }'"

    t=$(trace 1 12)
    local k bad=""
    for k in 1 2 4 5 6; do
        local v="LAB_HOP_$k"
        [[ $(hop_of "$t" "$k") == "${!v}" ]] || bad+=" hop$k"
    done
    [[ -z $(hop_of "$t" 7) ]] || bad+=" past-target"
    [[ -z $bad ]]
    check "split: hops 1,2,4,5,6 match info and the target is hop 6" $? "$bad"

    [[ $(ping_loss -c 10 -i 0.05 "$LAB_TARGET_ADDR") == 0 &&
        $(ping_loss -c 3 -i 0.05 "$LAB_SPLIT_A") == 0 &&
        $(ping_loss -c 3 -i 0.05 "$LAB_SPLIT_B") == 0 ]]
    check "split: target and both branch routers answer ping" $?
}

# --- unreach -----------------------------------------------------------------------

# unreach_case CODE TRACEROUTE-MARK PING-TEXT
unreach_case() {
    local code=$1 mark=$2 text=$3 t h4 out name="unreach $1"
    lab_up unreach "$code" || return 0
    [[ $LAB_UNREACH_HOP == 4 && $LAB_UNREACH_CODE == "$code" && $LAB_UNREACH_ADDR == "$LAB_HOP_4" ]]
    check "$name: info has LAB_UNREACH_HOP=4, the code, and hop 4's address" $?

    t=$(trace 1 12)
    h4=$(hop_of "$t" 4)
    local bad=""
    [[ $(hop_of "$t" 1) == "$LAB_HOP_1" && $(hop_of "$t" 3) == "$LAB_HOP_3" ]] || bad+=" early hops wrong"
    if [[ -n $mark ]]; then
        [[ $h4 == "$LAB_UNREACH_ADDR $mark" ]] || bad+=" hop4='$h4'"
    else
        # traceroute counts port-unreachable as "arrived" and prints no mark.
        [[ $h4 == "$LAB_UNREACH_ADDR" ]] || bad+=" hop4='$h4'"
    fi
    [[ -z $(hop_of "$t" 5) ]] || bad+=" went past hop 4"
    [[ -z $bad ]]
    check "$name: traceroute ends at hop 4 ($LAB_UNREACH_ADDR) ${mark:-unmarked}" $? "$bad"

    out=$("$LAB" exec ping -n -c 2 -i 0.05 "$LAB_TARGET_ADDR" 2>&1 || true)
    grep -q "From $LAB_UNREACH_ADDR .*$text" <<<"$out"
    check "$name: ping reports '$text' from hop 4" $? "$(head -2 <<<"$out" | tail -1)"
}

scenario_unreach() {
    unreach_case 13 '!X' 'Packet filtered'
    unreach_case 1 '!H' 'Destination Host Unreachable'
    unreach_case 0 '!N' 'Destination Net Unreachable'
    unreach_case 3 '' 'Destination Port Unreachable'
}

# --- loss ---------------------------------------------------------------------------

scenario_loss() {
    local loss t
    lab_up loss || return 0
    [[ $LAB_LOSS_HOP == 3 && $LAB_LOSS_PERCENT == 30 ]]
    check "loss: info has LAB_LOSS_HOP=3 and the default 30 percent" $?

    loss=$(ping_loss -c 200 -i 0.01 "$LAB_TARGET_ADDR")
    # 200 samples at 30%: anything from 5% to 60% is well inside the noise.
    awk -v l="${loss:-x}" 'BEGIN { exit !(l ~ /^[0-9.]+$/ && l > 5 && l < 60) }'
    check "loss: ping to the target loses some but not all (${loss:-?}%)" $?

    loss=$(ping_loss -c 100 -i 0.01 "$LAB_HOP_2")
    [[ $loss == 0 ]]
    check "loss: hop 2 in front of the lossy router loses nothing (${loss:-?}%)" $?

    lab_up loss 100 || return 0
    loss=$(ping_loss -c 20 -i 0.01 "$LAB_TARGET_ADDR")
    [[ $loss == 100 ]]
    check "loss 100: everything through hop 3 is lost (${loss:-?}%)" $?
}

# --- silent ---------------------------------------------------------------------------

scenario_silent() {
    local t k bad=""
    lab_up silent || return 0
    [[ $LAB_SILENT_HOP == 3 ]]
    check "silent: info has LAB_SILENT_HOP=3" $?

    t=$(trace 1 12)
    [[ $(hop_of "$t" 3) == "*" ]]
    check "silent: hop 3 shows '*'" $? "hop3='$(hop_of "$t" 3)'"
    for k in 1 2 4 5 6; do
        local v="LAB_HOP_$k"
        [[ $(hop_of "$t" "$k") == "${!v}" ]] || bad+=" hop$k='$(hop_of "$t" "$k")'"
    done
    [[ -z $bad ]]
    check "silent: hops 1,2 and 4..6 answer as info says" $? "$bad"

    [[ $(ping_loss -c 3 -i 0.05 "$LAB_HOP_3") == 0 ]]
    check "silent: the silent router still answers a direct ping" $?
}

# --- long ------------------------------------------------------------------------------

scenario_long() {
    local t
    lab_up long || return 0
    [[ $LAB_HOPS == 30 && $LAB_HOP_30 == "$LAB_TARGET_ADDR" ]]
    check "long: info says 30 hops with the target at hop 30" $?
    t=$(trace 1 35)
    check_trace_matches_info long "$t"
}

# --- teardown ----------------------------------------------------------------------------

scenario_down() {
    "$LAB" down
    "$LAB" down
    check "down: runs twice without failing" $?
    [[ -z $(ip netns list | awk '{print $1}' | grep '^hw' || true) && ! -e /etc/netns/hwc ]]
    check "down: no hw* namespaces or /etc/netns/hwc remain" $?
    ! "$LAB" info >/dev/null 2>&1
    check "down: info fails once the lab is gone" $?
}

scenario_chain
scenario_split
scenario_unreach
scenario_loss
scenario_silent
scenario_long
scenario_down

echo "$PASSED passed, $FAILED failed"
((FAILED == 0))
