// Where the player's records live, and the lock that keeps two copies of the game from reading or
// writing them at the same time.
//
// A game started with --data DIR keeps everything in DIR, records included. Otherwise the records live in
// the user's own data folder ($XDG_DATA_HOME/<game>/, by default ~/.local/share/<game>/), so that a game
// folder the player cannot write to (an install by root) still keeps names and scores. The record files
// keep their names under "Maps/" in either folder.
#pragma once

#include <string>
#include <vector>

// The folder that holds the records, ending in "/"; "" is the working folder, the game's own folder.
const std::string& RecordsFolder();

// Chosen at start-up, once the working folder is the game's folder: "" with --data (or when the user's
// data folder is the game folder itself, or no home folder is known), else UserDataFolder(game).
void ChooseRecordsFolder(const std::string& game);

// The per-user data folder of `game`, ending in "/": "$XDG_DATA_HOME/<game>/" when that variable holds an
// absolute path, else "$HOME/.local/share/<game>/"; "" when no home folder is known.
std::string UserDataFolder(const std::string& game);

// The path of a record file, `name` relative to the records folder ("Maps/Data.bin"): "./Maps/Data.bin"
// in the working folder.
std::string RecordPath(const std::string& name);

// Held while records are read or saved. Taking it makes the records folder's "Maps/" if it is missing,
// waits while another copy of the game holds the lock (a save takes milliseconds; after 10 seconds the
// program stops with error 3), and then tidies the folder: a save that was stopped after its commit record
// is finished, and temporaries of the record files in `names` ("Data.bin") left by stopped saves are
// removed. A folder where no lock file can be made (a read-only game folder) is read without the lock.
class RecordsLock {
 public:
  explicit RecordsLock(const std::vector<std::string>& names);
  ~RecordsLock();
  RecordsLock(const RecordsLock&) = delete;
  RecordsLock& operator=(const RecordsLock&) = delete;

 private:
  int fd_ = -1;
};
