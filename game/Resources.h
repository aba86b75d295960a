// The game's pictures, font and sounds in their numbered slots.
#pragma once

void LoadResources();
void ReleaseResources();
