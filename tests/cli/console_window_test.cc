// The console window's terminal side: the live line, Ctrl-C and the continue question.
#include "cli/console_window.h"

#include <gtest/gtest.h>

#include <csignal>

#include "cli/interrupt.h"
#include "engine/control_ids.h"
#include "platform/thread_locale.h"

namespace harvelo::cli {
namespace {

std::string Contents(std::FILE* f) {
  std::fflush(f);
  std::rewind(f);
  std::string text;
  for (int c; (c = std::fgetc(f)) != EOF;) text.push_back(static_cast<char>(c));
  return text;
}

class ConsoleWindowTest : public ::testing::Test {
 protected:
  ConsoleWindowTest() { SetThreadLocale(kLocaleEnglish); }
  ~ConsoleWindowTest() override {
    for (std::FILE* f : {out_, err_, in_}) std::fclose(f);
  }
  // A window on temporary files, attached to an engine.
  ConsoleWindow& Make(ContinueAnswer answer, bool terminal) {
    window_.emplace(ConsoleStreams{out_, err_, in_, terminal, terminal}, answer, false);
    engine_.emplace(*window_, settings_);
    window_->Attach(*engine_);
    return *window_;
  }
  MessageAnswer Ask(ContinueAnswer answer, bool terminal) {
    return Make(answer, terminal)
        .ShowMessage("Go on?", MessageIcon::kNone, MessageButtons::kYesNoDefaultNo);
  }

  std::FILE* out_ = std::tmpfile();
  std::FILE* err_ = std::tmpfile();
  std::FILE* in_ = std::tmpfile();
  Settings settings_;
  std::optional<ConsoleWindow> window_;
  std::optional<Engine> engine_;
};

TEST_F(ConsoleWindowTest, LiveLineMakesRoomForRowsAndEndsWithTheStatus) {
  ConsoleWindow& w = Make(ContinueAnswer::kAsk, true);
  w.RunStarted();
  w.SetControlText(IDC_STATUS_LINE, "Downloading resource 2 of 4 (25% done).");
  w.SetProgressRange(IDC_TOTAL_PROGRESS, 0, 4);
  w.SetProgressPos(IDC_TOTAL_PROGRESS, 1);
  w.SetProgressPos(IDC_FILE_PROGRESS, 45);
  w.InsertLogRow({"09:05", "In Progress", "d/AAA_002.jpg", "http://a/2.jpg"});
  w.InsertLogRow({"09:05", "Ok", "d/AAA_002.jpg", "http://a/2.jpg", RowOutcome::kStored});
  w.SetControlText(IDC_STATUS_LINE, "Muy Peque\xC3\xB1o");
  w.CommandDone();
  EXPECT_EQ(Contents(out_), "09:05\tOk\td/AAA_002.jpg\thttp://a/2.jpg\n");
  EXPECT_EQ(Contents(err_),
            "\r[--------------------]   0%  Downloading resource 2 of 4 (25% done).\x1b[K"
            "\r[#####---------------]   0%  Downloading resource 2 of 4 (25% done).\x1b[K"
            "\r[#####---------------]  45%  Downloading resource 2 of 4 (25% done).\x1b[K"
            "\r\x1b[K"  // away for the row on stdout, then back
            "\r[#####---------------]  45%  Downloading resource 2 of 4 (25% done).\x1b[K"
            "\r[#####---------------]  45%  Muy Peque\xC3\xB1o\x1b[K"
            "\r\x1b[KMuy Peque\xC3\xB1o\n");
  // Cut to the terminal before a two-byte character rather than through it.
  EXPECT_EQ(RenderProgressLine({"Muy Peque\xC3\xB1o", 0, 0, 45}, 38),
            "[--------------------]  45%  Muy Peque");
}

TEST_F(ConsoleWindowTest, CtrlCIsStopAndAYesRearmsIt) {
  InstallInterruptHandler();
  ConsoleWindow& w = Make(ContinueAnswer::kYes, false);
  std::raise(SIGINT);
  w.PumpMessages(100);
  EXPECT_EQ(engine_->stopRequested, 1);
  EXPECT_TRUE(w.Interrupted());

  engine_->stopRequested = 0;
  EXPECT_EQ(w.ShowMessage("Go on?", MessageIcon::kNone, MessageButtons::kYesNoDefaultNo),
            MessageAnswer::kYes);
  EXPECT_FALSE(w.Interrupted());
  // A Stop again, not the end of the program.
  std::raise(SIGINT);
  w.PumpMessages(100);
  EXPECT_EQ(engine_->stopRequested, 1);
  RearmInterrupt();
}

TEST_F(ConsoleWindowTest, ContinueQuestionAnswers) {
  std::fputs("s\n", in_);
  std::rewind(in_);
  // Asked on a terminal, the reply decides ("s" is the Spanish yes); elsewhere No.
  EXPECT_EQ(Ask(ContinueAnswer::kAsk, true), MessageAnswer::kYes);
  EXPECT_EQ(Ask(ContinueAnswer::kAsk, false), MessageAnswer::kNo);
  EXPECT_EQ(Ask(ContinueAnswer::kNo, true), MessageAnswer::kNo);
  EXPECT_EQ(Make(ContinueAnswer::kYes, false)
                .ShowMessage("Oops.", MessageIcon::kStop, MessageButtons::kOk),
            MessageAnswer::kOk);
  EXPECT_EQ(Contents(err_), "Go on? [y/N] Go on? [y/N] n\nGo on? [y/N] n\nOops.\n");
}

}  // namespace
}  // namespace harvelo::cli
