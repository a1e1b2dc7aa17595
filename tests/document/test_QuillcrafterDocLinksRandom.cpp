/// Randomized tests for QuillcrafterDocLinks.cpp: renumbering topic links
/// never changes text outside the kind-0 markers.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "document/QuillcrafterDoc.h"

namespace {

/// A random topic body built from pieces whose effect on renumbering is
/// known: the expected text is the same pieces with each mapped kind-0
/// marker replaced by its rewritten form.
struct Body {
  std::string original;
  std::string expected;
};

class BodyMaker {
 public:
  explicit BodyMaker(unsigned seed) : FRandom(seed) {}

  template <class Lookup>
  Body Make(Lookup lookup) {
    Body body;
    const int pieces = Pick(0, 30);
    for (int i = 0; i < pieces; ++i) {
      std::string original;
      std::string expected;
      switch (Pick(0, 9)) {
        case 0:
        case 1:
        case 2: {
          // A topic link, sometimes with formatting inside.
          const int32_t id = Pick(-2, 12);
          const int style = Pick(0, 2);
          const std::string digits = std::to_string(id);
          const std::string inner = Pick(0, 3) == 0 ? "\\cf1 " + digits + "\\cf0 " : digits;
          original = "\\{" + Case("linkID=") + LinkStyles[style] + inner + "\\}";
          const std::optional<int32_t> mapped = lookup(id);
          expected = mapped ? "\\{linkID=" + std::string(LinkStyles[style]) + std::to_string(*mapped) + "\\}"
                            : original;
          break;
        }
        case 3: {
          static const char* const kOthers[] = {"\\{link=Ctx3@other.hlp\\}", "\\{linkDelphi=TFoo_Method\\}",
                                                "\\{linkTarget=%5\\}", "\\{link=! JumpID(3)\\}"};
          original = expected = kOthers[Pick(0, 3)];
          break;
        }
        case 4: {
          // Escaped text that is not a link: skipped, never an end of the search.
          static const char* const kNotLinks[] = {"\\{note\\}", "\\{li\\}", "\\{\\}", "\\\\{linkID=3\\\\}"};
          original = expected = kNotLinks[Pick(0, 3)];
          break;
        }
        case 5: {
          static const char* const kControls[] = {"\\par ", "\\b ", "\\cf2 ", "{\\i ", "}", "\\\\", "\r\n"};
          original = expected = kControls[Pick(0, 6)];
          break;
        }
        default: {
          static const std::string kAlphabet = "abc xyz 0123456789=%*@!_{}";
          const int length = Pick(1, 8);
          for (int k = 0; k < length; ++k) original += kAlphabet[static_cast<size_t>(Pick(0, 25))];
          expected = original;
          break;
        }
      }
      body.original += original;
      body.expected += expected;
    }
    return body;
  }

 private:
  int Pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(FRandom); }
  /// The prefix in a random letter case (markers are matched ignoring case).
  std::string Case(std::string text) {
    if (Pick(0, 4) == 0)
      for (char& c : text)
        if (c >= 'a' && c <= 'z' && Pick(0, 1)) c = static_cast<char>(c - 'a' + 'A');
    return text;
  }

  std::mt19937 FRandom;
};

std::string WholeTextOf(const std::string& text) {
  TQCTopic topic;
  topic.SetWholeText(text);
  return topic.WholeText();
}

TEST(RemapTopicLinksRandom, OnlyMappedTopicLinksChange) {
  int rewritten = 0;
  for (unsigned seed = 1; seed <= 400; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed * 7919u);
    // A map over IDs -2 .. 12, topic 0 included.
    TQCTopicIDMap map;
    for (int32_t id = -2; id <= 12; ++id)
      if (random() % 3 == 0) map.Put(id, static_cast<int32_t>(random() % 1000) - 10);

    BodyMaker maker(seed);
    const Body body = maker.Make([&map](int32_t id) { return map.Find(id); });

    TQuillcrafterDoc doc;
    TQCTopic* topic = doc.Topics().Add();
    topic->SetWholeText(body.original);
    doc.RemapTopicLinks(*topic, map);
    ASSERT_EQ(topic->WholeText(), WholeTextOf(body.expected)) << body.original;
    if (body.expected != body.original) ++rewritten;
  }
  EXPECT_GT(rewritten, 200) << "the bodies must exercise the rewriting";
}

}  // namespace
