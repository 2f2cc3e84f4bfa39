#pragma once

#include "InkMask.h"

#include <QImage>
#include <QSize>

#include <optional>

// The steps that turn any picture into a colouring page: pure black lines on
// pure white, closed, at least two pixels wide, with no area too small for a
// child to hit, fitted into the room beside the picture list.

// The room beside the picture list.
inline constexpr QSize kPageBox{355, 560};
// Pictures are thresholded at up to this many times the page's size, so that
// thin lines still count when they are shrunk to the page.
inline constexpr int kWorkingScale = 4;
// The smallest area a child can hit.
inline constexpr int kSmallestArea = 150;

// `picture` scaled with its proportions kept to fit inside `box`, at least one
// pixel each way.
QSize fitInside(QSize picture, QSize box);

// The picture as grey levels on white paper, at the size it is worked at for a
// page of `page`: shrunk to at most kWorkingScale times the page, or grown to
// the page. Transparent pixels are paper.
QImage workingGrey(const QImage &picture, QSize page);

// `grey` (Format_Grayscale8) with every pixel the mean of the 3 x 3 square
// around it: the grain of paper and scanner fades, lines stay.
QImage smoothGrain(const QImage &grey);

// `grey` (Format_Grayscale8) under even light: every pixel divided by the
// level of the paper around it, so that the shaded corner of a photographed
// sheet is as white as its middle. The paper's level is the brightest grey of
// the blocks nearby, but never less than half the page's brightest paper, so
// that a large dark shape stays dark.
QImage evenLight(const QImage &grey);

// The grey level that parts ink from paper, chosen from the picture's own
// histogram (the level that best separates two classes of grey, after Otsu).
// Levels at or below it are ink. None when the two classes are too close to
// be lines on paper: a blank page, or paper with noise on it.
std::optional<int> inkThreshold(const QImage &grey);

// Ink where `grey` (Format_Grayscale8) is at or below `level`.
InkMask inkAtOrBelow(const QImage &grey, int level);

// Removes every patch of ink of fewer than `smallerThan` pixels (8-connected).
void removeSpecks(InkMask &mask, int smallerThan);

// The mask shrunk to `size`: a pixel is ink when any ink of the larger mask
// falls on it, so no line breaks however thin it was.
InkMask shrinkKeepingLines(const InkMask &mask, QSize size);

// Closes gaps of one or two pixels in the lines (a closing by a 3 x 3 square).
void closeGaps(InkMask &mask);

// Makes every line at least two pixels wide, both ways: each ink pixel is
// widened by one pixel to the right and downwards.
void thickenLines(InkMask &mask);

// Fills with ink every area of paper of fewer than `smallerThan` pixels. Areas
// are 4-connected, as the fill of the drawing box sees them.
void fillSmallAreas(InkMask &mask, int smallerThan);

// The mask as an indexed picture of two colours: index 0 black, 1 white.
QImage blackAndWhite(const InkMask &mask);

// All the steps, in order: a page that fits inside `box`.
QImage makeColouringPage(const QImage &picture, QSize box = kPageBox);
