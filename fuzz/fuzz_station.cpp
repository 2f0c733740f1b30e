// libFuzzer target for the station's receive passes: a station started on
// in-memory ports (App 1, App 2 and the radio) in one of its modes, fed
// arbitrary bytes on each port in arbitrary pieces, with the timers, port
// losses and the manual commands in between, then ended as Close ends it.
//
// The first byte chooses the mode (bits 0-1: translating, emulating, sharing,
// no translation) and switches (bit 2 App 1's text ignored, bit 3 the radio's
// text not sent to App 1, bit 4 nor to App 2, bit 5 the radio's text not
// framed, bit 6 Power On/Off clear, bit 7 no transmit time-out); the second
// the Kenwood model named in the settings (bits 0-2, modulo the models and
// "auto"), App 2 in use with no translation (bit 3) and the monitor (bits
// 6-7). Then events (fuzz_check.h), by their kind:
//   0, 1, 2  the bytes arrive at App 1's, App 2's or the radio's port; its
//            receive event is raised while it takes some of them
//   3        the first byte arrives at the radio's, the rest while the radio's
//            pass waits for the end of an answer
//   4        the short tick (100 ms later)     5  the transmit tick (1 s later)
//   6        port news, by the first byte: App 1's or the radio's port lost,
//            back, or App 1's far end let go
//   7        Test, Reset, or an unkey, by the first byte
//
// Traps: a receive pass that failed ("error ...", but "error Overflow"); in
// emulation, a write to the radio that is not whole commands ended by ';';
// the radio keyed by what it was sent (TX;, TX0;, TX1; or TX2; after its last
// RX;, blanks and control characters before a command taken as none) while
// the station does not know it may be keyed, during the run or after the end
// (only while App 2 is out of use: App 2's text goes to the radio as it is,
// and App 2 owns its keying); more than a radio answer's worth of the radio's
// text left waiting; more written than 64 characters for each byte of the
// input, past the start's writes.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <string_view>

#include "cat/radio_dialect.h"
#include "fake_loop.h"
#include "fake_ports.h"
#include "fuzz_check.h"
#include "station/station.h"

namespace {

using namespace std::chrono_literals;
using namespace vantorel;
using station::Mode;
using station::PortChange;
using station::PortRole;

// Routing failures: each one a fault, but the answer translation's report of
// a radio's value beyond 16 bits.
struct FailureEvents : station::QuietEvents {
  void Message(station::Topic topic, std::string_view text) override {
    if (topic == station::Topic::Routing && text.starts_with("error ") &&
        text != "error Overflow") {
      std::fprintf(stderr, "  %.*s\n", static_cast<int>(text.size()), text.data());
      FUZZ_REQUIRE(!"a receive pass failed");
    }
  }
};

// The radio's keying as the commands it was sent leave it: TX;, TX0;, TX1;
// and TX2; key it, RX; unkeys it, nothing else does. Blanks and control
// characters before a command are taken as no part of it.
class RadioKeying {
 public:
  void Heard(std::string_view text) {
    for (const char c : text) {
      if (c != ';') {
        if ((static_cast<unsigned char>(c) > ' ' || !command_.empty()) && command_.size() < 4) {
          command_ += c;
        }
        continue;
      }
      if (command_ == "TX" || command_ == "TX0" || command_ == "TX1" || command_ == "TX2") {
        keyed_ = true;
      } else if (command_ == "RX") {
        keyed_ = false;
      }
      command_.clear();
    }
  }
  // A command cut by the port's loss never reaches the radio whole.
  void Cut() { command_.clear(); }
  [[nodiscard]] bool Keyed() const { return keyed_; }

 private:
  std::string command_;  // its first four characters
  bool keyed_ = false;
};

class Run {
 public:
  Run(std::uint8_t flags, std::uint8_t more) {
    station::Options options;
    const unsigned mode = flags & 3;
    options.profile = mode == 1 ? station::Profile::Emulation : station::Profile::Contract;
    options.app2Unused = CheckOf(mode < 2 || (mode == 3 && (more & 8) == 0));
    options.noTranslation = CheckOf(mode == 3);
    options.ignoreFromApp1 = CheckOf((flags & 4) != 0);
    options.ignoreToApp1 = CheckOf((flags & 8) != 0);
    options.ignoreToApp2 = CheckOf((flags & 16) != 0);
    options.frameRadioText = CheckOf((flags & 32) == 0);
    options.powerControl = CheckOf((flags & 64) == 0);
    options.superviseTransmit = CheckOf((flags & 128) == 0);
    const auto dialects = cat::RadioDialects();
    const std::size_t model = (more & 7) % (dialects.size() + 1);
    options.radioModel = model == dialects.size() ? "auto" : std::string(dialects[model]->name);
    options.monitor = (more & 64) != 0;
    options.monitorHex = (more & 128) != 0;
    station_.SetOptions(options);
    station_.InitPorts(setup_);
    Check();
    start_ = Written();
  }

  // Each event's bytes, its control byte with them.
  void Came(std::size_t bytes) { came_ += bytes; }

  void Arrive(PortRole role, std::string_view bytes) {
    testing::FakeSerialPort& port = Port(role);
    if (!port.IsOpen()) {
      return;  // nothing comes through a closed port
    }
    port.Arrive(bytes);
    // A port raises its receive event again while characters wait.
    for (int raised = 0; raised < 64 && !port.Pending().empty(); ++raised) {
      const std::size_t before = port.Pending().size();
      port.RaiseReceive();
      if (port.Pending().size() >= before) {
        break;
      }
    }
    Check();
  }

