#!/usr/bin/env bash
# The 32-bit x86 build and its proof: scripts/test-cross.sh i386 [--qemu].
exec bash "$(dirname "$0")/test-cross.sh" i386 "$@"
