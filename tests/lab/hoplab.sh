#!/usr/bin/env bash
# Builds (and removes) multi-hop IPv4 routes out of network namespaces so route/ping tests have real hops to find.
set -euo pipefail

# Everything the lab creates carries this prefix; `down` only ever touches names that start with it.
readonly PFX=hw
readonly CLIENT_NS=${PFX}c
readonly TARGET_NS=${PFX}t
readonly STATE_DIR=/run/hoplab
readonly INFO_FILE=$STATE_DIR/info
readonly LOCK_FILE=/run/hoplab.lock
readonly DOMAIN=hoplab.test

readonly CLIENT_ADDR=192.0.2.10
readonly HOP1_ADDR=192.0.2.1
readonly TARGET_ADDR=203.0.113.1
readonly MULTI_ADDRS=(203.0.113.21 203.0.113.22 203.0.113.23)
readonly MAX_CHAIN=60

usage() {
    cat >&2 <<'EOF'
usage: hoplab.sh up SCENARIO [ARG]   (chain [N] | split | unreach CODE | loss [PERCENT] | silent | long | ratelimit)
       hoplab.sh down
       hoplab.sh info
       hoplab.sh exec CMD [ARGS...]
EOF
    exit 2
}

die() { echo "hoplab: $*" >&2; exit 1; }

# Up/down from two test runs at once would leave a half-built lab; serialise them.
take_lock() {
    exec 9>"$LOCK_FILE"
    flock -w 60 9 || die "another hoplab up/down is still running"
}

# --- teardown -----------------------------------------------------------------

lab_down() {
    local ns link
    for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep "^${PFX}" || true); do
        ip netns del "$ns" 2>/dev/null || true
    done
    # Veths are created straight inside their namespaces, so deleting the
    # namespaces removes them; this catches leftovers of an interrupted build.
    for link in $(ip -o link show 2>/dev/null | awk -F': ' '{print $2}' | cut -d@ -f1 | grep "^${PFX}" || true); do
        ip link del "$link" 2>/dev/null || true
    done
    rm -rf /etc/netns/"${PFX}"* 2>/dev/null || true
    rmdir /etc/netns 2>/dev/null || true
    rm -rf "$STATE_DIR"
}

# --- building blocks ------------------------------------------------------------

NAMESPACES=()
declare -A HOSTS=()      # address -> name for the client's hosts file
HOSTS_ORDER=()

add_host() {
    if [[ -z ${HOSTS[$1]+x} ]]; then
        HOSTS_ORDER+=("$1")
        HOSTS[$1]=$2
    fi
}

# new_ns NAME ROUTER(0|1): namespace with lo up and the sysctls every lab node needs.
new_ns() {
    local ns=$1 router=$2
    ip netns add "$ns"
    NAMESPACES+=("$ns")
    ip -n "$ns" link set lo up
    # Without these the kernel rate-limits ICMP errors (a burst of ~6, then 1/s),
    # which looks like loss at every hop, and strict reverse-path filtering
    # would drop the asymmetric replies of the split route.
    ip netns exec "$ns" sysctl -q -w \
        net.ipv4.ip_forward="$router" \
        net.ipv4.icmp_ratelimit=0 \
        net.ipv4.icmp_ratemask=0 \
        net.ipv4.icmp_errors_use_inbound_ifaddr=1 \
        net.ipv4.conf.all.rp_filter=0 \
        net.ipv4.conf.default.rp_filter=0 \
        net.ipv4.conf.lo.rp_filter=0 >/dev/null
}

# veth NS_A IF_A NS_B IF_B: a veth pair created directly inside both namespaces,
# so no half-configured interface ever shows up in the host namespace.
veth() {
    ip link add "$2" netns "$1" type veth peer name "$4" netns "$3"
}

# Per-interface rp_filter wins over "all" only when it is stricter, but set it
# anyway so nothing depends on what the namespace default was at creation time.
finish_ns() {
    local ns=$1 ifs i args=()
    ifs=$(ip -n "$ns" -o link show | awk -F': ' '{print $2}' | cut -d@ -f1)
    for i in $ifs; do
        args+=("net.ipv4.conf.$i.rp_filter=0")
    done
    ip netns exec "$ns" sysctl -q -w "${args[@]}" >/dev/null 2>&1 || true
}

