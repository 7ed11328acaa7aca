"""The browser tests' tally: each failed check is printed at once, and a group ends with the
counts and its exit status whatever broke on the way."""
import sys

failures = []
passed = 0


def check(condition, what):
    global passed
    if condition:
        passed += 1
    else:
        failures.append(what)
        print("FAILED: " + what, flush=True)


def run_group(group, clean_up):
    """Runs GROUP(); a broken step ends it, and what was checked before still counts."""
    try:
        group()
    except Exception as e:
        check(False, "%s: %s" % (type(e).__name__, e))
    finally:
        clean_up()
    print("%d passed, %d failed" % (passed, len(failures)))
    sys.exit(1 if failures else 0)
