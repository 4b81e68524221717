#!/usr/bin/env bash
# The analysis checks in a 32-bit prefix (no WOW64, no sysnative paths).
E2E_ARCH=win32 exec bash "$(dirname "$0")/test_analysis.sh" "$@"
