// What the voice's data must hold, read from two hand-written lists:
// "unidades.txt" (the units of the index, as onsets, nuclei and their
// pairs, each with the eSpeak NG phonemes that sound it) and "letras.txt"
// (the letter files, each a character code and the text that names it, and
// other recorded pieces of the letters directory, each a name and its text).
#pragma once
#include <string>
#include <vector>

namespace difones {

struct Unit {
  std::string name;      // index name, "$" and upper case
  std::string phonemes;  // eSpeak NG phoneme input
};

struct Letter {
  std::string name;  // the file's name without ".wav": "_65", "_unknown"
  std::string text;  // Windows-1252 text eSpeak NG reads out
};

// Every onset alone, every nucleus alone, every onset before every nucleus
// (those whose name fits the index), and the extras; sorted by name. False,
// with `problems` filled, when a line does not read.
bool readUnits(const std::string& path, std::vector<Unit>& units, std::vector<std::string>& problems);

bool readLetters(const std::string& path, std::vector<Letter>& letters, std::vector<std::string>& problems);

}  // namespace difones