nft_in() {
    local ns=$1
    ip netns exec "$ns" nft -f -
}

# Address of link i (2..65) between node i-1 (left, ".out") and node i (right, ".in").
# Link 1 is the client segment 192.0.2.0/24.
link_left()  { echo "198.51.100.$((4 * ($1 - 2) + 1))"; }
link_right() { echo "198.51.100.$((4 * ($1 - 2) + 2))"; }

INFO=()
info_add() { INFO+=("$1=$2"); }

# build_chain N: client -> r1 .. r(N-1) -> target; node k answers at hop k.
# Every router sends anything it does not know towards the target and only
# 192.0.2.0/24 back towards the client, so the client can reach every lab address.
build_chain() {
    local n=$1 k ns in_addr back gw

    new_ns "$CLIENT_NS" 0
    for ((k = 1; k < n; k++)); do new_ns "${PFX}r$k" 1; done
    new_ns "$TARGET_NS" 0

    node_ns() { if (($1 == 0)); then echo "$CLIENT_NS"; elif (($1 == n)); then echo "$TARGET_NS"; else echo "${PFX}r$1"; fi; }

    for ((k = 1; k <= n; k++)); do
        veth "$(node_ns $((k - 1)))" out0 "$(node_ns "$k")" in0
    done

    # client
    ip -n "$CLIENT_NS" -batch - <<EOF
addr add $CLIENT_ADDR/24 dev out0
link set out0 up
route add default via $HOP1_ADDR
EOF
    add_host "$CLIENT_ADDR" "client.$DOMAIN"

    for ((k = 1; k <= n; k++)); do
        ns=$(node_ns "$k")
        if ((k == 1)); then
            in_addr=$HOP1_ADDR
            back="addr add $HOP1_ADDR/24 dev in0"
        else
            in_addr=$(link_right "$k")
            back="addr add $in_addr/30 dev in0
route add 192.0.2.0/24 via $(link_left "$k")"
        fi
        if ((k < n)); then
            ip -n "$ns" -batch - <<EOF
link set in0 up
link set out0 up
$back
addr add $(link_left $((k + 1)))/30 dev out0
route add default via $(link_right $((k + 1)))
EOF
            add_host "$in_addr" "r$k.$DOMAIN"
            add_host "$(link_left $((k + 1)))" "r$k-out.$DOMAIN"
            info_add "LAB_HOP_$k" "$in_addr"
            info_add "LAB_HOP_${k}_NAME" "r$k.$DOMAIN"
        else
            # The target's address lives on lo so echo replies always come from it,
            # whatever the link address is.
            if ((k == 1)); then gw=$CLIENT_ADDR; else gw=$(link_left "$k"); fi
            ip -n "$ns" -batch - <<EOF
link set in0 up
addr add $TARGET_ADDR/32 dev lo
$back
route add default via $gw
EOF
            add_host "$in_addr" "target-link.$DOMAIN"
            info_add "LAB_HOP_$k" "$TARGET_ADDR"
            info_add "LAB_HOP_${k}_NAME" "target.$DOMAIN"
        fi
    done
    add_host "$TARGET_ADDR" "target.$DOMAIN"
    info_add LAB_HOPS "$n"
}

