#include "pictures.h"

namespace pics {

void draw_tiles(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage10(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage11(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage12(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage1b(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage20(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage21(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage22(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage2b(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage30(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage31(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage32(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage3b(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage41(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_stage4b(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_fog1(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_fog2(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_wipe(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

} // namespace pics
