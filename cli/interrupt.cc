#include "cli/interrupt.h"

#include <unistd.h>

#include <csignal>

#include "http/http_fetcher.h"

namespace harvelo::cli {
namespace {

// Written by the handler; the main flow reads it and only ever resets it to 0.
volatile std::sig_atomic_t g_interrupts = 0;
volatile std::sig_atomic_t g_taken = 0;

extern "C" void OnInterrupt(int) {
  const int seen = g_interrupts;
  g_interrupts = seen + 1;
  if (seen >= 1) {
    // Only async-signal-safe calls from here on.
    RemovePartialDownloadNow();
    ::_exit(130);
  }
}

}  // namespace

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  sigemptyset(&action.sa_mask);
  // Reads of the terminal (the continue question) go on after the first Ctrl-C.
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
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
