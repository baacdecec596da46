#include "server/commandline.h"

#include <cstring>

#include "net/protocol.h"
#include "server/operators.h"

namespace {

// Only words that begin with "--" are options: "-5" and "+80" stay bad ports.
bool isOption(const char* word) { return !std::strncmp(word, "--", 2) && word[2]; }

eCommandLine takeOperator(const char* address, cServerOptions& options, std::string& bad)
{
  if (!address || !cOperatorAddresses::isAddress(address)) {
    bad = address ? std::string("not an IP address: ") + address
                  : "--operator-address needs an address";
    return clBadUsage;
  }
  options.operatorAddresses.push_back(address);
  return clRun;
}

}  // namespace

eCommandLine readCommandLine(int argc, const char* const* argv, cServerOptions& options,
                             std::string& bad)
{
  options.port = defaultPort;
  options.operatorAddresses.clear();
  const char* port = nullptr;
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    eCommandLine r = clRun;
    if (!std::strcmp(word, "--help")) return clHelp;
    if (!std::strcmp(word, "--version")) return clVersion;
    if (!std::strcmp(word, "--operator-address"))
      r = takeOperator(i + 1 < argc ? argv[++i] : nullptr, options, bad);
    else if (!std::strncmp(word, "--operator-address=", 19))
      r = takeOperator(word + 19, options, bad);
    else if (isOption(word) || port) {
      bad = isOption(word) ? std::string("unknown option ") + word
                           : std::string("more than one port: ") + word;
      r = clBadUsage;
    } else
      port = word;
    if (r != clRun) return r;
  }
  if (port && !parsePort(port, options.port)) {
    bad = port;
    return clBadPort;
  }
  return clRun;
}

const char* serverUsage()
{
  return "Usage: korvaned [--help] [--version] [--operator-address ADDR]... [port]\n"
         "Serves network games of Korvane on the TCP port (default 15201).\n"
         "  --help                   print this text and exit\n"
         "  --version                print the protocol version and exit\n"
         "  --operator-address ADDR  take \"DIE\" from connections of this address; may be\n"
         "                           repeated (default: 127.0.0.1 and ::1)\n"
         "Lines on standard input: DIE, LST, MSG name@host:text, MSA text.\n";
}

std::string serverVersionLine() { return std::string("korvaned ") + protocolVersion + "\n"; }
