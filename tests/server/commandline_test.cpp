// The server's command line and its operator addresses, as read before anything listens.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "server/commandline.h"
#include "server/operators.h"

namespace {

eCommandLine read(std::vector<const char*> words, cServerOptions& options, std::string& bad)
{
  words.insert(words.begin(), "korvaned");
  return readCommandLine(int(words.size()), words.data(), options, bad);
}

cOperatorAddresses::cAddress addressOf(const char* text)
{
  cOperatorAddresses::cAddress a = {};
  EXPECT_TRUE(cOperatorAddresses::parse(text, a)) << text;
  return a;
}

}  // namespace

TEST(CommandLine, WordsGiveOptionsOrTheReasonTheyAreRefused)
{
  const struct {
    std::vector<const char*> words;
    eCommandLine result;
    int port;
    std::vector<std::string> operators;
    std::string bad;
  } cases[] = {
      {{}, clRun, 15201, {}, ""},
      {{"8080"}, clRun, 8080, {}, ""},
      {{"--operator-address", "127.0.0.2", "--operator-address", "::1", "99"},
       clRun,
       99,
       {"127.0.0.2", "::1"},
       ""},
      {{"--operator-address=10.1.2.3"}, clRun, 15201, {"10.1.2.3"}, ""},
      {{"--help", "nonsense"}, clHelp, 15201, {}, ""},
      {{"--version"}, clVersion, 15201, {}, ""},
      {{"--operator-address"}, clBadUsage, 15201, {}, "--operator-address needs an address"},
      {{"--operator-address", "server.lan"},
       clBadUsage,
       15201,
       {},
       "not an IP address: server.lan"},
      {{"--frobnicate"}, clBadUsage, 15201, {}, "unknown option --frobnicate"},
      {{"1", "2"}, clBadUsage, 1, {}, "more than one port: 2"},
      {{"0"}, clBadPort, 15201, {}, "0"},
      {{"-5"}, clBadPort, 15201, {}, "-5"},
      {{"--"}, clBadPort, 15201, {}, "--"},
  };
  for (const auto& c : cases) {
    cServerOptions options;
    std::string bad;
    const eCommandLine r = read(c.words, options, bad);
    const std::string what = c.words.empty() ? "(none)" : c.words[0];
    EXPECT_EQ(r, c.result) << what;
    EXPECT_EQ(bad, c.bad) << what;
    if (r != clRun) continue;
    EXPECT_EQ(options.port, c.port) << what;
    EXPECT_EQ(options.operatorAddresses, c.operators) << what;
  }
}

// Giving any address replaces the defaults; IPv4 matches its IPv6-mapped form.
TEST(OperatorAddresses, GivenAddressesReplaceTheLoopbackDefaults)
{
  const struct {
    std::vector<std::string> given;
    std::vector<const char*> in, out;
  } cases[] = {
      {{}, {"127.0.0.1", "::1", "::ffff:127.0.0.1"}, {"127.0.0.2", "10.0.0.1", "::2"}},
      {{"127.0.0.2"}, {"127.0.0.2", "::ffff:127.0.0.2"}, {"127.0.0.1", "::1"}},
      {{"::ffff:10.0.0.1", "fe80::1"}, {"10.0.0.1", "fe80::1"}, {"127.0.0.1", "10.0.0.2"}},
      {{"not an address"}, {"127.0.0.1", "::1"}, {"127.0.0.2"}},
  };
  for (const auto& c : cases) {
    cOperatorAddresses operators;
    operators.set(c.given);
    for (const char* a : c.in) EXPECT_TRUE(operators.contains(addressOf(a))) << a;
    for (const char* a : c.out) EXPECT_FALSE(operators.contains(addressOf(a))) << a;
  }
  cOperatorAddresses::cAddress a;
  for (const char* text : {"", "localhost", "127.0.0", "1.2.3.4/8", "::1%lo"})
    EXPECT_FALSE(cOperatorAddresses::parse(text, a)) << text;
}
