// Placeholder until sound lands.
void SoundStartup() {}
void SoundShutdown() {}
