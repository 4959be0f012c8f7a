// Runs on pages as others write them: what the server is asked for is the address a
// browser would ask for.
#include "engine_fixture.h"

namespace harvelo::testing {
namespace {

using PageAddressesRunTest = EngineTest;

TEST_F(PageAddressesRunTest, ReferencesAreRequestedAtTheAddressABrowserRequests) {
  settings.modernPages = 0;
  settings.skipDuplicates = 0;
  Page("/dir/two.html",
       "<A HREF=\"photo.large.jpg\"> <a href=\"./b.jpg\"> <a href=\"sub/../c.min.jpg?v=2#x\">"
       "<a href=\" /root/d.jpg \"> <a href=\"a.jpg,b.jpg\">"
       "<base href=\"sub/\"><base href=\"/other/\"><a href=\"e.jpg\"><a href=\"../f.jpg\">");
  for (const char* path : {"/dir/photo.large.jpg", "/dir/b.jpg", "/dir/c.min.jpg", "/root/d.jpg",
                           "/dir/a.jpg,b.jpg", "/dir/sub/e.jpg", "/dir/f.jpg"}) {
    Serve(path, BigBody());
  }
  StartSite();
  StartWith(Url("/dir/two.html"));
  EXPECT_EQ(SeenPaths(),
            (std::vector<std::string>{"/dir/two.html", "/dir/photo.large.jpg", "/dir/b.jpg",
                                      "/dir/c.min.jpg", "/root/d.jpg", "/dir/a.jpg,b.jpg",
                                      "/dir/sub/e.jpg", "/dir/f.jpg"}));
  EXPECT_TRUE(DestFiles().contains("AAA_007.jpg"));
}

}  // namespace
}  // namespace harvelo::testing
