# The pass/fail tally of the end-to-end scripts (sourced): check NAME STATUS [DETAIL] counts one
# check, passed when STATUS is 0, and prints its line.
passed=0
failed=0

check() {  # NAME CONDITION-STATUS [DETAIL]
  if [ "$2" -eq 0 ]; then
    passed=$((passed + 1))
    echo "ok: $1"
  else
    failed=$((failed + 1))
    echo "FAILED: $1${3:+: $3}"
  fi
}
