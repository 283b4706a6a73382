#!/usr/bin/env bash
# cli_start.sh CLI [RUNS]: the start of psykrona-cli for commands that draw
# nothing, against a minimal C program that prints one line, in the same run.
# Compiles the C program and a small runner that starts each command in turn
# (posix_spawn, output to /dev/null) RUNS times (20 by default) and takes
# each run's CPU time (user + system) from wait4 in microseconds; the shell's
# own timing has millisecond steps, coarser than the programs measured.
# Prints the median CPU and wall time of each command and its ratio to the C
# program; the goal is `state` under 3 times the C program.
set -euo pipefail
cli=$1
runs=${2:-20}
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT

cat > "$dir/one_line.c" <<'C'
#include <stdio.h>
int main(void) {
    puts("Temperature        20.0 °C");
    return 0;
}
C
cat > "$dir/runner.c" <<'C'
// runner RUNS NAME CMD ARGS... :: NAME CMD ARGS... :: ...
#include <spawn.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <fcntl.h>
#include <unistd.h>

extern char** environ;

static int Compare(const void* A, const void* B) {
    const double X = *(const double*)A, Y = *(const double*)B;
    return (X > Y) - (X < Y);
}

static double Median(double* V, int N) {
    qsort(V, (size_t)N, sizeof *V, Compare);
    return N % 2 ? V[N / 2] : (V[N / 2 - 1] + V[N / 2]) / 2;
}

int main(int argc, char** argv) {
    const int Runs = atoi(argv[1]);
    char** Commands[16];
    const char* Names[16];
    int Count = 0;
    for (int I = 2; I < argc && Count < 16;) {
        Names[Count] = argv[I++];
        Commands[Count++] = &argv[I];
        while (I < argc && strcmp(argv[I], "::") != 0) I++;
        if (I < argc) argv[I++] = NULL;
    }
    double* Cpu = calloc((size_t)(Runs * Count), sizeof(double));
    double* Wall = calloc((size_t)(Runs * Count), sizeof(double));
    posix_spawn_file_actions_t Quiet;
    posix_spawn_file_actions_init(&Quiet);
    posix_spawn_file_actions_addopen(&Quiet, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&Quiet, 2, "/dev/null", O_WRONLY, 0);
    for (int R = 0; R < Runs; R++) {
        for (int C = 0; C < Count; C++) {
            struct timespec T0, T1;
            struct rusage Use;
            pid_t Pid;
            int Status;
            clock_gettime(CLOCK_MONOTONIC, &T0);
            if (posix_spawn(&Pid, Commands[C][0], &Quiet, NULL, Commands[C], environ) != 0 ||
                wait4(Pid, &Status, 0, &Use) != Pid) {
                fprintf(stderr, "%s cannot be started\n", Names[C]);
                return 1;
            }
            clock_gettime(CLOCK_MONOTONIC, &T1);
            if (!WIFEXITED(Status) || WEXITSTATUS(Status) != 0) {
                fprintf(stderr, "%s failed\n", Names[C]);
                return 1;
            }
            Cpu[C * Runs + R] = (Use.ru_utime.tv_sec + Use.ru_stime.tv_sec) * 1e3 +
                                (Use.ru_utime.tv_usec + Use.ru_stime.tv_usec) / 1e3;
            Wall[C * Runs + R] = (T1.tv_sec - T0.tv_sec) * 1e3 + (T1.tv_nsec - T0.tv_nsec) / 1e6;
        }
    }
    for (int C = 0; C < Count; C++) {
        printf("%s\t%.3f\t%.3f\n", Names[C], Median(Cpu + C * Runs, Runs), Median(Wall + C * Runs, Runs));
    }
    return 0;
}
C
cc=${CC:-cc}
"$cc" -O2 -o "$dir/one_line" "$dir/one_line.c"
"$cc" -O2 -o "$dir/runner" "$dir/runner.c"

cli=$(realpath "$cli")
examples=$(dirname "$cli")/examples
project=$(ls "$examples"/*.pkx 2>/dev/null | head -1 || true)
[[ -n $project ]] || { echo "no example project beside $cli" >&2; exit 1; }

"$dir/runner" "$runs" \
  "C program, one line" "$dir/one_line" :: \
  "state --temp 20 --relhum 50" "$cli" state --temp 20 --relhum 50 :: \
  "--version" "$cli" --version :: \
  "table $(basename "$project")" "$cli" table "$project" :: \
  "convert $(basename "$project")" "$cli" convert "$project" "$dir/converted.pkx" > "$dir/medians"
# The commands must do their work, not just exit 0.
grep -q '^Relative humidity  50.0 %$' <(LC_ALL=C "$cli" state --temp 20 --relhum 50) ||
  { echo "state did not print the state" >&2; exit 1; }
"$cli" table "$dir/converted.pkx" | cmp -s - <("$cli" table "$project") ||
  { echo "convert did not write the project" >&2; exit 1; }

awk -v n="$runs" -F'\t' '
  { name[NR] = $1; c[NR] = $2; w[NR] = $3 }
  END {
    printf "psykrona-cli start against a C program printing one line, median of %d, CPU = user + system\n", n
    for (i = 1; i <= NR; i++)
      printf "  %-32s %7.3f ms cpu %7.3f ms wall   ratio cpu %6.2f\n", name[i], c[i], w[i], c[i] / c[1]
  }' "$dir/medians"