# build_split: a 6-hop route where hop 3 is either r3a or r3b, per packet.
#   r2 --br0(in r2)-- r3a/r3b --br0(in r4)-- r4
# Both hop-3 routers share an L2 segment on each side, so r4 keeps one inbound
# address whichever branch a probe took.
build_split() {
    local r2s=198.51.100.201 r3a_l=198.51.100.202 r3b_l=198.51.100.203
    local r3a_r=198.51.100.209 r3b_r=198.51.100.210 r4_l=198.51.100.211
    local c=$CLIENT_NS r1=${PFX}r1 r2=${PFX}r2 ra=${PFX}r3a rb=${PFX}r3b r4=${PFX}r4 r5=${PFX}r5 t=$TARGET_NS
    local ns

    new_ns "$c" 0
    for ns in "$r1" "$r2" "$ra" "$rb" "$r4" "$r5"; do new_ns "$ns" 1; done
    new_ns "$t" 0

    veth "$c" out0 "$r1" in0
    veth "$r1" out0 "$r2" in0
    veth "$r2" pa "$ra" in0
    veth "$r2" pb "$rb" in0
    veth "$ra" out0 "$r4" pa
    veth "$rb" out0 "$r4" pb
    veth "$r4" out0 "$r5" in0
    veth "$r5" out0 "$t" in0

    ip -n "$c" -batch - <<EOF
addr add $CLIENT_ADDR/24 dev out0
link set out0 up
route add default via $HOP1_ADDR
EOF
    ip -n "$r1" -batch - <<EOF
addr add $HOP1_ADDR/24 dev in0
addr add $(link_left 2)/30 dev out0
link set in0 up
link set out0 up
route add default via $(link_right 2)
EOF
    # r2: probes that will expire at hop 3 carry fwmark 1 or 2 (set by nft below)
    # and are routed by table 101 (r3a) or 102 (r3b); everything else uses r3a.
    ip -n "$r2" -batch - <<EOF
link add br0 type bridge forward_delay 0 stp_state 0
link set pa master br0
link set pb master br0
addr add $(link_right 2)/30 dev in0
addr add $r2s/29 dev br0
link set in0 up
link set pa up
link set pb up
link set br0 up
route add 192.0.2.0/24 via $(link_left 2)
route add default via $r3a_l
route add default via $r3a_l table 101
route add default via $r3b_l table 102
rule add fwmark 1 table 101 priority 1000
rule add fwmark 2 table 102 priority 1001
EOF
    ip -n "$ra" -batch - <<EOF
addr add $r3a_l/29 dev in0
addr add $r3a_r/29 dev out0
link set in0 up
link set out0 up
route add 192.0.2.0/24 via $r2s
route add default via $r4_l
EOF
    ip -n "$rb" -batch - <<EOF
addr add $r3b_l/29 dev in0
addr add $r3b_r/29 dev out0
link set in0 up
link set out0 up
route add 192.0.2.0/24 via $r2s
route add default via $r4_l
EOF
    ip -n "$r4" -batch - <<EOF
link add in0 type bridge forward_delay 0 stp_state 0
link set pa master in0
link set pb master in0
addr add $r4_l/29 dev in0
addr add $(link_left 5)/30 dev out0
link set pa up
link set pb up
link set in0 up
link set out0 up
route add 192.0.2.0/24 via $r3a_r
route add default via $(link_right 5)
EOF
    ip -n "$r5" -batch - <<EOF
addr add $(link_right 5)/30 dev in0
addr add $(link_left 6)/30 dev out0
link set in0 up
link set out0 up
route add 192.0.2.0/24 via $(link_left 5)
route add default via $(link_right 6)
EOF
    ip -n "$t" -batch - <<EOF
addr add $(link_right 6)/30 dev in0
addr add $TARGET_ADDR/32 dev lo
link set in0 up
route add default via $(link_left 6)
EOF

    # A probe that expires at hop 3 arrives at r2 with TTL 2. It gets its own
    # counter: a counter shared with other TTLs would, with an even number of
    # probes per round, hand hop 3's probe the same branch every time.
    nft_in "$r2" <<'EOF'
table ip hoplab {
    chain pre {
        type filter hook prerouting priority mangle; policy accept;
        iifname "in0" ip ttl 2 meta mark set numgen inc mod 2 offset 1
    }
}
EOF

    add_host "$CLIENT_ADDR" "client.$DOMAIN"
    add_host "$HOP1_ADDR" "r1.$DOMAIN"
    add_host "$(link_left 2)" "r1-out.$DOMAIN"
    add_host "$(link_right 2)" "r2.$DOMAIN"
    add_host "$r2s" "r2-out.$DOMAIN"
    add_host "$r3a_l" "r3a.$DOMAIN"
    add_host "$r3b_l" "r3b.$DOMAIN"
    add_host "$r3a_r" "r3a-out.$DOMAIN"
    add_host "$r3b_r" "r3b-out.$DOMAIN"
    add_host "$r4_l" "r4.$DOMAIN"
    add_host "$(link_left 5)" "r4-out.$DOMAIN"
    add_host "$(link_right 5)" "r5.$DOMAIN"
    add_host "$(link_left 6)" "r5-out.$DOMAIN"
    add_host "$(link_right 6)" "target-link.$DOMAIN"
    add_host "$TARGET_ADDR" "target.$DOMAIN"

    info_add LAB_HOPS 6
    info_add LAB_HOP_1 "$HOP1_ADDR";       info_add LAB_HOP_1_NAME "r1.$DOMAIN"
    info_add LAB_HOP_2 "$(link_right 2)";  info_add LAB_HOP_2_NAME "r2.$DOMAIN"
    info_add LAB_HOP_3 "$r3a_l";           info_add LAB_HOP_3_NAME "r3a.$DOMAIN"
    info_add LAB_HOP_4 "$r4_l";            info_add LAB_HOP_4_NAME "r4.$DOMAIN"
    info_add LAB_HOP_5 "$(link_right 5)";  info_add LAB_HOP_5_NAME "r5.$DOMAIN"
    info_add LAB_HOP_6 "$TARGET_ADDR";     info_add LAB_HOP_6_NAME "target.$DOMAIN"
    info_add LAB_SPLIT_HOP 3
    info_add LAB_SPLIT_A "$r3a_l"
    info_add LAB_SPLIT_A_NAME "r3a.$DOMAIN"
    info_add LAB_SPLIT_B "$r3b_l"
    info_add LAB_SPLIT_B_NAME "r3b.$DOMAIN"
}

