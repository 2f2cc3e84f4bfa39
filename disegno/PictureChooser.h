#pragma once

#include <QString>

// Asks, with the desktop's file chooser, for a picture to turn into a
// drawing: only the kinds of pictures tingolamo-disegno reads are offered,
// starting in the user's pictures folder. Empty when nothing was chosen.
QString choosePicture();
