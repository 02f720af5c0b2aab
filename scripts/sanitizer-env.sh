# Sanitizer settings for running the suite under ASan and UBSan (sourced by .ci/run).
# The structured-exception guards install their own handlers for SIGSEGV, SIGBUS, SIGFPE and
# SIGILL while a guard is active and hand every fault that no guard takes back to the handler
# they found (the sanitizer's). allow_user_segv_handler=1 lets them install those handlers; the
# sanitizer keeps its own (handle_*) for faults outside guards, and its alternate signal stacks.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=0:allow_user_segv_handler=1:handle_segv=1:handle_sigbus=1:handle_sigfpe=1:handle_sigill=1:use_sigaltstack=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1:allow_user_segv_handler=1"
