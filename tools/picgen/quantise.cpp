// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "quantise.h"

#include <libimagequant.h>

#include <memory>
#include <stdexcept>

namespace picgen {

namespace {

template <class T, void (*Free)(T*)>
struct Deleter {
    void operator()(T* p) const { Free(p); }
};
template <class T, void (*Free)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Free>>;

void check(liq_error error, const char* what) {
    if (error != LIQ_OK) {
        throw std::runtime_error(std::string("libimagequant: ") + what);
    }
}

}  // namespace

Indexed quantise(const QImage& art, int maxColours) {
    // libimagequant reads R, G, B, A bytes; all transparent pixels are made
    // alike so they share one entry.
    QImage rgba = art.convertToFormat(QImage::Format_RGBA8888);
    for (int y = 0; y < rgba.height(); ++y) {
        auto* row = reinterpret_cast<std::uint32_t*>(rgba.scanLine(y));
        for (int x = 0; x < rgba.width(); ++x) {
            if (reinterpret_cast<const std::uint8_t*>(&row[x])[3] == 0) {
                row[x] = 0;
            }
        }
    }

    Owned<liq_attr, liq_attr_destroy> attr(liq_attr_create());
    check(liq_set_max_colors(attr.get(), maxColours), "max colours");
    // The slowest speed is the most thorough and still instant at these sizes.
    check(liq_set_speed(attr.get(), 1), "speed");
    Owned<liq_image, liq_image_destroy> image(
        liq_image_create_rgba(attr.get(), rgba.constBits(), rgba.width(), rgba.height(), 0));
    if (!image) {
        throw std::runtime_error("libimagequant: image");
    }
    liq_result* raw = nullptr;
    check(liq_image_quantize(image.get(), attr.get(), &raw), "quantize");
    Owned<liq_result, liq_result_destroy> result(raw);
    // Flat cartoon colours look cleaner without dithering noise at 1:1.
    check(liq_set_dithering_level(result.get(), 0.0f), "dithering");

    Indexed out;
    out.width = rgba.width();
    out.height = rgba.height();
    out.pixels.resize(static_cast<std::size_t>(out.width * out.height));
    check(liq_write_remapped_image(result.get(), image.get(), out.pixels.data(), out.pixels.size()),
          "remap");
    const liq_palette* palette = liq_get_palette(result.get());
    for (unsigned i = 0; i < palette->count; ++i) {
        const liq_color c = palette->entries[i];
        if (c.a < 128) {
            if (out.transparent >= 0) {
                throw std::runtime_error("libimagequant: two transparent entries");
            }
            out.transparent = static_cast<int>(i);
            out.palette.push_back(qRgba(0, 0, 0, 0));
        } else {
            out.palette.push_back(qRgb(c.r, c.g, c.b));
        }
    }
    return out;
}

}  // namespace picgen
