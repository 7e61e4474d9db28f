/* A small 8051 program for the HEX conversion fixtures: steps a pattern table out on port 1 and
   counts the steps in a timer interrupt. Built with sdcc by scripts/make_hex_fixtures.sh. */
__sfr __at(0x90) P1;
__sfr __at(0x89) TMOD;
__sfr __at(0x8C) TH0;
__sbit __at(0x8C) TR0;
__sbit __at(0xA9) ET0;
__sbit __at(0xAF) EA;

static const unsigned char pattern[] = {0x01, 0x03, 0x07, 0x0F, 0x1F, 0x3F, 0x7F, 0xFF,
                                        0xFE, 0xFC, 0xF8, 0xF0, 0xE0, 0xC0, 0x80, 0x00};
static volatile unsigned int ticks;

void timer0_isr(void) __interrupt(1) {
  TH0 = 0x3C;
  ++ticks;
}

void main(void) {
  unsigned char step = 0;
  TMOD = 0x01;
  ET0 = 1;
  EA = 1;
  TR0 = 1;
  for (;;) {
    unsigned int seen = ticks;
    while (ticks == seen) {
    }
    P1 = pattern[step++ & 0x0F];
  }
}
