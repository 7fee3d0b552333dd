// One renderer per protocol family, each in its own file with its timing table.
#pragma once

#include <cstdint>

#include "remotes/sir/timeline.h"

namespace sir {

void RenderNec(Timeline& t, std::uint32_t device, std::uint32_t function, int frames, bool extended);
void RenderPioneer(Timeline& t, std::uint32_t device, std::uint32_t function, int frames);
void RenderSony(Timeline& t, std::uint32_t device, std::uint32_t function, int frames, int deviceBits);
void RenderJvc(Timeline& t, std::uint32_t device, std::uint32_t function, int frames);
void RenderSharp(Timeline& t, std::uint32_t device, std::uint32_t function, int frames);
void RenderMitsubishi(Timeline& t, std::uint32_t device, std::uint32_t function, int frames);
void RenderPanasonic(Timeline& t, std::uint32_t device, std::uint32_t function, int frames);

}  // namespace sir
