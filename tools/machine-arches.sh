#!/usr/bin/env bash
# Prints the Windows architectures this machine can run under Wine, one per
# line: "x64" always, "x86" only when the kernel runs 32-bit programs (some
# virtual machines' kernels cannot) and Wine's 32-bit loader is installed.
echo x64
if /lib/ld-linux.so.2 --version >/dev/null 2>&1 && [ -x /usr/lib/wine/wine ]; then echo x86; fi
