// The game main, run by the program entry once the runtime is up.
#pragma once

// Loads everything, runs the title menu, releases everything and ends the program. Never returns.
void GameMain();
