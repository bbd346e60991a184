// Media control strings, those scripts send through TOCA and MCI:
//   open FILE [type T] [alias NAME]
//   play NAME|FILE [from N] [to N]   (a file is opened as itself)
//   pause NAME | resume NAME | stop NAME | close NAME|all
//   seek NAME to start|end|N
//   set NAME time format milliseconds|ms
//   status NAME mode|length|position|time format
// Any of them may carry "wait" (play and resume then return once the sound
// ends, or a key comes) or "notify" (nothing to notify: ignored).
// Each device plays in the background (see speech/media_stream.h): play
// returns at once, and speech, keys and the speech waits leave it playing.
// Positions are in milliseconds, the one time format. Mode replies are
// "playing", "paused" and "stopped".
#pragma once
#include <string>
#include <string_view>

namespace engine {

struct Interp;

// 0 or an error number; `reply` gets the command's text result, and stays
// empty after an error.
int mciSend(Interp& in, std::string_view command, std::string& reply);

}  // namespace engine
