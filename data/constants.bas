' DATA lines of module zideD, filled in with the game state.
