// Properties of XMP packets as cameras and editors write them, and packets that are cut short or hostile.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "metadata/XmpPacket.h"

namespace lumetra {
namespace {

struct Case {
  const char* what;
  std::string packet;
  const char* name;
  std::string value;
};

TEST(XmpProperty, FindsTheFirstPropertyInEachWrittenForm) {
  const std::string description = R"(<x:xmpmeta xmlns:x="adobe:ns:meta/"><rdf:RDF><rdf:Description rdf:about="" )";
  const std::vector<Case> cases = {
      {"an attribute", description + R"(aux:Lens="Samsung Galaxy S9+ Rear Camera" exifEX:LensModel="S9"/>)", "aux:Lens",
       "Samsung Galaxy S9+ Rear Camera"},
      {"an attribute in single quotes, blanks around the equals sign", description + "aux:Lens = 'EF50mm f/1.8'/>",
       "aux:Lens", "EF50mm f/1.8"},
      {"an attribute after a line break", description + "\n\taux:Lens=\"24-70\"/>", "aux:Lens", "24-70"},
      {"an element", "<rdf:Description>\n <aux:Lens>18.0-55.0 mm f/3.5-5.6</aux:Lens>\n</rdf:Description>", "aux:Lens",
       "18.0-55.0 mm f/3.5-5.6"},
      {"an element with attributes", R"(<aux:Lens rdf:parseType="Literal">EF-S10-22mm</aux:Lens>)", "aux:Lens",
       "EF-S10-22mm"},
      {"the first item of an alternative",
       R"(<exifEX:LensModel><rdf:Alt><rdf:li xml:lang="x-default">XF35mmF1.4 R</rdf:li>)"
       R"(<rdf:li xml:lang="de">other</rdf:li></rdf:Alt></exifEX:LensModel>)",
       "exifEX:LensModel", "XF35mmF1.4 R"},
      {"the first item of a sequence", "<aux:Lens><rdf:Seq><rdf:li>A</rdf:li><rdf:li>B</rdf:li></rdf:Seq></aux:Lens>",
       "aux:Lens", "A"},
      {"a longer name is another property", description + R"(aux:LensInfo="18/1 55/1 35/10 56/10" aux:Lens="x"/>)",
       "aux:Lens", "x"},
      {"a name inside another name is not it", description + R"(myaux:Lens="no" aux:Lens="yes"/>)", "aux:Lens", "yes"},
      {"a name in a value is not it", description + R"(dc:title="aux:Lens=&quot;no&quot;" aux:Lens="yes"/>)",
       "aux:Lens", "yes"},
      {"blanks around the value are trimmed", "<aux:Lens>\n   EF24-70mm f/2.8L USM \t</aux:Lens>", "aux:Lens",
       "EF24-70mm f/2.8L USM"},
      {"named entities", R"( aux:Lens="A &amp; B &lt;C&gt; &quot;D&quot; &apos;E&apos;")", "aux:Lens",
       "A & B <C> \"D\" 'E'"},
      {"numeric references, decimal and hexadecimal", R"( aux:Lens="&#70;&#x2F;2 &#xB5;m &#x1F4F7;")", "aux:Lens",
       "F/2 \xC2\xB5m \xF0\x9F\x93\xB7"},
      {"UTF-8 kept as it is", " aux:Lens=\"\xD0\x9E\xD0\xB1\xD1\x8A\xD0\xB5\xD0\xBA\xD1\x82\xD0\xB8\xD0\xB2\"",
       "aux:Lens", "\xD0\x9E\xD0\xB1\xD1\x8A\xD0\xB5\xD0\xBA\xD1\x82\xD0\xB8\xD0\xB2"},
      {"no such property", description + R"(aux:LensID="154"/>)", "aux:Lens", ""},
      {"an empty packet", "", "aux:Lens", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(XmpProperty(c.packet, c.name), c.value);
  }
}

TEST(XmpProperty, MalformedValuesGiveNothing) {
  const std::vector<Case> cases = {
      {"an attribute cut inside its value", R"( aux:Lens="EF24-70mm f/2.8)", "aux:Lens", ""},
      {"an attribute without quotes", " aux:Lens=EF24", "aux:Lens", ""},
      {"an attribute cut after the equals sign", " aux:Lens=", "aux:Lens", ""},
      {"an element without its end", "<aux:Lens>EF24-70mm f/2.8L USM", "aux:Lens", ""},
      {"an element cut inside its start", "<aux:Lens rdf:parseType=", "aux:Lens", ""},
      {"an empty element, the first of its name", "<aux:Lens/><aux:Lens>late</aux:Lens>", "aux:Lens", ""},
      {"markup that is no list item", "<aux:Lens><b>bold</b></aux:Lens>", "aux:Lens", ""},
      {"a list item without its end", "<aux:Lens><rdf:Alt><rdf:li>A</rdf:Alt></aux:Lens>", "aux:Lens", ""},
      {"an unknown entity", R"( aux:Lens="A &nbsp; B")", "aux:Lens", ""},
      {"an entity without its semicolon", R"( aux:Lens="A &amp B")", "aux:Lens", ""},
      {"a reference to character zero", R"( aux:Lens="A&#0;B")", "aux:Lens", ""},
      {"a reference to a surrogate", R"( aux:Lens="&#xD800;")", "aux:Lens", ""},
      {"a reference beyond Unicode", R"( aux:Lens="&#x110000;")", "aux:Lens", ""},
      {"a reference with too many digits", R"( aux:Lens="&#00000000000000065;")", "aux:Lens", ""},
      {"a reference of no digits", R"( aux:Lens="&#x;")", "aux:Lens", ""},
      {"a reference with a letter", R"( aux:Lens="&#6A;")", "aux:Lens", ""},
      {"a hexadecimal reference with an upper-case X", R"( aux:Lens="&#X32;")", "aux:Lens", ""},
      {"a value of blanks", R"( aux:Lens="   ")", "aux:Lens", ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(XmpProperty(c.packet, c.name), c.value);
  }
}

// A packet of the largest size made of nothing but the name: each occurrence is given up at once, so the
// scan stays linear.
TEST(XmpProperty, APacketOfRepeatedNamesIsScannedOnce) {
  std::string packet;
  while (packet.size() + 10 < kMostXmpBytes) packet += " aux:Lens ";
  EXPECT_EQ(XmpProperty(packet, "aux:Lens"), "");
  packet += "aux:Lens=\"x\"";
  EXPECT_EQ(XmpProperty(packet, "aux:Lens"), "x");
}

}  // namespace
}  // namespace lumetra
