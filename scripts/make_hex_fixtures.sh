#!/usr/bin/env bash
# Regenerates the Intel HEX fixtures in tests/data/hex from the sources in tests/data/hex/src, with
# the tools firmware is built with: binutils for Cortex-M0 (objcopy), sdcc for 8051 (.ihx and
# makebin), and srecord (srec_cat). Each HEX file sits beside the binary image the same tool makes
# of it; the test suite checks that Hex_to_Bin gives exactly those bytes. The suite uses the committed
# files, so only this script needs the tools (Debian: binutils-arm-none-eabi sdcc srecord).
set -euo pipefail
cd "$(dirname "$0")/../tests/data/hex"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Cortex-M0: code at 0, a table past 64 KB.
arm-none-eabi-as -mcpu=cortex-m0 -mthumb -o "$work/gap_m0.o" src/gap_m0.s
arm-none-eabi-ld -T src/gap_m0.ld -o "$work/gap_m0.elf" "$work/gap_m0.o"
arm-none-eabi-objcopy -O ihex "$work/gap_m0.elf" gap_m0.hex
arm-none-eabi-objcopy -O binary "$work/gap_m0.elf" gap_m0.bin
chmod -x gap_m0.bin

# 8051: sdcc's .ihx and makebin's image of it (pack mode: up to the last byte written; gaps 0xFF).
sdcc -mmcs51 -o "$work/" src/pulse51.c >/dev/null
cp "$work/pulse51.ihx" pulse51.ihx
makebin -p pulse51.ihx pulse51.bin

# srecord: data below and across the 64 KB boundary and at 0x1A000, written with extended linear
# addresses (32-bit form) and with extended segment addresses (20-bit form).
srec_cat -generate 0x0000 0x0100 -repeat-string "Quillet fixture " \
  -generate 0xFFC0 0x10040 -repeat-data 1 2 3 4 5 6 7 \
  -generate 0x1A000 0x1A010 -constant 0x5A \
  -execution-start-address=0x0000 -o "$work/srec.srec" -motorola
srec_cat "$work/srec.srec" -motorola -o srec_linear.hex -intel --address-length=4 --output-block-size=32
srec_cat "$work/srec.srec" -motorola -o srec_segment.hex -intel --address-length=3 --output-block-size=16
srec_cat "$work/srec.srec" -motorola -o srec.bin -binary
echo "fixtures written to $(pwd)"
