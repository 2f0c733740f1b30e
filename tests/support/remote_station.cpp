#include "remote_station.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <csignal>
#include <cstdint>
#include <sstream>

namespace vantorel::testing {
namespace {

using namespace std::chrono_literals;

constexpr const char* kPrefix = "vantorel-";
const std::function<void()> kNoPump = [] {};

// A port on 127.0.0.1 that nothing listens on just now.
unsigned FreeLoopbackPort() {
  const int probe = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
  socklen_t size = sizeof address;
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), size);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size);
  ::close(probe);
  return ntohs(address.sin_port);
}

}  // namespace

std::unique_ptr<NamespacePair> NamespacePair::Make(std::string& why) {
  const std::string ip = FindProgram("ip");
  if (::geteuid() != 0 || ip.empty()) {
    why = "network namespaces need root and iproute2's ip";
    return nullptr;
  }
  std::istringstream listed(RunToEnd({ip, "netns", "list"}, 10s).output);
  for (std::string name; listed >> name;) {
    if (name.rfind(kPrefix, 0) == 0 &&
        ::kill(std::stoi(name.substr(name.rfind('-') + 1)), 0) != 0) {
      RunToEnd({ip, "netns", "del", name}, 10s);  // its test process is gone
    }
  }
  static int made = 0;
  std::unique_ptr<NamespacePair> pair(
      new NamespacePair(ip, std::to_string(made++) + "-" + std::to_string(::getpid())));
  const std::string site = pair->Name(true);
  const std::string home = pair->Name(false);
  const std::string siteLink = "vs" + pair->tag_;  // at most 15 characters
  const std::string homeLink = "vh" + pair->tag_;
  const std::vector<std::vector<std::string>> steps{
      {"netns", "add", site},
      {"netns", "add", home},
      {"link", "add", siteLink, "netns", site, "type", "veth", "peer", "name", homeLink, "netns",
       home},
      {"-n", site, "addr", "add", std::string(kSiteAddress) + "/30", "dev", siteLink},
      {"-n", home, "addr", "add", "10.77.0.2/30", "dev", homeLink},
      {"-n", site, "link", "set", siteLink, "up"},
      {"-n", home, "link", "set", homeLink, "up"},
      {"-n", site, "link", "set", "lo", "up"},
      {"-n", home, "link", "set", "lo", "up"},
  };
  for (const auto& step : steps) {
    if (!pair->Ip(step)) {
      why = "\"ip " + step[0] + " " + step[1] + " ...\" failed: no network namespaces here";
      return nullptr;  // the destructor removes what was made
    }
  }
  return pair;
}

NamespacePair::~NamespacePair() {
  // The veth pair goes with its namespaces.
  Ip({"netns", "del", Name(true)});
  Ip({"netns", "del", Name(false)});
}

std::string NamespacePair::Name(bool site) const {
  return kPrefix + std::string(site ? "site-" : "home-") + tag_;
}

bool NamespacePair::Ip(const std::vector<std::string>& args) const {
  std::vector<std::string> argv{ip_};
  argv.insert(argv.end(), args.begin(), args.end());
  return RunToEnd(argv, 10s).status == 0;
}

std::vector<std::string> NamespacePair::In(bool site, const std::vector<std::string>& argv) const {
  std::vector<std::string> in{ip_, "netns", "exec", Name(site)};
  in.insert(in.end(), argv.begin(), argv.end());
  return in;
}

void NamespacePair::SetLink(const char* state) const {
  Ip({"-n", Name(false), "link", "set", "vh" + tag_, state});
}

RemoteStation::RemoteStation(std::string nox, bool encrypted, bool ft950Emulation,
                             const NamespacePair* namespaces)
    : nox_(std::move(nox)), namespaces_(namespaces), ft950Emulation_(ft950Emulation) {
  // The namespaces are the test's own: any port is free there.
  address = namespaces_ != nullptr ? std::string(NamespacePair::kSiteAddress) + ":4532"
                                   : "127.0.0.1:" + std::to_string(FreeLoopbackPort());
  for (const auto& station : {site, home}) {
    RunToEnd({nox_, "--folder", station.string(), "--make-certificate"}, 10s);
  }
  std::filesystem::copy_file(site / "vantorel.crt", home / "trusted" / "site.crt");
  std::filesystem::copy_file(home / "vantorel.crt", site / "trusted" / "home.crt");
  const std::string kind = encrypted ? "tls" : "tcp";
  WriteFile(site / "Catmux.ini", StationFileText(kind + "-listen:" + address, siteRadio.Path(),
                                                 {.ft950Emulation = ft950Emulation}));
  WriteFile(home / "Catmux.ini",
            StationFileText(homeApp1.Path(), kind + ":" + address, {.noTranslation = true}));
}

std::string RemoteStation::Start() {
  const auto run = [this](const std::filesystem::path& folder, bool atSite) {
    const std::vector<std::string> argv{nox_, "--folder", folder.string()};
    return std::make_unique<ChildProcess>(namespaces_ ? namespaces_->In(atSite, argv) : argv);
  };
  siteNox = run(site, true);
  // The FT-950 emulation first learns the radio; unanswered, it goes on as it was.
  const std::string opening = ft950Emulation_ ? "ID;OM0;DA;SM1;AI1;" : "AI1;";
  if (siteRadio.Read(opening.size(), kNoPump, 10s) != opening) {
    return "the site did not open its ports\n" + Logs();
  }
  homeNox = run(home, false);
  if (!siteNox->WaitForError("a program took the other end", 10s)) {
    return "home did not get through to the site\n" + Logs();
  }
  Settle();
  return {};
}

void RemoteStation::Settle() {
  siteRadio.Read(SIZE_MAX, kNoPump, 1s);
  homeApp1.Read(SIZE_MAX, kNoPump, 1s);
}

bool RemoteStation::Key() {
  homeApp1.Write("TX1;");
  std::string heard;
  return PumpUntil(
      [&] { return (heard += siteRadio.ReadAvailable()).find("TX1;") != std::string::npos; },
      kNoPump, 10s);
}

std::string RemoteStation::Logs() const {
  return "site:\n" + (siteNox ? siteNox->Errors() : "") + "home:\n" +
         (homeNox ? homeNox->Errors() : "");
}

}  // namespace vantorel::testing
