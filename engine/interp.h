// The interpreter: everything a run of a script changes, in one object that
// the run loop, the readers and the handlers are given, as Interp&. Nothing
// of it lives at file scope, so two interpreters share nothing and every test
// starts from a fresh one. The console and speech are not in it: they are the
// process's, one screen and one voice.
#pragma once
#include <string>
#include <vector>

#include "engine/api.h"
#include "engine/channels.h"
#include "engine/clock.h"
#include "engine/line_index.h"
#include "engine/lists.h"
#include "engine/reporter.h"
#include "engine/run_state.h"
#include "engine/store.h"
#include "engine/text_budget.h"
#include "engine/variables.h"

namespace engine {

struct Interp {
  // No lines, variables, lists or open channels; TEMPO counts from now.
  explicit Interp(Reporter& reporter);
  // Closes the files and connections the script left open.
  ~Interp();
  Interp(const Interp&) = delete;
  Interp& operator=(const Interp&) = delete;

  Reporter& reporter;
  Program program;
  LineIndex index;
  RunState run;
  int nesting = 0;  // one-line SE within one-line SE
  TextBudget texts;
  VariableStore variables;
  ListSlots lists;
  Channels channels;
  uint32_t randomSeed = 0;
  WallTime started{};
  std::vector<std::string> params;
  LibraryStates libraries;
};

}  // namespace engine
