// FluidSynth without its sound font: no output, and a reason the user can act on.
#include <gtest/gtest.h>

#include "midi/fluid_output.h"

namespace {

TEST(FluidOutput, AMissingSoundFontIsNamed) {
  std::string why;
  EXPECT_EQ(midi::openFluidSynth("/nonexistent/GM.sf2", why), nullptr);
  EXPECT_EQ(why, "Fonte de sons MIDI n\xE3o encontrada: /nonexistent/GM.sf2");
}

}  // namespace
