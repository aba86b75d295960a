// Placeholders until the file channels and the random generator land.
#include <cstdint>
void CloseAllChannels() {}
void SeedRandom(int32_t) {}
