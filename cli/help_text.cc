#include "cli/help_text.h"

namespace harvelo::cli {

std::string UsageText() {
  return "usage: harvelo-cli [options] ADDRESS...\n"
         "       harvelo-cli [options] --batch FILE [ADDRESS...]\n"
         "Try 'harvelo-cli --help' for more information.\n";
}

std::string HelpText() {
  return R"(usage: harvelo-cli [options] ADDRESS...
       harvelo-cli [options] --batch FILE [ADDRESS...]

Fetches each web page and stores the images (and the other file types listed) that it
links to or embeds, named PREFIX + running number (AAA_001.jpg, ...), the same way the
Harvelo window does. An address without a scheme gets "http://"; only http:// and
https:// addresses are accepted. Several addresses are processed in the order given;
the lines of a batch file (one address a line) come after them.

Options (each overrides the saved setting for this run only):
  --dest DIR        destination directory (default: the saved one; empty: the
                    current directory); a trailing '/' is added, and a
                    missing directory is created
  --prefix TEXT     file prefix (default: the one saved in DIR/HV_pref.cfg, or AAA_);
                    a trailing '_' is added
  --types LIST      file types to store, e.g. "jpg,gif" (default: the saved ones)
  --min-size KB     discard resources announced smaller than KB kilobytes
  --auto-inc        advance the prefix after each gallery page
  --no-auto-inc     keep the prefix
  --no-webaddr      do not write the web-address log (PREFIXwaddr.txt)
  --modern          read pages as they are written today: the largest variant of a
                    responsive picture (srcset, PICTURE), lazy-loading attributes
                    (data-src, data-srcset, ...), picture addresses with a query
  --no-modern       only the HREF= and SRC= references
  --min-picture WxH discard pictures narrower than W or lower than H pixels, read
                    from the file's header as it arrives (0x0: keep every size)
  --keep-duplicates store a resource even when the run stored the same bytes before
  --skip-known      also skip a resource whose bytes are already in a file of DIR
  --lang en|es      language of the texts (default: HV_lang.cfg; unset or 0 follows
                    the system language from LC_ALL, LC_MESSAGES or LANG)
  --batch FILE      also process every line of FILE as an address
  --parallel N      transfers in flight at once, 1 to 16 (default: the saved
                    setting, 6); the files, names and logs are those of 1
  --streams N       https servers are offered HTTP/2; to one that takes it, up to N
                    requests in flight on its one connection, 0 to 128 (default:
                    the saved setting, 100); 0 asks for HTTP/1.1 only
  --no-compressed-pages, --compressed-pages
                    ask for pages as they are, or compressed (gzip, brotli, zstd)
                    and keep them decoded (default: the saved setting, compressed);
                    pictures and other resources are always kept as sent
  --render, --no-render
                    read typed and batched pages as a browser shows them, after
                    their scripts ran and scrolled to their end, in a Chromium
                    without a window (package "chromium"), or never (default: the
                    saved setting, only pages taken from an open browser)
  --ca-certificate FILE
                    trust the certificate authorities in FILE (PEM) for https
                    instead of the system's
  --yes, --no       answer to "continue with the queued pages?" after a stop
                    (default: ask when standard input is a terminal, else no)
  --save-settings   write HV_conf.cfg and HV_recent.cfg back into the current
                    directory after the run (without it the current directory is
                    left as it was)
  -q, --quiet       print no log lines and no progress line
  -h, --help        show this text
  --version         print the program's name and version

Output: one line per finished download-log row on standard output, tab-separated:
  TIME<TAB>STATUS<TAB>FILE<TAB>ADDRESS
with STATUS one of Ok, ERROR, ERR <http status>, Too Small, Stopped, Duplicate (in the
interface language; a Duplicate line names the stored file with the same bytes). Messages go to standard error; on a terminal, standard error also shows a
progress line. Ctrl-C stops the current transfer (logged "Stopped"); a second Ctrl-C
ends the program at once, removing the partly downloaded file and the page copy;
SIGTERM and SIGHUP end it the same way.

Settings: HV_conf.cfg, HV_recent.cfg and HV_lang.cfg are read from the current
directory, HV_pref.cfg from the destination directory. After a run the run's
advanced prefix is saved in HV_pref.cfg (a --prefix that the run did not advance
leaves it as it was). Only with --save-settings are HV_conf.cfg and HV_recent.cfg
written too: the recent addresses, and settings given as options with the values
they had before.

Exit status:
  0    at least one resource was stored (a log row "Ok" for a resource; the page
       copy of a page does not count)
  1    nothing was stored: nothing found, every download failed, was too small
       or a duplicate, the run was stopped before anything was stored, or the
       destination or the batch file could not be used
  2    usage error (unknown option, missing value, no address, unsupported scheme)
  130  ended by a second Ctrl-C
  143  ended by SIGTERM (129 by SIGHUP)
)";
}

}  // namespace harvelo::cli
