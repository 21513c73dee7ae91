#include "store/stack_state.h"

namespace store {

StackState& stackState() {
  static StackState* const state = new StackState;  // lives to the end of the process
  return *state;
}

}  // namespace store
