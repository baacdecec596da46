#ifndef KORVANE_SERVER_COMMANDLINE_H
#define KORVANE_SERVER_COMMANDLINE_H
// The server's command line: korvaned [--help] [--version] [--operator-address ADDR]... [port]
#include <string>
#include <vector>

enum eCommandLine {
  clRun,      // serve with the options read
  clHelp,     // print the usage on standard output, exit 0
  clVersion,  // print the name and protocol version, exit 0
  clBadPort,  // "bad port number %s/n" with `bad`, exit 1
  clBadUsage  // `bad` names what is wrong; print it and the usage on standard error, exit 1
};

struct cServerOptions {
  int port;  // 1..65535
  // The addresses "DIE" is taken from, as given; empty: 127.0.0.1 and ::1.
  std::vector<std::string> operatorAddresses;
};

// Reads argv[1..argc-1] into options (port defaults to 15201); bad holds the offending text.
eCommandLine readCommandLine(int argc, const char* const* argv, cServerOptions& options,
                             std::string& bad);
const char* serverUsage();
std::string serverVersionLine();  // "korvaned " and the protocol version, with a line break

#endif
