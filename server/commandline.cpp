#include "server/commandline.h"

#include <cstdlib>
#include <cstring>

#include "net/protocol.h"
#include "server/operators.h"

namespace {

// Below this a saver would write without pause; a day is the longest wait that makes sense.
const double shortestInterval = 0.01;
const double longestInterval = 86400;

// Only words that begin with "--" are options: "-5" and "+80" stay bad ports.
bool isOption(const char* word) { return !std::strncmp(word, "--", 2) && word[2]; }

bool takeOperator(const char* address, cServerOptions& options, std::string& bad)
{
  if (!cOperatorAddresses::isAddress(address)) {
    bad = std::string("not an IP address: ") + address;
    return false;
  }
  options.operatorAddresses.push_back(address);
  return true;
}

bool takeState(const char* file, cServerOptions& options, std::string&)
{
  options.stateFile = file;
  return true;
}

// A plain decimal number: no sign, no hexadecimal, no "inf" or "nan", nothing after it.
bool takeInterval(const char* text, cServerOptions& options, std::string& bad)
{
  char* end = nullptr;
  const double value = std::strtod(text, &end);
  const bool plain = std::strspn(text, "0123456789.eE") == std::strlen(text);
  if (!plain || end == text || *end || value < shortestInterval || value > longestInterval) {
    bad = std::string("bad save interval ") + text + " (seconds, from 0.01 to 86400)";
    return false;
  }
  options.saveIntervalSeconds = value;
  return true;
}

struct cValued {
  const char* name;   // with its "--"
  const char* needs;  // what the option is missing without a value
  bool (*take)(const char* value, cServerOptions& options, std::string& bad);
};

const cValued valuedOptions[] = {
    {"--operator-address", "an address", takeOperator},
    {"--state", "a file", takeState},
    {"--save-interval", "a number of seconds", takeInterval},
};

// Whether argv[i] is an option with a value ("--name VALUE" or "--name=VALUE"): then r is
// the outcome and i is past the value.
bool readValued(int argc, const char* const* argv, int& i, cServerOptions& options,
                std::string& bad, eCommandLine& r)
{
  for (const cValued& o : valuedOptions) {
    const size_t length = std::strlen(o.name);
    const char* word = argv[i];
    if (std::strncmp(word, o.name, length) || (word[length] && word[length] != '=')) continue;
    const char* value = word[length] ? word + length + 1 : i + 1 < argc ? argv[++i] : nullptr;
    r = clRun;
    if (!value || !*value || (!word[length] && isOption(value))) {
      bad = std::string(o.name) + " needs " + o.needs;
      r = clBadUsage;
    } else if (!o.take(value, options, bad))
      r = clBadUsage;
    return true;
  }
  return false;
}

}  // namespace

eCommandLine readCommandLine(int argc, const char* const* argv, cServerOptions& options,
                             std::string& bad)
{
  options = cServerOptions();
  options.port = defaultPort;
  const char* port = nullptr;
  bool intervalGiven = false;
  for (int i = 1; i < argc; ++i) {
    const char* word = argv[i];
    eCommandLine r = clRun;
    if (!std::strcmp(word, "--help")) return clHelp;
    if (!std::strcmp(word, "--version")) return clVersion;
    if (readValued(argc, argv, i, options, bad, r))
      intervalGiven = intervalGiven || !std::strncmp(word, "--save-interval", 15);
    else if (isOption(word) || port) {
      bad = isOption(word) ? std::string("unknown option ") + word
                           : std::string("more than one port: ") + word;
      r = clBadUsage;
    } else
      port = word;
    if (r != clRun) return r;
  }
  if (intervalGiven && options.stateFile.empty()) {
    bad = "--save-interval needs --state";
    return clBadUsage;
  }
  if (port && !parsePort(port, options.port)) {
    bad = port;
    return clBadPort;
  }
  return clRun;
}

const char* serverUsage()
{
  return "Usage: korvaned [--help] [--version] [--operator-address ADDR]... [--state FILE] "
         "[--save-interval SECONDS] [port]\n"
         "Serves network games of Korvane on the TCP port (default 15201).\n"
         "  --help                   print this text and exit\n"
         "  --version                print the protocol version and exit\n"
         "  --operator-address ADDR  take \"DIE\" from connections of this address; may be\n"
         "                           repeated (default: 127.0.0.1 and ::1)\n"
         "  --state FILE             read the game from FILE before listening, and keep\n"
         "                           writing it there (also when the server stops)\n"
         "  --save-interval SECONDS  write the game at most this often while it changes\n"
         "                           (default 10; 0.01 to 86400, fractions allowed)\n"
         "Lines on standard input: DIE, LST, MSG name@host:text, MSA text.\n";
}

std::string serverVersionLine() { return std::string("korvaned ") + protocolVersion + "\n"; }
