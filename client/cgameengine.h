#ifndef KORVANE_CLIENT_CGAMEENGINE_H
#define KORVANE_CLIENT_CGAMEENGINE_H
// The client's one game object. For now it builds the catalogue and shows its images; the
// game itself and its main menu come later.

class cGameEngine {
public:
  // Needs the log stream open and gamedata.dat loaded; builds the global catalogue metaList
  // and its scaled images metaImages.
  cGameEngine();
  // Frees the catalogue and its images; runs after the data files were unloaded (it reads none of them).
  ~cGameEngine();
  cGameEngine(const cGameEngine&) = delete;
  cGameEngine& operator=(const cGameEngine&) = delete;

  // Shows every terrain, building and unit image until a key is pressed.
  void start();
};

#endif
