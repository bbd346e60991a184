// The recorded voice's five speeds on a fresh install. Left empty, the
// section SINTETIZADOR makes every speed sound the same; so the first start
// writes a table for each speed that has no key there, and a user's own
// values stay as they are.
#pragma once

namespace speech {

void writeDefaultSpeedTable();

}  // namespace speech
