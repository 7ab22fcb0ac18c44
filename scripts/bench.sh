#!/bin/sh
# The benchmark, on a full-screen 1024 x 768 x 16 virtual display. Prints a
# table, writes it as CSV (build/<arch>/bench.csv) and ends with one line for
# each target. Figures, never a verdict: it fails only when it cannot measure.
#
# Part one runs tests/bench/SceneBench.cpp: the default scene (Count 3),
# the dense one (Count 50, Stars 400) and the preview, five runs each,
# interleaved. Part two watches the built saver run, with the other processor
# busy: screen updates as the X server sees them (DAMAGE events), the
# saver's processor time and memory, start to first picture and key to exit,
# next to two baselines of ours (tests/bench/Baseline.cpp).
set -eu
. "$(dirname "$0")/env.sh"
"$SKARDEL_ROOT/scripts/bootstrap.sh" libx11-dev libxdamage-dev
arch=$(runnable_arch)
build=$(tests_build_dir "$arch")
cmake_build_tests "$arch" >/dev/null
watch_bin=$build/damage_watch
gcc -O2 -o "$watch_bin" "$SKARDEL_ROOT/tests/bench/damage_watch.c" -lX11 -lXdamage

DISPLAY=$(start_xvfb 16)
export DISPLAY
export WINEPREFIX=$build/wineprefix-bench
# The benchmark's own programs run as the saver does.
prepare_prefix "$arch" "$WINEPREFIX" "$DISPLAY" scene_bench.exe bench_baseline.exe
unmanaged_windows "$arch" "$WINEPREFIX" "$DISPLAY"
loader=$(wine_loader "$arch")
reg() { "$loader" reg "$@" >/dev/null 2>&1; }
settings='HKCU\Software\Tolmere\Skardel Screen Saver\Settings'

# Whose processor time is counted besides ours: this display's X server and
# this prefix's Wine server.
SKARDEL_BENCH_XVFB_PID=$(tr -d ' ' <"/tmp/.X${DISPLAY#:}-lock")
SKARDEL_BENCH_SERVER_PID=
for p in $(pgrep wineserver || true); do
    if tr '\0' '\n' 2>/dev/null <"/proc/$p/environ" | grep -qx "WINEPREFIX=$WINEPREFIX"; then
        SKARDEL_BENCH_SERVER_PID=$p
    fi
done
SKARDEL_BENCH_CLK_TCK=$(getconf CLK_TCK)
export SKARDEL_BENCH_XVFB_PID SKARDEL_BENCH_SERVER_PID SKARDEL_BENCH_CLK_TCK

reg_value() { # <key> <value>: the data, or nothing when it is not set
    "$loader" reg query "$1" /v "$2" 2>/dev/null | tr -d '\r' | awk -v v="$2" '$1 == v { print $3 }'
}
csmt=$(reg_value 'HKCU\Software\Wine\AppDefaults\Skardel.scr\Direct3D' csmt)
renderer=$(reg_value 'HKCU\Software\Wine\AppDefaults\Skardel.scr\Direct3D' renderer)
[ -n "$renderer" ] || renderer=$(reg_value 'HKCU\Software\Wine\Direct3D' renderer)
echo "Wine $("$loader" --version 2>/dev/null), renderer ${renderer:-default}, command stream for Skardel.scr: ${csmt:-default (on)}"
echo "display ${DISPLAY} 1024x768x16, $(nproc) processors, X server $SKARDEL_BENCH_XVFB_PID, Wine server ${SKARDEL_BENCH_SERVER_PID:-unknown}"

work=$(mktemp -d)
watch_pid= load_pid=
stop_part_two() { kill $watch_pid $load_pid 2>/dev/null || true; }
trap 'stop_part_two; stop_all; rm -rf "$work"' EXIT
results=$work/results
: >"$results"
echo "part one: the composition, five interleaved runs of each scene" >&2
for run in 1 2 3 4 5; do
    for scene in default dense preview; do
        line=$("$loader" "$build/tests/scene_bench.exe" "$scene" 200 </dev/null 2>/dev/null | tr -d '\r' |
            grep '^RESULT ') || {
            echo "the benchmark failed on the $scene scene" >&2
            exit 1
        }
        echo "run=$run ${line#RESULT }" >>"$results"
    done
done

# --- part two: the running saver, watched from outside ---
now() { date +%s.%N; }
cpu_ticks() { # <pid>: utime + stime
    sed 's/.*) //' "/proc/$1/stat" 2>/dev/null | awk '{ print $12 + $13 }'
}
events=$work/events
"$watch_bin" >"$events" &
watch_pid=$!
while ! grep -q ready "$events" 2>/dev/null; do sleep 0.05; done
# The other processor busy meanwhile, as on a machine in use.
sh -c 'while :; do :; done' &
load_pid=$!

