# Sourced by the Slurm benchmarks: with root, brings up a one-node Slurm (scripts/local-slurm.sh)
# and a work folder ($work), both removed on exit; without root, says so and exits 0.
# $1: the benchmark's name for the skip message.
if [ "$(id -u)" -ne 0 ]; then
  echo "$1: skipped (needs root to start Slurm's daemons)"
  exit 0
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/slurm-bench.XXXXXX")
cluster=$(bash scripts/local-slurm.sh up | tail -n 1)
trap 'bash scripts/local-slurm.sh down "$cluster"; rm -rf "$work"' EXIT
export SLURM_CONF=$cluster/slurm.conf
now() { date +%s.%N; }
