// The boy on the game's own state (the rules are PlayRules::UpdateBoy and PlayRules::MoveBoy).
#pragma once

// His decision between steps, with the keys the keyboard holds.
void UpdateBoy();
// His step along, drawn.
void DrawBoy();
