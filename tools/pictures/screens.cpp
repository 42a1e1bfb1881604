#include "pictures.h"

namespace pics {

void draw_logo(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_load(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_title(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_over(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_clear(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_extra(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_black(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_red(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_weeks(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cg01(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cg02(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cg03(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cg04(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cg05(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cg06(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_ending(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_car(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_banners(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_cursor(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

void draw_arrow(Pic& p, const Assets&) {
    set(p.cr, hex(0x406080));
    cairo_paint(p.cr);
}

} // namespace pics
