#include "data/data_files.h"
#include "game/zided.h"

namespace game {

int Zided::run() {
  return rt.run(data::mainform_text(), rt::CompileOptions{10}, [this] { main_program(); });
}

void Zided::main_program() {
  rt.SET_MAIN_MODULE(kModule);
  rt.SET_MODULE(kModule);
  // Until the menu exists: wait for the window to close.
  for (;;) {
    st();
    rt.INKEY(0);
  }
}

}  // namespace game
