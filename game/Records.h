// The player's name, the four stored names and the high-score tables, and their record files.
#pragma once

void LoadRecords();
void BuildScoreNames();
void BuildPlayerSlots();
void SavePlayerName();
void SavePlayerSlots();
// Enters Score with PlayerName into the eight places of LevelNumber (ties go below).
void RecordLevelScore();
void SaveScores();
void BuildCreditText();
