#include "cli/interrupt.h"

#include <unistd.h>

#include <csignal>

#include "devtools/headless_chromium.h"
#include "engine/page_copy.h"
#include "http/http_fetcher.h"

namespace harvelo::cli {
namespace {

// Written by the handler; the main flow reads it and only ever resets it to 0.
volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_taken = 0;

// Only async-signal-safe calls from here on.
[[noreturn]] void EndNow(int status) {
  RemovePartialDownloadNow();
  RemovePageCopyNow();
  devtools::EndHeadlessChromiumNow();
  ::_exit(status);
}

extern "C" void OnInterrupt(int) {
  const int seen = g_interrupts;
  g_interrupts = seen + 1;
  if (seen >= 1) EndNow(130);
}

extern "C" void OnEndSignal(int signal) {
  EndNow(128 + signal);
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // The handlers don't interrupt each other halfway.
  for (const int blocked : {SIGINT, SIGTERM, SIGHUP}) sigaddset(&action.sa_mask, blocked);
  // Reads of the terminal (the continue question) go on after the first Ctrl-C.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  action.sa_handler = OnEndSignal;
  sigaction(SIGTERM, &action, nullptr);
  sigaction(SIGHUP, &action, nullptr);
}

bool TakeInterrupt() {
  if (g_interrupts == 0 || g_taken != 0) return false;
  g_taken = 1;
  return true;
}

void RearmInterrupt() {
  // In this order, an interrupt that lands between the two writes is still taken.
  g_interrupts = 0;
  g_taken = 0;
}

}  // namespace harvelo::cli