# Accepts the numeric ICMP code or nft's name for it; returns "code name".
unreach_code() {
    case "$1" in
        0 | net-unreachable) echo "0 net-unreachable" ;;
        1 | host-unreachable) echo "1 host-unreachable" ;;
        2 | prot-unreachable) echo "2 prot-unreachable" ;;
        3 | port-unreachable) echo "3 port-unreachable" ;;
        9 | net-prohibited) echo "9 net-prohibited" ;;
        10 | host-prohibited) echo "10 host-prohibited" ;;
        13 | admin-prohibited) echo "13 admin-prohibited" ;;
        *) die "unreach: unsupported code '$1' (0,1,2,3,9,10,13 or their nft names)" ;;
    esac
}

write_hosts() {
    local dir=/etc/netns/$CLIENT_NS a
    mkdir -p "$dir"
    {
        echo "# hosts for the $CLIENT_NS lab namespace, written by tests/lab/hoplab.sh"
        echo "127.0.0.1 localhost"
        for a in "${HOSTS_ORDER[@]}"; do
            echo "$a ${HOSTS[$a]}"
        done
        for a in "${MULTI_ADDRS[@]}"; do
            echo "$a multi.$DOMAIN"
        done
    } >"$dir/hosts"
    # Empty resolv.conf: the resolver falls back to 127.0.0.1 inside the
    # namespace, where nothing listens, so no lookup ever leaves the machine.
    : >"$dir/resolv.conf"
}

lab_up() {
    local scenario=${1:-} arg=${2:-} n code name
    [[ -n $scenario ]] || usage
    lab_down

    case "$scenario" in
        chain)
            n=${arg:-6}
            if ! [[ $n =~ ^[0-9]+$ ]] || ((n < 1 || n > MAX_CHAIN)); then die "chain: N must be 1..$MAX_CHAIN"; fi
            build_chain "$n"
            ;;
        long)
            build_chain 30
            ;;
        split)
            build_split
            ;;
        unreach)
            [[ -n $arg ]] || die "unreach: needs a CODE"
            read -r code name < <(unreach_code "$arg")
            build_chain 6
            # Prerouting runs before the forwarding TTL check, so even probes
            # that would expire at hop 4 get the unreachable from hop 4.
            nft_in "${PFX}r4" <<EOF