first_update_after() { # <time>
    awk -v t="$1" '$1 != "ready" && $1 > t { printf "%.1f", ($1 - t) * 1000; found = 1; exit } END { if (!found) print "-1" }' "$events"
}
wait_for_update_after() { # <time>
    i=0
    while [ "$(first_update_after "$1")" = -1 ] && [ $i -lt 200 ]; do sleep 0.05; i=$((i + 1)); done
}
# Updates in [from, to] (wall-clock times): one update for each run of
# damage less than 3 ms apart by the X server's clock. Prints the rate per
# second and the 95th percentile interval in ms.
updates_between() { # <from> <to>
    awk -v a="$1" -v b="$2" '
        $1 == "ready" || $1 < a || $1 > b { next }
        { if (n == 0 || $2 - last > 3) { if (n) iv[n] = $2 - start_; start_ = $2; n++ } last = $2 }
        END {
            if (n < 2) { print "0 0"; exit }
            m = n - 1; for (i = 1; i <= m; i++) v[i] = iv[i]
            for (i = 1; i <= m; i++) for (j = i + 1; j <= m; j++) if (v[j] < v[i]) { x = v[i]; v[i] = v[j]; v[j] = x }
            k = int(0.95 * m + 0.5); if (k < 1) k = 1; if (k > m) k = m
            printf "%.2f %.1f\n", n / (b - a), v[k]
        }' "$events"
}
exit_after_key() { # <pid>: presses a key; exit_ms = the ms until the process ends
    tk=$(now)
    xdotool key space
    wait "$1" || true  # not in a subshell: only this shell can wait for its child
    exit_ms=$(awk -v a="$tk" -v b="$(now)" 'BEGIN { printf "%.0f", (b - a) * 1000 }')
}
pid_of() { # <pattern>: the newest process whose command line has it
    i=0
    while [ $i -lt 100 ]; do
        p=$(pgrep -n -f "$1" || true)
        [ -n "$p" ] && { echo "$p"; return 0; }
        sleep 0.05
        i=$((i + 1))
    done
    return 1
}

saver=$build/Skardel.scr
period=30
blackbox=$work/blackbox
: >"$blackbox"
echo "part two: the running saver, five runs of each scene, the other processor busy" >&2
for run in 1 2 3 4 5; do
    for scene in default dense preview; do
        count=3; stars=100
        [ "$scene" = dense ] && { count=50; stars=400; }
        reg add "$settings" /v Count /t REG_DWORD /d $count /f
        reg add "$settings" /v Stars /t REG_DWORD /d $stars /f
        reg add "$settings" /v Speed /t REG_DWORD /d $period /f
        reg add "$settings" /v Fps /t REG_DWORD /d 0 /f
        t0=$(now)
        if [ "$scene" = preview ]; then
            "$loader" "$build/PreviewHost.exe" 6 </dev/null >/dev/null 2>&1 &
            host=$!
            pid=$(pid_of 'Skardel.scr" /p|Skardel.scr /p') || { echo "the preview did not start" >&2; exit 1; }
        else
            "$loader" "$saver" /s </dev/null >/dev/null 2>&1 &
            pid=$!
        fi
        wait_for_update_after "$t0"
        first=$(first_update_after "$t0")
        sleep 1.5
        t1=$(now); c1=$(cpu_ticks "$pid")
        sleep 3
        t2=$(now); c2=$(cpu_ticks "$pid")
        rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null || echo 0)
        set -- $(updates_between "$t1" "$t2")
        rate=$1 p95=$2
        cores=$(awk -v a="$c1" -v b="$c2" -v t1="$t1" -v t2="$t2" -v hz="$SKARDEL_BENCH_CLK_TCK" \
            'BEGIN { printf "%.2f", (b - a) / hz / (t2 - t1) }')
        exit_ms=-1
        if [ "$scene" = preview ]; then
            wait "$host" || true
        else
            exit_after_key "$pid"
        fi
        echo "run=$run scene=$scene first=$first rate=$rate p95=$p95 cores=$cores rss_kb=${rss:-0} exit=$exit_ms" >>"$blackbox"
    done
    for baseline in gdi ddraw; do
        t0=$(now)
        "$loader" "$build/tests/bench_baseline.exe" "$baseline" </dev/null >/dev/null 2>&1 &
        pid=$!
        wait_for_update_after "$t0"
        first=$(first_update_after "$t0")
        sleep 0.5
        exit_after_key "$pid"
        echo "run=$run scene=$baseline first=$first exit=$exit_ms" >>"$blackbox"
    done
done
stop_part_two

