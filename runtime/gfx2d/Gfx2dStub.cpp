// Placeholder until the 2D renderer lands.
