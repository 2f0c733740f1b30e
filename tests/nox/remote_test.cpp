// A remote station of two vantorel-nox processes (remote_station.h): traffic
// both ways over the encrypted link, nobody without a trusted certificate
// getting through to the radio, and a silent outage of the link (in network
// namespaces of the test's own) unkeying the site's radio.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <vector>

#include "remote_station.h"

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

const std::function<void()> kNoPump = [] {};

// Each knocks at the site's port with a key-down; the site says who and why,
// and its radio hears nothing of theirs, while home's traffic goes both ways
// (App 1 here an FT-950 client; translating: the outage test).
TEST(PtyRemote, HomesTrafficGoesThroughAndNobodyWithoutATrustedCertificate) {
  RemoteStation station(VANTOREL_NOX_PROGRAM, true, true);  // App 1 as an FT-950 client
  ASSERT_EQ(station.Start(), "");
  // A Vantorel that trusts the site, which does not trust it. Its key is for
  // its owner only (a second pair is refused: the window's test).
  const std::filesystem::path stranger = station.folder.Path() / "stranger";
  ASSERT_EQ(
      RunToEnd({VANTOREL_NOX_PROGRAM, "--folder", stranger.string(), "--make-certificate"}, 10s)
          .status,
      0);
  struct stat key {};
  ASSERT_EQ(::stat((stranger / "vantorel.key").c_str(), &key), 0);
  EXPECT_EQ(key.st_mode & 0777, 0600U);
  std::filesystem::copy_file(station.site / "vantorel.crt", stranger / "trusted" / "site.crt");
  WriteFile(stranger / "Catmux.ini",
            StationFileText("pty:" + (stranger / "app1").string(), "tls:" + station.address,
                            {.noTranslation = true}));
  // Its fingerprint as openssl names it.
  const std::string named = RunToEnd({FindProgram("openssl"), "x509", "-noout", "-fingerprint",
                                      "-sha256", "-in", (stranger / "vantorel.crt").string()},
                                     10s)
                                .output;
  const std::string fingerprint = "SHA-256 " + named.substr(named.find('=') + 1, 95);

  const std::string keyDown = "printf 'TX1;' | ";
  struct Knock {
    std::vector<std::string> argv;
    std::string siteSays;
    std::string itSays{};
  };
  const Knock knocks[] = {
      {{"/bin/sh", "-c", keyDown + "openssl s_client -quiet -connect " + station.address},
       "it showed no certificate"},
      {{"/bin/sh", "-c", keyDown + "socat - TCP:" + station.address},
       "it did not complete a TLS handshake"},
      {{VANTOREL_NOX_PROGRAM, "--folder", stranger.string()},
       "its certificate (" + fingerprint + ") is not one of the 1 in ",
       "its trusted/ folder lacks this station's vantorel.crt (" + fingerprint + ")"},
  };
  for (const Knock& knock : knocks) {
    SCOPED_TRACE(knock.argv.back());
    const std::size_t before = station.siteNox->Errors().size();
    const Finished knocked = RunToEnd(knock.argv, 20s);
    EXPECT_TRUE(station.siteNox->WaitForError("refused 127.0.0.1:", 10s, before));
    EXPECT_NE(station.siteNox->Errors().find(knock.siteSays, before), std::string::npos)
        << station.Logs();
    EXPECT_NE(knocked.errors.find(knock.itSays), std::string::npos) << knocked.errors;
    EXPECT_EQ(station.siteRadio.ReadAvailable(), "");
  }
  station.homeApp1.Write("FA14251300;");
  EXPECT_EQ(station.siteRadio.Read(14, kNoPump), "FA00014251300;") << "home is still through";
  station.siteRadio.Write("FA00007074000;");
  EXPECT_EQ(station.homeApp1.Read(11, kNoPump), "FA07074000;") << station.Logs();
}

// Home's end of the link goes down without a word to the site, which notices
// and unkeys its radio well before its transmit time-out (180 s); how soon is
// a benchmark's figure (bench/remote). Once the link is back, home gets in
// again: the dead connection no longer holds the port.
TEST(PtyRemoteOutage, ASilentOutageUnkeysTheSitesRadioAndFreesThePort) {
  for (const bool encrypted : {true, false}) {
    SCOPED_TRACE(encrypted ? "tls" : "tcp");
    std::string why;
    const auto namespaces = NamespacePair::Make(why);
    if (!namespaces) {
      GTEST_SKIP() << "Skipped, " << why;
    }
    RemoteStation station(VANTOREL_NOX_PROGRAM, encrypted, false, namespaces.get());
    ASSERT_EQ(station.Start(), "");
    ASSERT_TRUE(station.Key()) << station.Logs();
    namespaces->SetLink("down");
    EXPECT_EQ(station.siteRadio.Read(3, kNoPump, 30s), "RX;") << station.Logs();
    EXPECT_TRUE(station.siteNox->WaitForError("unkeyed it (RX;)")) << station.Logs();
    const std::string& log = station.siteNox->Errors();
    EXPECT_NE(log.find(encrypted ? "not even the heartbeat" : "timed out"), std::string::npos);
    // Only the unencrypted port lets in anyone who reaches it, and says so.
    EXPECT_EQ(log.find("anyone who can reach it") != std::string::npos, !encrypted);

    const std::size_t before = log.size();
    namespaces->SetLink("up");
    ASSERT_TRUE(station.siteNox->WaitForError("a program took the other end", 30s, before));
    station.Settle();
    station.homeApp1.Write("FA14251300;");
    EXPECT_EQ(station.siteRadio.Read(14, kNoPump), "FA00014251300;") << station.Logs();
  }
}

}  // namespace
}  // namespace vantorel::testing
