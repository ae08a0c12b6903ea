#!/usr/bin/env bash
# Console mode against its peers: the same corpus of encoder-made, tagged files is read by
#   Sonoprobe -a        (release build)
#   mediainfo, exiftool (one process over the folder)
#   ffprobe             (one process per file, as people use it)
#   mutagen             (bench/mutagen_reader.py, one process)
#   TagLib              (bench/taglib_reader.cc, one process)
#   floor               (bench/floor.c: open, read the first and last 4 KiB, close)
# Sonoprobe is measured twice: with its component registered beforehand (as after an
# installation, `dispcall --register`), and unregistered, when every run registers the component
# and removes it again at exit.
# with a warm cache, whole process, best of RUNS runs. Prints files per second, the ratio to
# the floor, peak memory and the cost of a file by size class; writes docs/bench/peers.md and
# docs/bench/peers.png.
#
#   bench/compare-peers.sh [COUNT]      COUNT files (default 1000) plus LARGE large ones
#
# Environment: RUNS (3), PIN_CPU (0: the CPU every program runs on, so that no run is moved to
# another CPU midway; empty for no pinning), LARGE (6 files of 50-100 MB), SECONDS_PER_FILE (10, the length of the
# encoded masters), BUILD_DIR (build-rel), BENCH_WORK (a private temporary folder, removed
# afterwards unless given), CLASS_FILES (120: the larger folder of each size class).
set -euo pipefail

repo=$(cd "$(dirname "$0")/.." && pwd)
count=${1:-1000}
runs=${RUNS:-3}
# The folders of a size class take little time per run: more runs keep noise out of the
# differences.
class_runs=${CLASS_RUNS:-7}
cores=$(nproc) # before the shell is pinned to one CPU
large=${LARGE:-6}
seconds=${SECONDS_PER_FILE:-10}
build=${BUILD_DIR:-$repo/build-rel}
class_files=${CLASS_FILES:-120}
if [ -n "${BENCH_WORK:-}" ]; then
    work=$BENCH_WORK
    mkdir -p "$work"
else
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
fi
python=/usr/bin/python3

# --- Tools: the project's own dependencies, then the peers (installed here only; they are
# no dependency of the project).
"$repo/scripts/install-deps.sh"
peers=(mediainfo libimage-exiftool-perl libtag1-dev gnuplot-nox time bc)
missing=()
for package in "${peers[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
        missing+=("$package")
done
if ((${#missing[@]})); then
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq \
        --no-install-recommends "${missing[@]}"
fi

# --- Programs: the release build and the two small readers.
cmake -S "$repo" -B "$build" -DCMAKE_BUILD_TYPE=Release -DSONO_TESTS=OFF >/dev/null
cmake --build "$build" --target Sonoprobe SonoprobeCtrl dispcall -j2 >/dev/null
mkdir -p "$work/bin"
cc -O2 -Wall -Wextra -o "$work/bin/floor" "$repo/bench/floor.c"
c++ -O2 -Wall -Wextra -o "$work/bin/taglib_reader" "$repo/bench/taglib_reader.cc" \
    $(pkg-config --cflags --libs taglib)

# --- Corpus, and per size class two folders of hard links: FEW and MANY names (files repeated
# where the class has fewer). The cost of a file is the difference of the two times divided by
# the difference of the counts, so process start-up and first-use costs drop out.
corpus=$work/corpus
if [ ! -f "$corpus/manifest.tsv" ] || [ "$(wc -l <"$corpus/manifest.tsv")" -ne $((count + large)) ]; then
    echo "Making $count files and $large large ones..." >&2
    "$repo/scripts/make-encoder-corpus.sh" --seconds "$seconds" --large "$large" "$corpus" \
        "$count" >/dev/null 2>"$work/corpus.log"
fi
few=20
classes=(small medium large)
rm -rf "$work/classes"
"$python" - "$corpus/audio" "$work/classes" "$few" "$class_files" <<'PY'
import os, sys
audio, classes, few, many = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
MiB = 1024 * 1024
members = {"small": [], "medium": [], "large": []}
for name in sorted(os.listdir(audio)):
    size = os.path.getsize(os.path.join(audio, name))
    members["small" if size < MiB else "medium" if size < 16 * MiB else "large"].append(name)
for cls, names in members.items():
    for count in (few, many):
        folder = os.path.join(classes, "%s-%d" % (cls, count))
        os.makedirs(folder)
        for k in range(count if names else 0):
            name = names[k % len(names)]
            os.link(os.path.join(audio, name), os.path.join(folder, "%04d-%s" % (k, name)))
PY

# --- Measuring.
export XDG_DATA_HOME=$work/data DISPLAY= WAYLAND_DISPLAY=
pin=${PIN_CPU-0}
# The shell itself is pinned: every program it starts inherits the CPU, at no cost of its own.
[ -z "$pin" ] || taskset -cp "$pin" $$ >/dev/null
registered_config=$work/config-registered
rm -rf "$registered_config"
XDG_CONFIG_HOME=$registered_config "$build/bin/dispcall" --register "$build/bin/libSonoprobeCtrl.so"
tools=(floor Sonoprobe Sonoprobe-unregistered mediainfo exiftool ffprobe mutagen TagLib)
# command_for TOOL FOLDER: the tool's command line in the array `command`, and its settings
# folder in `config_home`.
command_for() {
    config_home=$work/config
    case $1 in
    floor) command=("$work/bin/floor" "$2") ;;
    Sonoprobe)
        command=("$build/bin/Sonoprobe" -a "$2/*.*")
        config_home=$registered_config
        ;;
    Sonoprobe-unregistered) command=("$build/bin/Sonoprobe" -a "$2/*.*") ;;
    mediainfo) command=(mediainfo "$2") ;;
    exiftool) command=(exiftool -q "$2") ;;
    ffprobe) command=(sh -c 'find "$1" -maxdepth 1 -type f -print0 |
        xargs -0 -n1 ffprobe -v quiet -show_format -show_streams' sh "$2") ;;
    mutagen) command=("$python" "$repo/bench/mutagen_reader.py" "$2") ;;
    TagLib) command=("$work/bin/taglib_reader" "$2") ;;
    esac
}

