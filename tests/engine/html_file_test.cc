#include "engine/html_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"

namespace harvelo {
namespace {

struct Token {
  int kind;
  int closing;
  std::string text;
  bool operator==(const Token&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Token& t) {
  return os << "{" << t.kind << "," << t.closing << ",\"" << t.text << "\"}";
}

std::vector<Token> Tokens(std::string_view page) {
  HTMLFile file;
  file.OpenMemory(page);
  std::vector<Token> out;
  while (file.NextToken() != 0) out.push_back({file.kind, file.closing, file.token()});
  EXPECT_EQ(file.kind, kTokenEnd);
  EXPECT_EQ(file.closing, 0);
  EXPECT_STREQ(file.token(), "");
  return out;
}

int KindOf(std::string_view tag) {
  HTMLFile file;
  file.OpenMemory(tag);
  EXPECT_EQ(file.NextToken(), 1);
  return file.kind;
}

// --- Splitting the text into tokens ---

TEST(HTMLFileTokens, WordsAndTagsWithTheirKindsAndClosingMarks) {
  const std::vector<Token> expected = {
      {kTokenHtml, 1, "<html>"},  {kTokenTitle, 1, "<TITLE>"},  {kTokenText, 0, "My"},
      {kTokenText, 0, "Gallery"}, {kTokenTitle, 2, "</TITLE>"}, {kTokenA, 1, "<a href=\"x.jpg\">"},
      {kTokenText, 0, "word"},    {kTokenA, 2, "</a>"},         {kTokenText, 0, "tail"},
  };
  EXPECT_EQ(Tokens("<html>\n <TITLE>  My\t\r\nGallery </TITLE><a href=\"x.jpg\">word</a>tail"),
            expected);
}

TEST(HTMLFileTokens, EmptyAndBlankPagesHaveNoToken) {
  EXPECT_TRUE(Tokens("").empty());
  EXPECT_TRUE(Tokens(" \t\r\n\r\n  ").empty());
}

TEST(HTMLFileTokens, ATagRunsOverLineBreaksUpToTheFirstClosingBracket) {
  const std::vector<Token> expected = {{kTokenImg, 1, "<img\nsrc=\"a b.jpg\"\n>"},
                                       {kTokenText, 0, "x>y"}};
  EXPECT_EQ(Tokens("<img\r\nsrc=\"a b.jpg\"\r\n>x>y"), expected);
}

TEST(HTMLFileTokens, AWordEndsAtBracketWhichBeginsTheNextTag) {
  const std::vector<Token> expected = {
      {kTokenText, 0, "one"}, {kTokenOtherTag, 1, "<br>"}, {kTokenText, 0, "two"}};
  EXPECT_EQ(Tokens("one<br>two"), expected);
}

TEST(HTMLFileTokens, EndOfFileEndsAnUnterminatedTagOrWord) {
  const std::vector<Token> tag = {{kTokenA, 1, "<a href=x.jpg"}};
  EXPECT_EQ(Tokens("<a href=x.jpg"), tag);
  const std::vector<Token> bracket = {{kTokenText, 0, "w"}, {kTokenOtherTag, 1, "<"}};
  EXPECT_EQ(Tokens("w<"), bracket);
  const std::vector<Token> slash = {{kTokenOtherTag, 2, "</"}};
  EXPECT_EQ(Tokens("</"), slash);
}

TEST(HTMLFileTokens, ALongTagIsCutTo511CharactersAndTheRestIsDropped) {
  const std::string head = "<a title=\"" + std::string(600, 'x') + "\" href=\"far.jpg\">";
  HTMLFile file;
  file.OpenMemory(head + "next");
  ASSERT_EQ(file.NextToken(), 1);
  EXPECT_EQ(file.kind, kTokenA);
  EXPECT_EQ(std::string(file.token()), head.substr(0, 511));
  EXPECT_EQ(file.ExtractHref(), 0);  // the reference stood beyond the cut
  ASSERT_EQ(file.NextToken(), 1);
  EXPECT_STREQ(file.token(), "next");
}

TEST(HTMLFileTokens, ALongWordIsCutTooAndTheNextTokenStartsAfterIt) {
  const std::vector<Token> expected = {{kTokenText, 0, std::string(511, 'w')},
                                       {kTokenBody, 1, "<body>"}};
  EXPECT_EQ(Tokens(std::string(2000, 'w') + "<body>"), expected);
}

TEST(HTMLFileTokens, ATagOfExactly511CharactersKeepsItsBracket) {
  const std::string tag = "<a " + std::string(507, 'x') + ">";
  ASSERT_EQ(tag.size(), 511u);
  const std::vector<Token> expected = {{kTokenA, 1, tag}};
  EXPECT_EQ(Tokens(tag), expected);
}

TEST(HTMLFileTokens, NulAndEightBitBytesAreHarmless) {
  const std::string page("\x00<a\x00 href=b.jpg>\xff\xe9t\xe9<\x80IMG>", 22);
  HTMLFile file;
  file.OpenMemory(page);
  int count = 0;
  while (file.NextToken() != 0) ++count;
  EXPECT_EQ(count, 4);  // NUL word, A tag, 8-bit word, unknown tag
  EXPECT_EQ(KindOf("<\xc9IMG>"), kTokenOtherTag);
}

TEST(HTMLFileTokens, NoBuffersMeansNoTokens) {
  HTMLFile file(0);
  EXPECT_EQ(file.bufferSize(), 0);
  file.OpenMemory("<a href=x.jpg>");
  EXPECT_EQ(file.NextToken(), 0);
  EXPECT_EQ(file.ExtractHref(), 0);
}

TEST(HTMLFileTokens, TinyBuffersKeepWhatFitsAndStillTellTheKinds) {
  HTMLFile one(1);
  one.OpenMemory("<a href=x.jpg>word");
  ASSERT_EQ(one.NextToken(), 1);
  EXPECT_EQ(one.kind, kTokenOtherTag);  // no room even for the '<', so no name to match
  EXPECT_STREQ(one.token(), "");
  ASSERT_EQ(one.NextToken(), 1);
  EXPECT_EQ(one.kind, kTokenText);
  EXPECT_EQ(one.NextToken(), 0);

  HTMLFile three(3);
  three.OpenMemory("</a href=x.jpg>");
  ASSERT_EQ(three.NextToken(), 1);
  EXPECT_STREQ(three.token(), "</");
  EXPECT_EQ(three.closing, 2);
  EXPECT_EQ(three.kind, kTokenOtherTag);
}

TEST(HTMLFileTokens, ReadsAStoredFileInTextModeAndReopens) {
  testing::TempDir tmp;
  testing::WriteBytes(tmp.file("one.html"), "<title>\r\nA</title>");
  testing::WriteBytes(tmp.file("two.html"), "<frame src=f.html>");
  HTMLFile file;
  EXPECT_FALSE(file.Open(tmp.file("missing.html")));
  ASSERT_TRUE(file.Open(tmp.file("one.html")));
  ASSERT_EQ(file.NextToken(), 1);
  EXPECT_EQ(file.kind, kTokenTitle);
  ASSERT_TRUE(file.Open(tmp.file("two.html")));  // the first file is left behind
  ASSERT_EQ(file.NextToken(), 1);
  EXPECT_EQ(file.kind, kTokenFrame);
  EXPECT_EQ(file.NextToken(), 0);
  file.Close();
  EXPECT_EQ(file.NextToken(), 0);
}

// --- Tag names: compared by prefix, in table order, ignoring case ---

TEST(HTMLFileKinds, EveryTableNameAndItsClosingForm) {
  const std::pair<const char*, int> names[] = {
      {"html", kTokenHtml},         {"head", kTokenHead},   {"body", kTokenBody},
      {"title", kTokenTitle},       {"a", kTokenA},         {"img", kTokenImg},
      {"table", kTokenTable},       {"tr", kTokenTr},       {"td", kTokenTd},
      {"frameset", kTokenFrameset}, {"frame", kTokenFrame}, {"base", kTokenBase}};
  for (const auto& [name, kind] : names) {
    EXPECT_EQ(KindOf(std::string("<") + name + ">"), kind) << name;
    EXPECT_EQ(KindOf(std::string("</") + name + ">"), kind) << name;
  }
  EXPECT_EQ(KindOf("<ImG SRC=a.jpg>"), kTokenImg);
  EXPECT_EQ(KindOf("<FrAmE>"), kTokenFrame);
}

TEST(HTMLFileKinds, TagsThatBeginWithATableNameCountAsIt) {
  EXPECT_EQ(KindOf("<address>"), kTokenA);
  EXPECT_EQ(KindOf("<area href=x.jpg>"), kTokenA);
  EXPECT_EQ(KindOf("<basefont size=3>"), kTokenBase);
  EXPECT_EQ(KindOf("<header>"), kTokenHead);
  EXPECT_EQ(KindOf("<frameset rows=2>"), kTokenFrameset);
  EXPECT_EQ(KindOf("<a>"), kTokenA);
}

TEST(HTMLFileKinds, UnknownTagsCommentsAndABlankAfterTheBracket) {
  EXPECT_EQ(KindOf("<br>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("<th>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("<tbody>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("<!-- <a href=x.jpg> -->"), kTokenOtherTag);
  EXPECT_EQ(KindOf("<!DOCTYPE html>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("< a href=x.jpg>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("</ a>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("<>"), kTokenOtherTag);
  EXPECT_EQ(KindOf("<ht>"), kTokenOtherTag);  // shorter than the table name
}

// --- Attribute values ---

std::string Extracted(std::string_view tag, bool href, int* result = nullptr) {
  HTMLFile file;
  file.OpenMemory(tag);
  EXPECT_EQ(file.NextToken(), 1);
  const int r = href ? file.ExtractHref() : file.ExtractSrc();
  if (result != nullptr) *result = r;
  return file.token();
}

TEST(HTMLFileExtract, QuotedValuesKeepTheirCaseAndBlanks) {
  EXPECT_EQ(Extracted("<A HREF=\"Photos/Big One.JPG\" target=x>", true), "Photos/Big One.JPG");
  EXPECT_EQ(Extracted("<a href='it\"s.jpg'>", true), "it\"s.jpg");
  EXPECT_EQ(Extracted("<img Src=\"a.jpg\">", false), "a.jpg");
  EXPECT_EQ(Extracted("<a href=\"\">", true), "");
}

TEST(HTMLFileExtract, AnUnquotedValueRunsToTheClosingBracket) {
  EXPECT_EQ(Extracted("<a HREF=x.jpg TARGET=_blank>", true), "x.jpg TARGET=_blank");
  EXPECT_EQ(Extracted("<a href=x.jpg>", true), "x.jpg");
}

TEST(HTMLFileExtract, WithoutItsClosingCharacterTheValueRunsToTheEndOfTheToken) {
  EXPECT_EQ(Extracted("<a href=\"x.jpg>", true), "x.jpg>");
  EXPECT_EQ(Extracted("<a href=x.jpg", true), "x.jpg");
  EXPECT_EQ(Extracted("<a href=", true), "");
}

TEST(HTMLFileExtract, TheTextIsFoundAnywhereEvenInsideAnotherAttribute) {
  EXPECT_EQ(Extracted("<img lowsrc=\"low.gif\" src=\"big.jpg\">", false), "low.gif");
  EXPECT_EQ(Extracted("<a title=\"href=t.jpg\" href=\"h.jpg\">", true), "t.jpg\" href=\"h.jpg\"");
}

TEST(HTMLFileExtract, NoAttributeLeavesTheTokenAsItWas) {
  int result = -1;
  EXPECT_EQ(Extracted("<a href = \"x.jpg\">", true, &result), "<a href = \"x.jpg\">");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Extracted("<a name=top>", false, &result), "<a name=top>");
  EXPECT_EQ(result, 0);
  EXPECT_EQ(Extracted("<img src=x.jpg>", true, &result), "<img src=x.jpg>");
  EXPECT_EQ(result, 0);
}

TEST(HTMLFileExtract, WorkHoldsTheUpperCasedCopy) {
  HTMLFile file;
  file.OpenMemory("<a href=\"Big.jpg?Id=3\">");
  ASSERT_EQ(file.NextToken(), 1);
  ASSERT_EQ(file.ExtractHref(), 1);
  EXPECT_STREQ(file.UpperTokenToWork(), "BIG.JPG?ID=3");
  EXPECT_STREQ(file.token(), "Big.jpg?Id=3");
}

}  // namespace
}  // namespace harvelo
