// One game on the loaded level, frame by frame, with the score line.
#pragma once

void PlayLevel();
void DrawItems();
