// Placeholder until the file channels land.
void CloseAllChannels() {}
