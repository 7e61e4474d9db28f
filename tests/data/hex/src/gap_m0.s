@ Cortex-M0 code for the HEX conversion fixtures: a vector table and a loop at 0, and a lookup
@ table placed past 64 KB, so the HEX file needs an extended linear address record and the image
@ has a gap. Built with binutils by scripts/make_hex_fixtures.sh.
        .syntax unified
        .cpu cortex-m0
        .thumb

        .section .vectors, "a"
        .word   0x20001000              @ initial stack pointer
        .word   reset + 1               @ reset handler (Thumb)
        .word   fault + 1
        .word   fault + 1

        .text
        .global reset
        .thumb_func
reset:
        ldr     r0, =table
        movs    r1, #0
1:      ldrb    r2, [r0, r1]
        adds    r1, r1, #1
        cmp     r1, #16
        bne     1b
        movs    r1, #0
        b       1b
        .thumb_func
fault:
        b       fault
        .pool

        .section .far, "a"
table:
        .byte   0x10, 0x21, 0x32, 0x43, 0x54, 0x65, 0x76, 0x87
        .byte   0x98, 0xA9, 0xBA, 0xCB, 0xDC, 0xED, 0xFE, 0x0F
        .ascii  "gap past 64 KB"
