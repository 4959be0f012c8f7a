#!/bin/bash
# Real pages that others wrote, served on loopback: the pictures headless Chromium loads
# against those harvelo-cli stores (and the requests each made for pictures), for one or
# two builds of harvelo-cli. The pages come from npm and Debian packages fetched here
# (nothing of them is kept in the repository); a page whose package can't be had is
# skipped with a message.
#   bench/real_pages.sh [--work DIR] [--only NAME] [--before HARVELO_CLI] [HARVELO_CLI]
# HARVELO_CLI defaults to build/cli/harvelo-cli; --before adds a column for another
# build (e.g. one made from an older commit). Every harvelo-cli runs in an empty folder
# (its defaults) with --modern --min-size 0 and the picture types a browser shows.
set -u
here=$(cd "$(dirname "$0")" && pwd)
after="$here/../build/cli/harvelo-cli"
before=""
work=""
only=""
while [ $# -gt 0 ]; do
  case "$1" in
    --work) work="$2"; shift 2 ;;
    --before) before="$2"; shift 2 ;;
    --only) only="$2"; shift 2 ;;
    *) after="$1"; shift ;;
  esac
done
[ -n "$work" ] || work=$(mktemp -d /tmp/real_pages.XXXXXX)
mkdir -p "$work/npm" "$work/deb"
chromium=$(command -v chromium || command -v chromium-browser || true)
[ -n "$chromium" ] || echo "chromium not found: the browser column stays empty" >&2

# ---- the packages ----
fetch_npm() {  # name@version: unpacked in $work/npm/name
  local name=${1%@*}
  [ -d "$work/npm/$name" ] && return 0
  (cd "$work/npm" && npm pack "$1" --silent >/dev/null 2>&1) || return 1
  mkdir -p "$work/npm/$name"
  tar xzf "$work/npm/"*"${name##*/}"-*.tgz -C "$work/npm/$name" --strip-components=1
}
fetch_deb() {  # package: extracted in $work/deb/package
  [ -d "$work/deb/$1" ] && return 0
  (cd "$work/deb" && apt-get download "$1" >/dev/null 2>&1) || return 1
  mkdir -p "$work/deb/$1"
  dpkg -x "$work/deb/$1"_*.deb "$work/deb/$1"
}

# name | how to fetch | served root | page under the root
pages=(
  "uikit image test|npm uikit@3.25.29|npm/uikit|tests/image.html"
  "blazy example|npm blazy@1.8.2|npm/blazy|example/index.html"
  "jquery-lazyload noscript example|deb libjs-jquery-lazyload|deb/libjs-jquery-lazyload/usr/share/doc/libjs-jquery-lazyload|examples/enabled_noscript.html"
  "jquery-lazyload gazillion example|deb libjs-jquery-lazyload|deb/libjs-jquery-lazyload/usr/share/doc/libjs-jquery-lazyload|examples/enabled_gazillion.html"
  "ImageMagick formats page|deb imagemagick-6-doc|deb/imagemagick-6-doc/usr/share/doc/imagemagick-6-common/html|www/formats.html"
  "Pillow documentation index|deb python-pil-doc|deb/python-pil-doc/usr/share/doc/python-pil-doc/html|index.html"
)
# The scripts the Debian examples load from /javascript/ (jQuery).
fetch_deb libjs-jquery || echo "libjs-jquery: not available, the jQuery examples run without it" >&2
jpeg=$(ls "$work"/deb/imagemagick-6-doc/usr/share/doc/imagemagick-6-common/html/images/wizard.jpg \
  2>/dev/null | head -1)

# The uikit test pages load js/test.js, which the package leaves out: a stand-in loads
# the package's uikit.js, as the test pages' own script does.
prepare_uikit() {
  local js="$work/npm/uikit/tests/js/test.js"
  [ -f "$js" ] && return 0
  mkdir -p "$(dirname "$js")"
  echo "document.write('<link rel=\"stylesheet\" href=\"../dist/css/uikit.css\">" \
    "<script src=\"../dist/js/uikit.js\"></script>" \
    "<script src=\"../dist/js/uikit-icons.js\"></script>');" >"$js"
}

