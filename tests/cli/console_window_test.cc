#include "cli/console_window.h"

#include <gmock/gmock.h>

#include <csignal>

#include "cli/interrupt.h"
#include "engine/control_ids.h"
#include "platform/thread_locale.h"
#include "support/temp_dir.h"

namespace harvelo::cli {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;

// What a stream received.
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

  // A window on temporary files, attached to an engine that has no network to reach.
  ConsoleWindow& Make(ContinueAnswer answer = ContinueAnswer::kAsk, bool quiet = false,
                      bool terminal = false) {
    streams_ = {out_, err_, in_, terminal, terminal};
    window_.emplace(streams_, answer, quiet);
    engine_.emplace(*window_, settings_);
    engine_->destinationDir = "d/";
    window_->Attach(*engine_);
    return *window_;
  }
  static LogRow Row(const std::string& status, const std::string& file) {
    return {"09:05", status, file, "http://a/" + file};
  }
  std::vector<std::string> Queue() {
    std::vector<std::string> texts;
    for (; engine_->URL_List.Count() > 0; engine_->URL_List.PopFront()) {
      texts.push_back(engine_->URL_List.FrontText());
    }
    return texts;
  }

  std::FILE* out_ = std::tmpfile();
  std::FILE* err_ = std::tmpfile();
  std::FILE* in_ = std::tmpfile();
  ConsoleStreams streams_;
  Settings settings_;
  std::optional<ConsoleWindow> window_;
  std::optional<Engine> engine_;
};

TEST_F(ConsoleWindowTest, PrintsFinalRowsAndCountsStoredResources) {
  ConsoleWindow& w = Make();
  w.InsertLogRow(Row("In Progress", "d/page.html"));
  w.InsertLogRow(Row("Ok", "d/page.html"));
  w.InsertLogRow(Row("In Progress", "d/AAA_001.jpg"));
  w.InsertLogRow(Row("Ok", "d/AAA_001.jpg"));
  w.InsertLogRow(Row("Too Small", "d/AAA_002.jpg"));
  EXPECT_EQ(Contents(out_),
            "09:05\tOk\td/page.html\thttp://a/d/page.html\n"
            "09:05\tOk\td/AAA_001.jpg\thttp://a/d/AAA_001.jpg\n"
            "09:05\tToo Small\td/AAA_002.jpg\thttp://a/d/AAA_002.jpg\n");
  EXPECT_EQ(w.StoredCount(), 1);
  EXPECT_EQ(Contents(err_), "");
}

TEST_F(ConsoleWindowTest, QuietStillCounts) {
  ConsoleWindow& w = Make(ContinueAnswer::kAsk, true, true);
  w.SetControlText(IDC_STATUS_LINE, "Preparing to download...");
  w.InsertLogRow(Row("Ok", "d/AAA_001.jpg"));
  EXPECT_EQ(w.StoredCount(), 1);
  EXPECT_EQ(Contents(out_), "");
  EXPECT_EQ(Contents(err_), "");
}

TEST_F(ConsoleWindowTest, LiveLineMakesRoomForRowsAndEndsWithTheStatus) {
  ConsoleWindow& w = Make(ContinueAnswer::kAsk, false, true);
  w.EnableControl(IDC_STOP, true);  // a run begins
  w.SetControlText(IDC_STATUS_LINE, "Preparing to download...");
  w.SetProgressPos(IDC_FILE_PROGRESS, 50);
  w.InsertLogRow(Row("Ok", "d/page.html"));
  w.SetControlText(IDC_STATUS_LINE, "1 resources downloaded successfully.");
  w.CommandDone();
  const std::string err = Contents(err_);
  EXPECT_EQ(err,
            "\r[--------------------]   0%  Preparing to download...\x1b[K"
            "\r[--------------------]  50%  Preparing to download...\x1b[K"
            "\r\x1b[K"  // away for the row on stdout
            "\r[--------------------]  50%  Preparing to download...\x1b[K"
            "\r[--------------------]  50%  1 resources downloaded successfully.\x1b[K"
            "\r\x1b[K1 resources downloaded successfully.\n");
}

TEST_F(ConsoleWindowTest, InputsQueueBehindTheRunUpToNAPump) {
  harvelo::testing::TempDir dir;
  harvelo::testing::WriteBytes(dir.file("batch.txt"), "http://b1/\r\nhttp://b2/\r\n");
  ConsoleWindow& w = Make();
  w.QueueAddress("http://a1/");
  w.QueueAddress("http://a2/");
  w.QueueBatchFile(dir.file("batch.txt"));

  w.PumpMessages(50);  // idle: nothing is pressed
  EXPECT_TRUE(w.HasPending());
  engine_->busy = 1;
  w.PumpMessages(2);
  EXPECT_THAT(Queue(), ElementsAre("http://a1/", "http://a2/"));
  w.PumpMessages(2);
  EXPECT_THAT(Queue(), ElementsAre("http://b1/", "http://b2/"));
  EXPECT_FALSE(w.HasPending());
}

TEST_F(ConsoleWindowTest, CtrlCIsStopAndAYesRearmsIt) {
  InstallInterruptHandler();
  ConsoleWindow& w = Make(ContinueAnswer::kYes);
  engine_->busy = 1;
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
  // Asked on a terminal: the reply decides ("s" is the Spanish yes).
  EXPECT_EQ(Make(ContinueAnswer::kAsk, false, true)
                .ShowMessage("Go on?", MessageIcon::kNone, MessageButtons::kYesNoDefaultNo),
            MessageAnswer::kYes);
  // Not a terminal: No, without reading.
  EXPECT_EQ(Make(ContinueAnswer::kAsk)
                .ShowMessage("Go on?", MessageIcon::kNone, MessageButtons::kYesNoDefaultNo),
            MessageAnswer::kNo);
  EXPECT_EQ(Make(ContinueAnswer::kNo)
                .ShowMessage("Go on?", MessageIcon::kNone, MessageButtons::kYesNoDefaultNo),
            MessageAnswer::kNo);
  EXPECT_EQ(
      Make(ContinueAnswer::kYes).ShowMessage("Oops.", MessageIcon::kStop, MessageButtons::kOk),
      MessageAnswer::kOk);
  EXPECT_EQ(Contents(err_), "Go on? [y/N] Go on? [y/N] n\nGo on? [y/N] n\nOops.\n");
}

}  // namespace
}  // namespace harvelo::cli
