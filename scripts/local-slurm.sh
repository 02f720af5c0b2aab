#!/usr/bin/env bash
# A one-node Slurm cluster in a folder of its own: `up [DIR]` starts munge, slurmctld and slurmd, `down DIR` stops them.
#
# Everything lives in DIR (default: a new folder under $TMPDIR or /tmp): the munge key and
# socket, slurm.conf, state, spool, logs and PID files; nothing under /etc is read or written.
# `up` prints DIR on its last line; `source DIR/env` points the Slurm commands at the cluster.
# The daemons run as root (Slurm's daemons and munge need it here), so `up` needs root.
# Ports: LOCAL_SLURM_CTLD_PORT (default 6817) and LOCAL_SLURM_D_PORT (default 6818).
set -euo pipefail

usage() {
  echo "usage: $0 up [DIR] | down DIR" >&2
  exit 2
}

# Stops the process whose PID the file names and waits until it has gone (at most ~10 s, then
# SIGKILL). A stale or empty PID file is ignored.
stop_pid_file() {
  local file=$1 pid
  [ -s "$file" ] || return 0
  pid=$(cat "$file")
  [[ "$pid" =~ ^[0-9]+$ ]] || return 0
  kill -TERM "$pid" 2>/dev/null || return 0
  for _ in $(seq 100); do
    kill -0 "$pid" 2>/dev/null || return 0
    sleep 0.1
  done
  kill -KILL "$pid" 2>/dev/null || true
}

down() {
  local dir=$1
  [ -f "$dir/slurm.conf" ] || { echo "local-slurm: $dir is not a local cluster folder" >&2; exit 1; }
  # slurmd first: it ends the job steps it runs; slurmctld next; munge last, both use it.
  stop_pid_file "$dir/slurmd.pid"
  stop_pid_file "$dir/slurmctld.pid"
  stop_pid_file "$dir/munge/munged.pid"
  rm -rf "$dir"
}

# Waits up to $2 seconds for the command in the remaining arguments to succeed.
wait_for() {
  local what=$1 seconds=$2
  shift 2
  for _ in $(seq $((seconds * 10))); do
    "$@" >/dev/null 2>&1 && return 0
    sleep 0.1
  done
  echo "local-slurm: $what did not come up" >&2
  return 1
}

up() {
  [ "$(id -u)" -eq 0 ] || { echo "local-slurm: needs root (slurmd and munged run as root)" >&2; exit 1; }
  for tool in munged mungekey slurmctld slurmd scontrol sinfo; do
    command -v "$tool" >/dev/null || { echo "local-slurm: $tool not found (scripts/setup.sh installs it)" >&2; exit 1; }
  done
  dir=${1:-$(mktemp -d "${TMPDIR:-/tmp}/local-slurm.XXXXXX")}
  mkdir -p "$dir"
  dir=$(cd "$dir" && pwd)
  # Batch scripts run from the spool folder: on a noexec file system every job would fail (13).
  printf '#!/bin/sh\nexit 0\n' >"$dir/exec-check"
  chmod +x "$dir/exec-check"
  if ! "$dir/exec-check"; then
    echo "local-slurm: $dir is on a noexec file system; give a folder where scripts may run" >&2
    rm -rf "$dir"
    exit 1
  fi
  rm -f "$dir/exec-check"
  mkdir -p "$dir/munge" "$dir/state" "$dir/spool"
  chmod 0755 "$dir" "$dir/munge"
  # On a failed start, show the daemons' logs, then stop what did start.
  trap 'tail -n 15 "$dir"/*.log "$dir"/munge/*.log >&2 2>/dev/null; down "$dir" || true' ERR

  mungekey -c -k "$dir/munge/munge.key"
  munged --socket="$dir/munge/munge.socket" --key-file="$dir/munge/munge.key" \
    --pid-file="$dir/munge/munged.pid" --log-file="$dir/munge/munged.log" \
    --seed-file="$dir/munge/munged.seed" --origin=127.0.0.1 --force

  # The node must claim exactly the hardware slurmd detects, or slurmctld drains it.
  local hardware
  hardware=$(slurmd -C | head -n 1 | sed -e 's/^NodeName=[^ ]* *//')
  cat >"$dir/slurm.conf" <<EOF
ClusterName=local
SlurmctldHost=localhost
SlurmctldPort=${LOCAL_SLURM_CTLD_PORT:-6817}
SlurmdPort=${LOCAL_SLURM_D_PORT:-6818}
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
CredType=cred/munge
AuthInfo=socket=$dir/munge/munge.socket
StateSaveLocation=$dir/state
SlurmdSpoolDir=$dir/spool
SlurmctldPidFile=$dir/slurmctld.pid
SlurmdPidFile=$dir/slurmd.pid
SlurmctldLogFile=$dir/slurmctld.log
SlurmdLogFile=$dir/slurmd.log
ProctrackType=proctrack/pgid
TaskPlugin=task/none
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
JobCompType=jobcomp/filetxt
JobCompLoc=$dir/jobcomp.txt
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
SchedulerType=sched/backfill
# slurmctld holds a batch job back up to batch_sched_delay (3 s by default, for clusters that take
# thousands of submissions a second) before it schedules it; on this one-node cluster that delay
# was most of a task's cost from submission to its first frame. Without it a job waits only for
# slurmctld's once-a-second background pass (0 to 1 s).
SchedulerParameters=batch_sched_delay=0
MpiDefault=none
ReturnToService=2
MinJobAge=600
KillWait=10
NodeName=localhost NodeAddr=127.0.0.1 $hardware State=UNKNOWN
PartitionName=local Nodes=localhost Default=YES MaxTime=INFINITE State=UP
EOF
  echo "export SLURM_CONF=$dir/slurm.conf" >"$dir/env"
  export SLURM_CONF=$dir/slurm.conf

  slurmctld -c -f "$SLURM_CONF"
  wait_for slurmctld 30 scontrol ping
  slurmd -N localhost -f "$SLURM_CONF"
  wait_for "the node" 30 sh -c 'sinfo -h -N -o %t | grep -qE "^(idle|mix|alloc)"'
  trap - ERR
  echo "$dir"
}

case "${1:-}" in
  up) up "${2:-}" ;;
  down) [ $# -eq 2 ] || usage; down "$2" ;;
  *) usage ;;
esac
