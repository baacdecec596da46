// menuidle [SECONDS]: the processor time a waiting main menu takes. Opens a 640 x 480
// window, runs a five-entry menu untouched for SECONDS (default 10) and ends it with Esc.
// Prints user + system time over wall time. Needs a display (tests/with-xvfb).
#include <allegro.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <thread>

#include "gui/menu.h"
#include "support/benchsupport.h"

int main(int argc, char** argv)
{
  const int seconds = argc > 1 ? atoi(argv[1]) : 10;
  if (argc > 2 || seconds <= 0) {
    fprintf(stderr, "usage: menuidle [SECONDS]\n");
    return 2;
  }
  if (allegro_init() != 0 || install_keyboard() != 0 || install_mouse() < 0 || install_timer() != 0)
    return 1;
  set_color_depth(32);
  if (set_gfx_mode(GFX_AUTODETECT_WINDOWED, 640, 480, 0, 0) != 0) {
    fprintf(stderr, "no graphics mode: %s\n", allegro_error);
    return 1;
  }
  BITMAP* background = create_bitmap(1024, 768);
  clear_to_color(background, makecol(0, 64, 64));
  const char* items[] = {"Network Game", "Local Game", "Options", "Credits", "Quit Game"};
  cMenu menu(background, 5, items);
  show_mouse(screen);
  std::thread stopper([seconds] {
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    simulate_keypress(KEY_ESC << 8 | 27);
  });
  const auto start = std::chrono::steady_clock::now();
  const double before = processorSeconds();
  const int choice = menu.doMe();
  const double used = processorSeconds() - before;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  stopper.join();
  printf("%-24s %10s %10s %8s\n", "case", "cpu s", "wall s", "cpu %");
  printf("%-24s %10.3f %10.3f %8.2f\n", "idle main menu", used, wall, 100.0 * used / wall);
  printf("choice %i\n", choice);
  destroy_bitmap(background);
  return 0;
}
END_OF_MAIN()
