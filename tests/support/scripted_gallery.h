// A gallery built by script, for the rendering tests: the page fetches its picture list
// as JSON (/list?page=N, three names a page) and makes the IMG elements; scrolling to its
// end fetches the next page of the list, up to three; three pictures are CSS
// backgrounds; one more appears only after a click on "more". The script sets the cookie
// "scripted=yes".
#pragma once

namespace harvelo::testing {

inline constexpr char kGallery[] = R"(<!DOCTYPE html><html><head><title>Scripted</title><style>
body { margin: 0 }
.bg { height: 200px }
#b1 { background-image: url(/pics/bg1.jpg) }
#b2 { background-image: url(/pics/bg2.jpg) }
#b3 { background-image: url(/pics/bg3.jpg) }
.pic { display: block; width: 300px; height: 900px }
</style></head><body>
<div class="bg" id="b1"></div><div class="bg" id="b2"></div><div class="bg" id="b3"></div>
<div id="gallery"></div><button id="more">more</button>
<script>
document.cookie = "scripted=yes; path=/";
let next = 1, loading = false;
function load() {
  if (loading || next > 3) return;
  loading = true;
  fetch("/list?page=" + next).then(r => r.json()).then(names => {
    for (const name of names) {
      const img = document.createElement("img");
      img.className = "pic";
      img.src = "/pics/" + name;
      document.getElementById("gallery").appendChild(img);
    }
    next++;
    loading = false;
  });
}
addEventListener("scroll", () => {
  if (innerHeight + scrollY >= document.documentElement.scrollHeight - 50) load();
});
document.getElementById("more").onclick = () => {
  const img = document.createElement("img");
  img.src = "/pics/hidden.jpg";
  document.body.appendChild(img);
};
load();
</script></body></html>)";

}  // namespace harvelo::testing
