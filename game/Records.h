// The player's name, the four stored names and the high-score tables, and their record files.
#pragma once

// Reads the four record files; a records folder of the player's own that lacks them gets them first
// (Records.cpp tells from where).
void LoadRecords();
void BuildScoreNames();
void BuildPlayerSlots();
void SavePlayerName();
void SavePlayerSlots();
// Enters Score with PlayerName into the eight places of LevelNumber (ties go below).
void RecordLevelScore();
// Writes both files of the high-score tables as one save, after entering this copy's new results into the
// tables as another copy may have saved them.
void SaveScores();
void BuildCreditText();