# measure TOOL FOLDER [RUNS]: "SECONDS KIB", the best wall time of RUNS runs (default $runs) after
# one warm-up run and the peak memory of that run.
measure() {
    local best="" rss=0 start end elapsed command config_home
    command_for "$1" "$2"
    XDG_CONFIG_HOME=$config_home "${command[@]}" >/dev/null 2>&1 || true
    for ((r = 0; r < ${3:-$runs}; r++)); do
        start=$EPOCHREALTIME
        XDG_CONFIG_HOME=$config_home /usr/bin/time -f '%M' -o "$work/rss" "${command[@]}" \
            >/dev/null 2>&1 || true
        end=$EPOCHREALTIME
        elapsed=$(echo "$end - $start" | bc -l)
        if [ -z "$best" ] || (($(echo "$elapsed < $best" | bc -l))); then
            best=$elapsed
            rss=$(tail -1 "$work/rss")
        fi
    done
    echo "$best $rss"
}

files=$(find "$corpus/audio" -type f | wc -l)
command_for Sonoprobe "$corpus/audio"
reports=$(XDG_CONFIG_HOME=$config_home "${command[@]}" 2>/dev/null | grep -c '^File      : ' || true)
[ "$reports" -eq "$files" ] || echo "warning: $reports reports for $files files" >&2
cat "$corpus"/audio/* >/dev/null # warm the cache

mkdir -p "$work/classes/empty"
declare -A time rss class_time empty_time
for tool in "${tools[@]}"; do
    echo "Measuring $tool..." >&2
    read -r time[$tool] rss[$tool] < <(measure "$tool" "$corpus/audio")
    # ffprobe starts once per file: its runs over a class folder are long, and few enough.
    tool_class_runs=$class_runs
    [ "$tool" != ffprobe ] || tool_class_runs=$runs
    read -r empty_time[$tool] _ < <(measure "$tool" "$work/classes/empty" "$tool_class_runs")
    for class in "${classes[@]}"; do
        for n in "$few" "$class_files"; do
            read -r class_time[$tool.$class.$n] _ < \
                <(measure "$tool" "$work/classes/$class-$n" "$tool_class_runs")
        done
    done
done

# --- Results.
total_bytes=$(du -sb --apparent-size "$corpus/audio" | cut -f1)
per_file_us() { # TOOL CLASS
    printf '%.0f' "$(echo "(${class_time[$1.$2.$class_files]} - ${class_time[$1.$2.$few]}) / \
        ($class_files - $few) * 1000000" | bc -l)"
}
startup_ms() { # TOOL: the time over an empty folder; ffprobe starts with every file instead
    if [ "$1" = ffprobe ]; then
        echo "per file"
    else
        printf '%.1f' "$(echo "${empty_time[$1]} * 1000" | bc -l)"
    fi
}
sizes() { # CLASS: the range of sizes in the class
    find "$work/classes/$1-$class_files" -type f -printf '%s\n' | sort -n |
        awk 'NR == 1 { low = $1 } { high = $1 } END { printf "%.2f-%.2f MiB", low / 1048576, high / 1048576 }'
}
mkdir -p "$repo/docs/bench"
md=$repo/docs/bench/peers.md
data=$work/peers.dat
{
    echo "# Console mode against its peers"
    echo
    echo "$files files ($count copies of encoder-made masters of $seconds s, tagged by mutagen,"
    echo "and $large large files of 50-100 MiB), $(echo "$total_bytes / 1048576" | bc) MiB in all;"
    echo "measured $(date -u +%Y-%m-%d) by \`bench/compare-peers.sh $count\` on a $cores-core"
    echo "machine shared with other work: warm cache, whole process, best of $runs runs."
    [ -z "$pin" ] || echo "Every program runs on CPU $pin (this machine's CPUs differ in speed)."
    echo "Sonoprobe: the component registered beforehand; Sonoprobe-unregistered: every run"
    echo "registers it and removes it again at exit (two synced changes of the settings)."
    echo
    echo "| Program | Files per second | Time (s) | Ratio to floor | Peak memory (MiB) |"
    echo "|---|---:|---:|---:|---:|"
    for tool in "${tools[@]}"; do
        printf '| %s | %.0f | %.3f | %.2f | %.1f |\n' "$tool" \
            "$(echo "$files / ${time[$tool]}" | bc -l)" "${time[$tool]}" \
            "$(echo "${time[$tool]} / ${time[floor]}" | bc -l)" \
            "$(echo "${rss[$tool]} / 1024" | bc -l)"
    done
    echo
    echo "Cost of a file by size class, in microseconds: the time over $class_files names less the"
    echo "time over $few names of the same class, divided by $((class_files - few)) (hard links,"
    echo "repeated where the class has fewer files), best of $class_runs runs. Start-up: the time"
    echo "over an empty folder."
    echo
    echo "| Program | Start-up (ms) | small: $(sizes small) | medium: $(sizes medium) | large: $(sizes large) |"
    echo "|---|---:|---:|---:|---:|"
    for tool in "${tools[@]}"; do
        printf '| %s | %s | %s | %s | %s |\n' "$tool" "$(startup_ms "$tool")" \
            "$(per_file_us "$tool" small)" "$(per_file_us "$tool" medium)" \
            "$(per_file_us "$tool" large)"
    done
    echo
    echo "ffprobe runs once per file. mediainfo $(mediainfo --version | tail -1 | sed 's/.* - //'),"
    echo "exiftool $(exiftool -ver), ffprobe $(ffprobe -version | head -1 | cut -d' ' -f3),"
    echo "mutagen $("$python" -c 'import mutagen; print(mutagen.version_string)'),"
    echo "TagLib $(pkg-config --modversion taglib)."
    echo
    echo "![Files per second and cost per file by size](peers.png)"
} >"$md"
at_least_one() { # the chart's scale is logarithmic: a cost lost in the noise shows as 1
    awk -v v="$1" 'BEGIN { print (v < 1 ? 1 : v) }'
}
for tool in "${tools[@]}"; do
    printf '%s %s %s %s %s\n' "$tool" "$(echo "$files / ${time[$tool]}" | bc -l)" \
        "$(at_least_one "$(per_file_us "$tool" small)")" \
        "$(at_least_one "$(per_file_us "$tool" medium)")" \
        "$(at_least_one "$(per_file_us "$tool" large)")"
done >"$data"
gnuplot <<EOF
set terminal pngcairo size 1100,480 font ",10"
set output "$repo/docs/bench/peers.png"
set multiplot layout 1,2
set style data histograms
set style fill solid 0.8 border -1
set boxwidth 0.8
set logscale y
set grid ytics
set xtics rotate by -30
set title "Files per second ($files files, higher is better)"
unset key
plot "$data" using 2:xtic(1) linecolor rgb "#3060a0", \
     "" using 0:2:(sprintf("%.0f", \$2)) with labels offset 0,0.7 notitle
set title "Microseconds per file by size class (lower is better)"
set yrange [1:*]
set key top left
set style histogram clustered gap 1
plot "$data" using 3:xtic(1) title "small" linecolor rgb "#70a0d0", \
     "" using 4 title "medium" linecolor rgb "#3060a0", \
     "" using 5 title "large" linecolor rgb "#102040"
unset multiplot
EOF
cat "$md"
