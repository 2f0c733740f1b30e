// The heartbeat's framing on a link between two Vantorels: whatever the bytes
// and however the stream is cut, the far end gets the data as it was sent,
// without the beats.
#include "ports/link_watch.h"

#include <gtest/gtest.h>

#include <string>

namespace vantorel::testing {
namespace {

TEST(LinkWatchTest, DataComesThroughWithoutTheBeatsHoweverTheStreamIsCut) {
  using namespace std::string_literals;
  const std::string beat(ports::kHeartbeat);
  for (const std::string& data : {"FA14251300;"s, "\xFF"s, "\xFF\xFF\x00;"s, ""s}) {
    // A beat before, between two halves and after the data.
    const std::string half = data.substr(0, data.size() / 2);
    const std::string stream = beat + ports::FrameForLink(half) + beat +
                               ports::FrameForLink(data.substr(half.size())) + beat;
    for (std::size_t cut = 0; cut <= stream.size(); ++cut) {
      ports::LinkUnframer far;
      const std::string first = far.Unframe(stream.substr(0, cut));
      EXPECT_EQ(first + far.Unframe(stream.substr(cut)), data) << "cut at " << cut;
    }
  }
}

}  // namespace
}  // namespace vantorel::testing
