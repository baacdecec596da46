#include "server/serverengine.h"

int main(int argc, char** argv) { return cServerEngine::start(argc, argv); }
