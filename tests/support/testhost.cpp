#include "support/testhost.h"

#include <utility>

cTestHost::cTestHost(std::function<int()> width, bool debug)
    : width(std::move(width)), debug(debug), previous(setHost(this))
{
}

cTestHost::~cTestHost() { setHost(previous); }
