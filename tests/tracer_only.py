#!/usr/bin/env python3
"""Whether every failed test of a CTest JUnit file failed only by the leak
checker's own tracer: the test itself passed, then LeakSanitizer could not
stop the process's threads ("Tracer caught signal") while the graphics
driver's threads were ending, and so found nothing either way.  Exit 0 when
there is at least one failure and all are of that kind (they may run once
more); 1 otherwise, naming each failure that is a finding.

    tracer_only.py JUNIT_FILE
"""
import sys
import xml.etree.ElementTree as ET

FINDINGS = ("detected memory leaks", "ERROR: AddressSanitizer", "runtime error:", "[  FAILED  ]")


def main():
    failed = [t for t in ET.parse(sys.argv[1]).getroot().iter("testcase") if t.get("status") == "fail"]
    findings = []
    for t in failed:
        out = t.findtext("system-out") or ""
        tracer = "Tracer caught signal" in out and "LeakSanitizer has encountered a fatal error" in out
        if not tracer or "[  PASSED  ] 1 test." not in out or any(f in out for f in FINDINGS):
            findings.append(t.get("name"))
    for name in findings:
        print(f"{name}: a failure of the test itself")
    if failed and not findings:
        print("only the leak checker's tracer failed, in: " + ", ".join(t.get("name") for t in failed))
    return 0 if failed and not findings else 1


if __name__ == "__main__":
    sys.exit(main())
