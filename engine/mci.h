// Media control strings, the few that scripts send through TOCA and MCI:
//   open FILE [type T] [alias NAME] | play NAME|FILE | status NAME mode|length
//   stop NAME | close NAME|all
// Files are decoded with libsndfile (WAV, FLAC, Ogg, MP3) and played through
// the wave player. There is one script thread, so play returns once the
// sound has been handed to the player (a key stops it); its tail plays on.
#pragma once
#include <string>
#include <string_view>

namespace engine {

struct Interp;

// 0 or an error number; `reply` gets the command's text result.
int mciSend(Interp& in, std::string_view command, std::string& reply);

}  // namespace engine
