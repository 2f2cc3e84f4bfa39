#pragma once

#include <QSize>

#include <algorithm>

#include <cstdint>
#include <vector>

// A two-colour picture in the making: one byte per pixel, 1 for ink (the black
// lines) and 0 for paper, rows stored one after the other.
struct InkMask
{
    QSize size;
    std::vector<uint8_t> ink;

    explicit InkMask(QSize size = {})
        : size(size), ink(static_cast<size_t>(std::max(0, size.width() * size.height())), 0)
    {}

    int width() const { return size.width(); }
    int height() const { return size.height(); }
    size_t index(int x, int y) const { return static_cast<size_t>(y) * width() + x; }
    bool at(int x, int y) const { return ink[index(x, y)] != 0; }
    void set(int x, int y, bool value) { ink[index(x, y)] = value ? 1 : 0; }
    int inkPixels() const;
};

// Which neighbours join two pixels of the same kind into one region.
enum class Neighbours { Four, Eight };

// The connected regions of the pixels whose ink equals `inkRegions`: the
// region number of every pixel (-1 for the other kind) and the pixel count of
// every region.
struct Regions
{
    std::vector<int> regionOf;
    std::vector<int> pixels;
};

Regions findRegions(const InkMask &mask, bool inkRegions, Neighbours neighbours);