# --- the table, the CSV and the targets ---
for scene in default dense preview; do
    recorded=$(awk -v s=$scene '$1 == s { print $2 }' "$SKARDEL_ROOT/tests/bench/checksums")
    for sum in $(grep " scene=$scene " "$results" | sed 's/.*checksum=//' | sort -u); do
        [ "$sum" = "$recorded" ] || echo "the $scene scene's picture changed: checksum $sum, recorded $recorded"
    done
done
csv=$build/bench.csv
awk -v csv="$csv" -v period="$period" '
    function val(line, key,   n, i, kv) {
        n = split(line, kv, " ")
        for (i = 1; i <= n; i++) if (index(kv[i], key "=") == 1) return substr(kv[i], length(key) + 2)
        return ""
    }
    function median(name, scene,   n, i, j, x, v) {
        n = cnt[scene]
        for (i = 1; i <= n; i++) v[i] = fig[scene, name, i] + 0
        for (i = 1; i <= n; i++) for (j = i + 1; j <= n; j++) if (v[j] < v[i]) { x = v[i]; v[i] = v[j]; v[j] = x }
        return n ? v[int((n + 1) / 2)] : 0
    }
    FNR == 1 { part++ }
    {
        # The running saver'"'"'s figures kept apart from the composition'"'"'s.
        scene = (part == 2 ? "run_" : "") val($0, "scene"); k = ++cnt[scene]
        n = split($0, kv, " ")
        for (i = 1; i <= n; i++) { split(kv[i], p, "="); fig[scene, p[1], k] = p[2]; names[part, p[1]] = 1 }
        if (part == 1) {
            if (!(scene in sum)) sum[scene] = val($0, "checksum")
            else if (sum[scene] != val($0, "checksum")) sums_differ[scene] = 1
        }
    }
    END {
        print "scene,figure,median,unit" >csv
        printf "\n%-26s %12s %12s %12s\n", "composition (us per frame)", "default", "dense", "preview"
        split("frame_wall frame_p95 frame_cpu xvfb_cpu server_cpu compose_wall compose_cpu compose_median plain background sprites text present text_on text_off memcpy_hot memcpy_cold empty_present", rows, " ")
        for (r = 1; r in rows; r++) {
            printf "%-26s", rows[r]
            split("default dense preview", ss, " ")
            for (s = 1; s <= 3; s++) { m = median(rows[r], ss[s]); printf " %12.1f", m; print ss[s] "," rows[r] "," m ",us" >csv }
            printf "\n"
        }
        printf "%-26s %12s %12s %12s\n", "checksum", fig["default", "checksum", 1], fig["dense", "checksum", 1], fig["preview", "checksum", 1]
        for (s in sums_differ) printf "checksums differ between runs of the %s scene\n", s
        printf "\n%-26s %12s %12s %12s %12s %12s\n", "running (median of 5)", "default", "dense", "preview", "gdi", "ddraw"
        split("first rate p95 cores rss_kb exit", rows2, " ")
        split("default dense preview gdi ddraw", all, " ")
        for (r = 1; r in rows2; r++) {
            printf "%-26s", rows2[r]
            for (s = 1; s <= 5; s++) {
                sc = "run_" all[s]
                if (fig[sc, rows2[r], 1] == "") { printf " %12s", "-"; continue }
                m = median(rows2[r], sc); printf " %12.2f", m; print sc "," rows2[r] "," m >csv
            }
            printf "\n"
        }
        # The targets: worst runs where the target is about every run.
        worstDelivery = 99; worstP95 = 0
        split("run_default run_dense run_preview", ss, " ")
        for (s = 1; s <= 3; s++) for (i = 1; i <= cnt[ss[s]]; i++) {
            d = fig[ss[s], "rate", i] / (1000 / period); if (d < worstDelivery) worstDelivery = d
            q = fig[ss[s], "p95", i] / period; if (q > worstP95) worstP95 = q
        }
        printf "\n"
        printf "exit against the DirectDraw baseline: %.2f\n", median("exit", "run_default") / median("exit", "run_ddraw")
        printf "target composition-vs-floor %.2f\n", median("compose_median", "dense") / median("plain", "dense")
        printf "target fps-text-cost %.2f\n", median("text_on", "default") / median("text_off", "default")
        printf "target delivery %.2f\n", worstDelivery
        printf "target interval-p95-vs-period %.2f\n", worstP95
        printf "target cores %.2f\n", median("cores", "run_default")
        printf "target first-picture-vs-baseline %.2f\n", median("first", "run_default") / median("first", "run_ddraw")
        printf "target exit-vs-baseline %.2f\n", median("exit", "run_default") / median("exit", "run_gdi")
    }' "$results" "$blackbox"
echo "(the figures as CSV: $csv)" >&2
