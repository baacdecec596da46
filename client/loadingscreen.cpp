#include "client/loadingscreen.h"

#include <allegro.h>

#include "render/stil.h"
#include "world/host.h"

void draw_loading_screen()
{
  clear_bitmap(screen);
  text_mode(-1);
  draw_background_tarvix();
  draw_title_logo();
  const int cx = SCREEN_W / 2;
  const int cy = SCREEN_H / 2;
  acquire_screen();
  textout_centre_shadow(screen, font, "Loading Game...", cx, cy);
  rect(screen, cx - 102, cy + 15, cx + 99, cy + 29, makecol(128, 128, 128));
  rect(screen, cx - 101, cy + 16, cx + 100, cy + 30, makecol(255, 255, 255));
  release_screen();
}

void draw_percent(int from, int to)
{
  const int cx = SCREEN_W / 2;
  const int cy = SCREEN_H / 2;
  acquire_screen();
  rectfill(screen, cx + 2 * from - 100, cy + 17, cx + 2 * to - 101, cy + 28,
           makecol(160, 160, 240));
  release_screen();
}

void textout_centre_shadow(BITMAP* bmp, FONT* font, const char* text, int x, int y)
{
  textout_centre_ex(bmp, font, text, x, y, makecol(128, 128, 128), -1);
  textout_centre_ex(bmp, font, text, x + 1, y + 1, makecol(255, 255, 255), -1);
}

void draw_background_tarvix()
{
  BITMAP* clouds = still_tarvix(512, 512, 0);
  BITMAP* tile = create_bitmap(512, 512);
  blit(clouds, tile, 0, 0, 0, 0, 512, 512);
  destroy_bitmap(clouds);
  acquire_screen();
  for (int x = 0; x < 512 + SCREEN_W; x += 512) {
    for (int y = 0; y < 512 + SCREEN_H; y += 512) blit(tile, screen, 0, 0, x, y, 512, 512);
  }
  release_screen();
  destroy_bitmap(tile);
}

void draw_title_logo()
{
  const std::string title = hostDataFile("title1.png");
  if (!exists(title.c_str())) return;
  BITMAP* logo = load_bitmap(title.c_str(), nullptr);
  if (!logo) return;
  set_alpha_blender();
  draw_trans_sprite(screen, logo, (SCREEN_W - logo->w) / 2, SCREEN_H / 2 - logo->h);
  destroy_bitmap(logo);
}