table ip hoplab {
    chain pre {
        type filter hook prerouting priority 0; policy accept;
        ip daddr $TARGET_ADDR icmp type echo-request reject with icmp type $name
    }
}
EOF
            info_add LAB_UNREACH_HOP 4
            info_add LAB_UNREACH_CODE "$code"
            info_add LAB_UNREACH_NAME "$name"
            info_add LAB_UNREACH_ADDR "$(link_right 4)"
            ;;
        loss)
            n=${arg:-30}
            if ! [[ $n =~ ^[0-9]+$ ]] || ((n > 100)); then die "loss: PERCENT must be 0..100"; fi
            build_chain 6
            # numgen yields 0..99, so "< 100" is out of range for nft: 100% is a plain drop.
            local match="numgen random mod 100 < $n"
            ((n == 100)) && match=""
            # Forward direction only: packets entering hop 3 from the client
            # side. Hop 3 and everything behind it lose ~P% of probes; replies
            # travelling back through hop 3 are never dropped.
            nft_in "${PFX}r3" <<EOF
table ip hoplab {
    chain pre {
        type filter hook prerouting priority 0; policy accept;
        iifname "in0" $match drop
    }
}
EOF
            info_add LAB_LOSS_HOP 3
            info_add LAB_LOSS_PERCENT "$n"
            info_add LAB_LOSS_DIRECTION forward
            ;;
        ratelimit)
            build_chain 6
            # The kernel's own defaults, which real routers keep: ICMP errors (time exceeded
            # among them) in a burst of six, then one a second per destination. These routers
            # still forward every probe at full rate, so the loss they show is their replies only.
            for k in 2 3 4; do
                ip netns exec "${PFX}r$k" sysctl -q -w net.ipv4.icmp_ratelimit=1000 \
                    net.ipv4.icmp_ratemask=6168 >/dev/null
            done
            info_add LAB_LIMITED_HOPS "'2 3 4'"
            ;;
        silent)
            build_chain 6
            # Forwards normally but never reports an expired TTL.
            nft_in "${PFX}r3" <<'EOF'
table ip hoplab {
    chain out {
        type filter hook output priority 0; policy accept;
        icmp type time-exceeded drop
    }
}
EOF
            info_add LAB_SILENT_HOP 3
            ;;
        *)
            die "unknown scenario '$scenario'"
            ;;
    esac

    for n in "${NAMESPACES[@]}"; do finish_ns "$n"; done
    # Lets ping-type (SOCK_DGRAM) ICMP sockets work in the client for any group.
    ip netns exec "$CLIENT_NS" sysctl -q -w net.ipv4.ping_group_range="0 2147483647" >/dev/null
    write_hosts

    mkdir -p "$STATE_DIR"
    {
        echo "LAB_SCENARIO=$scenario"
        echo "LAB_CLIENT_NS=$CLIENT_NS"
        echo "LAB_CLIENT_ADDR=$CLIENT_ADDR"
        echo "LAB_CLIENT_NAME=client.$DOMAIN"
        echo "LAB_TARGET_NS=$TARGET_NS"
        echo "LAB_TARGET_ADDR=$TARGET_ADDR"
        echo "LAB_TARGET_NAME=target.$DOMAIN"
        echo "LAB_MULTI_NAME=multi.$DOMAIN"
        echo "LAB_MULTI_ADDRS='${MULTI_ADDRS[*]}'"
        echo "LAB_NAMESPACES='${NAMESPACES[*]}'"
        printf '%s\n' "${INFO[@]}"
    } >"$INFO_FILE"
}

main() {
    local cmd=${1:-}
    [[ -n $cmd ]] || usage
    shift
    case "$cmd" in
        up)
            [[ $EUID -eq 0 ]] || die "must run as root"
            take_lock
            # A failed build must not leave half a lab behind.
            trap 'rc=$?; if ((rc != 0)); then lab_down; fi' EXIT
            lab_up "$@"
            ;;
        down)
            [[ $EUID -eq 0 ]] || die "must run as root"
            take_lock
            lab_down
            ;;
        info)
            [[ -f $INFO_FILE ]] || die "no lab is running"
            cat "$INFO_FILE"
            ;;
        exec)
            (($# > 0)) || usage
            ip netns list | awk '{print $1}' | grep -qx "$CLIENT_NS" || die "no lab is running"
            exec ip netns exec "$CLIENT_NS" "$@"
            ;;
        *)
            usage
            ;;
    esac
}

main "$@"
