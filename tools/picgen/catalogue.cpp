// SPDX-FileCopyrightText: 2026 Kalvex developers
//
// SPDX-License-Identifier: MIT

#include "catalogue.h"

#include <stdexcept>

#include "art.h"
#include "canvas.h"
#include "writers.h"

namespace picgen {

namespace {

PictureFile jpeg(QString name, std::function<QImage()> art) {
    const QImage sample = art();
    return {std::move(name), Format::Jpeg, sample.width(), sample.height(), 0, {}, [art](int) {
                return art();
            }};
}

PictureFile gif(QString name, int tableSize, std::function<QImage()> art) {
    const QImage sample = art();
    return {
        std::move(name), Format::Gif, sample.width(), sample.height(), tableSize, {}, [art](int) {
            return art();
        }};
}

PictureFile ico(QString name, std::vector<IconLayer> layers, void (*draw)(QPainter&), qreal units) {
    return {std::move(name), Format::Ico, 0, 0, 0, std::move(layers), [draw, units](int size) {
                return hardEdges(render(draw, size, size, units));
            }};
}

// Icon layers: small prizes are 32 x 32, large ones 48 x 48.
const std::vector<IconLayer> k16{{32, 4}};
const std::vector<IconLayer> k256{{32, 8}};
const std::vector<IconLayer> k16and256{{32, 4}, {32, 8}};
const std::vector<IconLayer> kTrueColour{{32, 24}};
const std::vector<IconLayer> kLarge{{48, 24}};

std::vector<PictureFile> build() {
    using namespace art;
    return {
        // The window and its controls.
        jpeg("field.jpg", field),
        jpeg("click-here.jpg", clickHere),
        gif("banner.gif", 128, banner),
        gif("blue-ball.gif", 256, [] { return ball(QColor(30, 90, 240), QColor(225, 30, 40)); }),
        gif("red-ball.gif", 256, [] { return ball(QColor(235, 40, 40), QColor(30, 70, 220)); }),
        gif("claw-open.gif", 128, [] { return claw(Claw::Open); }),
        gif("claw-closed.gif", 128, [] { return claw(Claw::Closed); }),
        gif("claw-lowered.gif", 128, [] { return claw(Claw::Lowered); }),
        gif("claw-bottom.gif", 128, [] { return claw(Claw::Bottom); }),
        // The window icon, also prizes 8 and 13; prizes 10 and 14 share the squirrel.
        ico("rabbit.ico", k16and256, longEaredRabbit, 32),
        ico("squirrel.ico", k256, squirrel, 32),
        // The other small prizes.
        ico("prize-01.ico", k256, lizard, 32),
        ico("prize-02.ico", kTrueColour, soldier, 32),
        ico("prize-03.ico", k256, rabbitInDress, 32),
        ico("prize-04.ico", k16, fluffyRabbit, 32),
        ico("prize-05.ico", kTrueColour, insectAlien, 32),
        ico("prize-06.ico", k256, kittenMonkey, 32),
        ico("prize-07.ico", k256, armouredBeast, 32),
        ico("prize-09.ico", k256, antennaDoll, 32),
        ico("prize-11.ico", k256, pinkCreature, 32),
        ico("prize-12.ico", k16and256, monkeyHead, 32),
        ico("prize-15.ico", k16, hatRabbit, 32),
        ico("prize-16.ico", k16, bearFace, 32),
        ico("prize-17.ico", k256, mouse, 32),
        ico("prize-18.ico", {{16, 8}, {32, 8}}, kittenBow, 32),
        ico("prize-19.ico", k256, kittenDress, 32),
        ico("prize-20.ico", k256, dragon, 32),
        ico("prize-21.ico", k256, tinyBird, 32),
        // The large prizes.
        ico("prize-22.ico", kLarge, walkerRobot, 48),
        ico("prize-23.ico", kLarge, spacecraft, 48),
        ico("prize-24.ico", kLarge, greenWalker, 48),
        ico("prize-25.ico", kLarge, alienBeast, 48),
        ico("prize-26.ico", kLarge, energySphere, 48),
        ico("prize-27.ico", kLarge, wingedAlien, 48),
    };
}

}  // namespace

const std::vector<PictureFile>& catalogue() {
    static const std::vector<PictureFile> files = build();
    return files;
}

QByteArray encode(const PictureFile& file) {
    switch (file.format) {
        case Format::Jpeg:
            return writeJpeg(file.art(0), 95);
        case Format::Gif:
            return writeGif(quantise(file.art(0), file.tableSize), file.tableSize);
        case Format::Ico: {
            std::vector<IconImage> images;
            for (const IconLayer& layer : file.layers) {
                images.push_back({file.art(layer.size), layer.bits});
            }
            return writeIco(images);
        }
    }
    throw std::logic_error("unknown format");
}

}  // namespace picgen
