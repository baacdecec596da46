// menuidle [SECONDS]: the processor time of a waiting main menu, set against a window that
// draws nothing and one redrawn whole every frame, each for SECONDS (default 10). Opens a
// 640 x 480 window at 32 bits; all three cases pace their frames at 60 a second. Prints, per
// case, the % of one core taken by the program's own thread and by Allegro's threads (X input
// and output, timer), from the kernel's per-thread run time, with the ratio of the whole to
// the window that draws nothing. Needs a display (tests/with-xvfb).
#include <allegro.h>
#include <dirent.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "gui/framepacer.h"
#include "gui/menu.h"

namespace {
// Run time in nanoseconds of this process's threads: the calling one and all the others.
struct cThreadTimes {
  double mine = 0, others = 0;
};

cThreadTimes threadTimes()
{
  cThreadTimes t;
  const std::string self = std::to_string(gettid());
  DIR* tasks = opendir("/proc/self/task");
  if (!tasks) return t;
  while (dirent* e = readdir(tasks)) {
    if (e->d_name[0] == '.') continue;
    FILE* f = fopen(("/proc/self/task/" + std::string(e->d_name) + "/schedstat").c_str(), "r");
    double ns = 0;
    if (f && fscanf(f, "%lf", &ns) != 1) ns = 0;
    if (f) fclose(f);
    (self == e->d_name ? t.mine : t.others) += ns;
  }
  closedir(tasks);
  return t;
}

double seconds(std::chrono::steady_clock::time_point since)
{
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// Runs `frames` (true to go on) and prints its share of a core; returns the whole share.
template <typename Frames>
double measure(const char* name, Frames frames, double reference)
{
  const auto start = std::chrono::steady_clock::now();
  const cThreadTimes before = threadTimes();
  frames();
  const cThreadTimes after = threadTimes();
  const double wall = seconds(start) * 1e9 / 100;  // ns per % of a core
  const double mine = (after.mine - before.mine) / wall;
  const double others = (after.others - before.others) / wall;
  printf("%-28s %10.2f %10.2f %10.2f %8.2f\n", name, mine, others, mine + others,
         reference > 0 ? (mine + others) / reference : 1.0);
  return mine + others;
}

// Frames at 60 a second for `length` seconds, each calling draw().
template <typename Draw>
void pacedFrames(int length, Draw draw)
{
  cFramePacer pacer(60);
  const auto start = std::chrono::steady_clock::now();
  while (seconds(start) < length) {
    draw();
    pacer.wait();
  }
}
}  // namespace

int main(int argc, char** argv)
{
  const int length = argc > 1 ? atoi(argv[1]) : 10;
  if (argc > 2 || length <= 0) {
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
  printf("%-28s %10s %10s %10s %8s\n", "case", "ours %", "allegro %", "total %", "ratio");
  const double still = measure(
      "window, nothing drawn", [&] { pacedFrames(length, [] {}); }, 0);
  int choice = 0;
  measure(
      "idle main menu",
      [&] {
        std::thread stopper([length] {
          std::this_thread::sleep_for(std::chrono::seconds(length));
          simulate_keypress(KEY_ESC << 8 | 27);
        });
        choice = menu.doMe();
        stopper.join();
      },
      still);
  measure(
      "whole window every frame",
      [&] {
        pacedFrames(length, [&] { blit(background, screen, 0, 0, 0, 0, SCREEN_W, SCREEN_H); });
      },
      still);
  printf("choice %i\n", choice);
  destroy_bitmap(background);
  return 0;
}
END_OF_MAIN()
