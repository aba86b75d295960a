// Placeholder until sound lands.
