#include "server/serverengine.h"

int main(int argc, char** argv) {
  cServerEngine::start(argc, argv);
  return 0;
}
