# Free loopback ports for the sandbox servers; sourced by tools/sandbox-*, which
# define die().

# Whether something listens on the port (state 0A = LISTEN in the local address column).
port_in_use() {
    local hex
    hex=$(printf '%04X' "$1")
    awk -v p=":$hex" 'NR > 1 && substr($2, length($2) - 4) == p && $4 == "0A" { found = 1 }
        END { exit !found }' /proc/net/tcp /proc/net/tcp6 2>/dev/null
}

# A free port below the kernel's range for outgoing connections, so that a port
# picked now is not taken by some client's connection a moment later, or while a
# server is paused.
pick_port() {
    local ephemeral low=20000 high candidate
    read -r ephemeral _ </proc/sys/net/ipv4/ip_local_port_range 2>/dev/null || ephemeral=32768
    high=$((ephemeral - 1))
    [ "$high" -gt "$low" ] || high=29999
    for _ in $(seq 1 200); do
        candidate=$((low + RANDOM % (high - low + 1)))
        port_in_use "$candidate" || {
            echo "$candidate"
            return 0
        }
    done
    die "found no free loopback port"
}
