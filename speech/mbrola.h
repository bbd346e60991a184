// MBROLA, the diphone synthesizer, through its program: the same functions
// its library offers, over the `mbrola` executable found beside this program
// or on PATH. Phoneme lines go to its standard input; its standard output
// gives 16-bit mono samples at 16000 Hz. One synthesizer per process.
#pragma once
#include <cstdint>
#include <string>

namespace speech {

inline constexpr int kMbrolaRate = 16000;

// Finds the program; false when there is none. releaseMbrola ends it.
bool loadMbrola();
void releaseMbrola();
// The program loadMbrola found, empty before.
const std::string& mbrolaProgram();

// Starts the program on a voice database; negative on failure.
int init_MBR(const char* databasePath);
// The renaming and cloning lists are passed as the program's -R and -C.
int init_rename_MBR(const char* databasePath, const char* renameList, const char* cloneList);
void close_MBR();
// Drops what was synthesized and not read, by starting the program afresh.
int reset_MBR();

// One phoneme line (or several, each ending in a line feed); negative when
// the program cannot take it (it has gone, or stopped reading).
int write_MBR(const char* lines);
// Ends the lines sent so far, so that all their samples come.
int flush_MBR();
// Up to `wanted` samples into `buffer`: the number written, 0 when none are
// ready, negative on error. After a flush it waits briefly for the last ones.
int read_MBR(int16_t* buffer, int wanted);
// As read_MBR; type 1 gives 16-bit samples, the only type there is.
int readtype_MBR(void* buffer, int wanted, int type);

int lastError_MBR();
int lastErrorStr_MBR(char* buffer, int length);
// A missing diphone is skipped instead of stopping the program when set
// (the program's -e); the setting applies from the next init.
void setNoError_MBR(int noError);
int getNoError_MBR();
// Kept and answered back: samples always come at the database's own rate
// and volume, taken to be 16000 Hz.
void setFreq_MBR(int frequency);
int getFreq_MBR();
void setVolumeRatio_MBR(float ratio);
float getVolumeRatio_MBR();
void getVersion_MBR(char* buffer, int length);
int getDatabaseInfo_MBR(char* buffer, int length, int index);
// Phoneme lines are MBROLA's own format: only "phoneme" parsing exists.
int setParser_MBR(const char* parser);

// A phoneme built up point by point, written as one line.
struct Phone {
  std::string name;
  int ms = 0;
  std::string points;  // " position pitch" pairs
};
Phone* init_Phone(const char* name, float ms);
void reset_Phone(Phone* phone);
void close_Phone(Phone* phone);
void appendf0_Phone(Phone* phone, float position, float pitch);
// The line a phone stands for (not one of the library's functions: what
// write_MBR would be given for it).
std::string phoneLine(const Phone& phone);

}  // namespace speech