# Pictures of one client's run: lines of the server log from line $2 on (a site icon the
# browser asks for by itself is not one of the page's pictures).
picture_lines() {
  tail -n +"$2" "$1" | awk -F'\t' '$2 == 200 && $3 ~ /^image\// && $1 !~ /favicon\.ico$/'
}

run_harvelo() {  # cli url log -> "stored requests"
  local cli=$1 url=$2 log=$3 dir
  dir=$(mktemp -d "$work/run.XXXXXX")
  local start=$(($(wc -l <"$log") + 1))
  (cd "$dir" && "$cli" -q --dest "$dir/dest" --modern --min-size 0 \
    --types jpg,jpeg,png,gif,webp,avif,bmp,svg,ico "$url" >/dev/null 2>&1)
  local stored
  stored=$(find "$dir/dest" -type f 2>/dev/null |
    grep -ciE '\.(jpe?g|png|gif|webp|avif|bmp|svg|ico)$')
  echo "$stored $(picture_lines "$log" "$start" | wc -l)"
  rm -rf "$dir"
}

printf '\n%-34s %-26s %9s %17s %17s\n' "page" "from" "browser" "before: stored/req" "after: stored/req"
for entry in "${pages[@]}"; do
  IFS='|' read -r name how root page <<<"$entry"
  [[ -z "$only" || "$name" == *"$only"* ]] || continue
  read -r kind package <<<"$how"
  if ! "fetch_$kind" "$package"; then
    echo "$name: $kind package $package not available, skipped" >&2
    continue
  fi
  root="$work/$root"
  [ "$package" = uikit@3.25.29 ] && prepare_uikit
  if [ ! -f "$root/$page" ]; then
    echo "$name: $page not in the package, skipped" >&2
    continue
  fi
  log="$work/server-${page//\//_}.log"
  : >"$log"
  rm -f "$work/port"
  python3 "$here/real_pages_server.py" --root "$root" --log "$log" --port-file "$work/port" \
    --js "$work/deb/libjs-jquery/usr/share/javascript" \
    --js "$work/deb/libjs-jquery-lazyload/usr/share/javascript" ${jpeg:+--jpeg "$jpeg"} &
  server=$!
  for _ in $(seq 100); do [ -f "$work/port" ] && break; sleep 0.05; done
  port=$(cat "$work/port")
  # The page as served: its addresses on other sites point to this server, host kept.
  served="${page%.*}.loopback.html"
  sed -E "s#(https?:)?//([A-Za-z0-9.-]+\.[A-Za-z]{2,})/#http://127.0.0.1:$port/_ext/\2/#g" \
    "$root/$page" >"$root/$served"
  url="http://127.0.0.1:$port/$served"

  browser="-"
  if [ -n "$chromium" ]; then
    profile=$(mktemp -d "$work/chromium.XXXXXX")
    # A window tall enough to show every lazily loaded picture without scrolling.
    timeout 60 "$chromium" --headless --no-sandbox --disable-gpu --no-first-run \
      --disable-background-networking --disable-component-update --disable-sync \
      --user-data-dir="$profile" --window-size=1280,30000 --virtual-time-budget=15000 \
      --dump-dom "$url" >/dev/null 2>&1
    browser=$(picture_lines "$log" 1 | cut -f1 | sort -u | wc -l)
    rm -rf "$profile"
  fi
  old="-"
  [ -n "$before" ] && old=$(run_harvelo "$before" "$url" "$log" | tr ' ' /)
  new=$(run_harvelo "$after" "$url" "$log" | tr ' ' /)
  printf '%-34s %-26s %9s %17s %17s\n' "$name" "$kind $package" "$browser" "$old" "$new"
  kill "$server" 2>/dev/null
  wait "$server" 2>/dev/null
  rm -f "$root/$served"
done
echo
echo "browser: distinct picture addresses headless Chromium loaded (window 1280x30000)"
echo "stored/req: pictures harvelo-cli stored / picture requests it made"
echo "scratch folder: $work"
