# Counting checks for the qctool test scripts: `check NAME COMMAND...` runs
# the command and counts it as passed when it succeeds.
passed=0
failed=0

check() {  # check NAME CONDITION...
  local name=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAILED: $name"
  fi
}
