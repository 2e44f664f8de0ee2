#pragma once

#include <QImage>

// Blurs an 8-bit alpha image in place, close to a Gaussian of standard deviation `sigma` pixels
// (three box blurs each way). Pixels beyond the edges count as transparent.
void blurAlpha(QImage& alpha, double sigma);