  void ArriveLate(std::string_view bytes) {
    if (bytes.empty()) {
      return;
    }
    testing::FakeDevice& radio = factory_.Device(setup_.radio);
    radio.lateArrivals.emplace_back(bytes.substr(1));
    Arrive(PortRole::Radio, bytes.substr(0, 1));
    radio.lateArrivals.clear();
  }

  void Tick(bool transmitTick) {
    if (transmitTick) {
      loop_.Wait(1000ms);
      station_.Timer2_Timer();
    } else {
      loop_.Wait(100ms);
      station_.Timer1_Timer();
    }
    Check();
  }

  void News(std::uint8_t which) {
    const PortRole role = (which & 1) != 0 ? PortRole::Radio : PortRole::App1;
    testing::FakeSerialPort& port = Port(role);
    switch ((which >> 1) % 3) {
      case 0:
        if (role == PortRole::Radio) {
          keying_.Cut();
        }
        port.Tell({PortChange::Lost, "fuzzed loss", true});
        break;
      case 1:
        if (!port.IsOpen()) {
          port.Open();
          port.Tell({PortChange::Restored, {}, false});
        }
        break;
      default:
        port.Tell({PortChange::PeerGone, {}, false});
        break;
    }
    Check();
  }

  void Manual(std::uint8_t which) {
    switch (which % 3) {
      case 0:
        station_.SendTest();
        break;
      case 1:
        station_.SendReset();
        break;
      default:
        station_.UnkeyIfKeyed("when the fuzzer asked");
        break;
    }
    Check();
  }

  void End() {
    station_.End("at the end", false);
    Check();
  }

 private:
  testing::FakeSerialPort& Port(PortRole role) {
    const std::string& name = role == PortRole::App1   ? setup_.app1
                              : role == PortRole::App2 ? setup_.app2
                                                       : setup_.radio;
    testing::FakeDevice& device = factory_.Device(name);
    if (!device.port) {
      device.port = std::make_shared<testing::FakeSerialPort>(device);  // never opened
    }
    return *device.port;
  }

  [[nodiscard]] std::size_t Written() const {
    std::size_t written = 0;
    for (const std::string& write : *log_) {
      written += write.size();
    }
    return written;
  }

  // Every write so far, for the report of a broken rule.
  void ShowWrites() const {
    for (const std::string& write : *log_) {
      std::fprintf(stderr, "  wrote ");
      for (const char c : write) {
        const auto byte = static_cast<unsigned char>(c);
        std::fprintf(stderr, byte >= ' ' && byte < 127 ? "%c" : "\\x%02x", byte);
      }
      std::fprintf(stderr, "\n");
    }
  }

  void Check() {
    for (; seen_ < log_->size(); ++seen_) {
      const std::string_view write = (*log_)[seen_];
      if (!write.starts_with("radio:")) {
        continue;
      }
      const std::string_view text = write.substr(6);
      keying_.Heard(text);
      if (station_.mode() == Mode::Emulating) {
        FUZZ_REQUIRE(!text.empty() && text.back() == ';');
      }
    }
    if (Ticked(station_.options().app2Unused) && keying_.Keyed() && !station_.RadioMayBeKeyed()) {
      ShowWrites();
      FUZZ_REQUIRE(!"the radio may be keyed, and the station does not know it");
    }
    FUZZ_REQUIRE(Port(PortRole::Radio).Pending().size() <= station::kLongestRadioAnswer + 64);
    FUZZ_REQUIRE(Written() <= start_ + 64 * came_ + 4096);
  }

  station::PortSetup setup_{"/dev/app1", "/dev/app2", "/dev/radio", "4800,E,8,1"};
  std::shared_ptr<testing::WriteLog> log_ = std::make_shared<testing::WriteLog>();
  testing::FakePortFactory factory_{log_};
  testing::FakeEventLoop loop_;
  FailureEvents events_;
  // The capture files are never switched on: nothing is written there.
  station::Station station_{factory_, loop_, events_,
                            std::filesystem::temp_directory_path() / "vantorel-fuzz-unused"};
  RadioKeying keying_;
  std::size_t seen_ = 0;
  std::size_t came_ = 0;
  std::size_t start_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) {
    return 0;
  }
  Run run(data[0], data[1]);
  std::string_view rest(reinterpret_cast<const char*>(data + 2), size - 2);
  while (!rest.empty()) {
    const vantorel::fuzz::Event event = vantorel::fuzz::NextEvent(rest);
    const std::string_view bytes = event.bytes;
    const std::uint8_t first = event.Byte(0);
    run.Came(1 + bytes.size());
    switch (event.kind) {
      case 0:
        run.Arrive(PortRole::App1, bytes);
        break;
      case 1:
        run.Arrive(PortRole::App2, bytes);
        break;
      case 2:
        run.Arrive(PortRole::Radio, bytes);
        break;
      case 3:
        run.ArriveLate(bytes);
        break;
      case 4:
      case 5:
        run.Tick(event.kind == 5);
        break;
      case 6:
        run.News(first);
        break;
      default:
        run.Manual(first);
        break;
    }
  }
  run.End();
  return 0;
}
