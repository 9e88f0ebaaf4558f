// The sampler: one picture that shows what the canvas can draw.
#pragma once

#include "host/Canvas.h"

namespace gallery {

constexpr int SamplerWidth = 760;
constexpr int SamplerHeight = 520;

void DrawSampler(kovo::TCanvas* Canvas);

}  // namespace gallery
